// Opening the file that an archive entry is written to.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace vt {

// Prepares and opens a target for writing: an existing file loses its read-only
// attribute, a missing folder chain is created, and the file is opened truncated
// with no sharing, so that no other process may open it while it is written.
// The stream raises on any failure (std::system_error with the system's code);
// a failure to create the folders raises boost::filesystem::filesystem_error.
[[nodiscard]] std::unique_ptr<std::ostream> open_target(const std::wstring& path);

} // namespace vt
