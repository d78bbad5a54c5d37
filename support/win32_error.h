// The exception for a failed Win32 call.
#pragma once

#include <windows.h>

#include <system_error>

namespace vt {

// A std::system_error in the system category whose code is the Win32 error; its
// message is the system's text for the code.
class Win32Error : public std::system_error {
public:
    explicit Win32Error(DWORD code)
        : std::system_error(static_cast<int>(code), std::system_category()) {}
};

[[noreturn]] void ThrowWin32Error(DWORD code);

} // namespace vt
