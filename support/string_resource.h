// Entries of the string table.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

// The string with this identifier from the resource module, or from the
// executable when the resource module is another module without it; empty when
// there is none.
[[nodiscard]] std::wstring LoadStringResource(UINT id);

} // namespace vt
