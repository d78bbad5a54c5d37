// Texts for error codes, as the user sees them.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

// The customer bit of an installer error code, and the flag that says its low 16
// bits are a string identifier of the installer's string table.
constexpr DWORD customer_error_bit = 0x20000000;
constexpr DWORD string_id_error_bit = 0x08000000;

// The system's message for a Win32 error or HRESULT in the given language (0 lets
// the system choose), without trailing line ends. Never fails: an unknown code
// gives the text for E_FAIL, and the last resort is "Error".
[[nodiscard]] std::wstring SystemMessageText(DWORD code, DWORD language = 0);

// The text for an installer error code: a string of the string table for codes
// with the customer and string-identifier bits, the system's message otherwise.
[[nodiscard]] std::wstring ErrorText(DWORD code);

} // namespace vt
