#include "support/win32_error.h"

namespace vt {

void ThrowWin32Error(DWORD code) {
    throw Win32Error(code);
}

} // namespace vt
