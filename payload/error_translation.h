// How the extraction turns an exception into the code of its `failed` notification.
#pragma once

#include <exception>
#include <string>
#include <system_error>

namespace vt {

// The code for an exception derived from std::exception:
//  - a bzip2 decoder error: decompression_failed;
//  - any other failed stream operation: the system's last error recorded by the
//    C runtime (_doserrno, system category), else its errno (generic category),
//    else as below;
//  - std::system_error: its own code;
//  - Boost system errors (Boost.Filesystem's among them): the value, with Boost's
//    system and generic categories taken as the standard ones;
//  - anything else: unexpected_error.
[[nodiscard]] std::error_code error_code_of(const std::exception& e) noexcept;

} // namespace vt

namespace vt {

// A failure code as the installer shows it: "1:%08X" for the system category,
// "2:%08X" for the generic category, the number for the archive's own category,
// and "7" for anything else.
[[nodiscard]] std::wstring format_failure_code(const std::error_code& code);

} // namespace vt
