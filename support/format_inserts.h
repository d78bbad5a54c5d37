// Filling the inserts of a message text.
#pragma once

#include <initializer_list>
#include <string>

namespace vt {

// Replaces "%1", "%2", ... of a text by the arguments, as the system's message
// formatting does (FormatMessage with the text as format, arguments as strings).
[[nodiscard]] std::wstring FormatInserts(const std::wstring& format,
                                         std::initializer_list<std::wstring> inserts);

} // namespace vt
