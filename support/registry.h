// Registry keys and string values, with failures as Win32Error. A missing key or
// value is a normal result, never an exception.
#pragma once

#include "support/unique_handle.h"

#include <string>

namespace vt {

// Creates or opens a key (RegCreateKeyW). Throws Win32Error on any failure.
[[nodiscard]] unique_hkey CreateKey(HKEY root, const std::wstring& subkey);

// Opens a key (RegOpenKeyW); null when it does not exist. Other failures throw.
[[nodiscard]] unique_hkey OpenKey(HKEY root, const std::wstring& subkey);

// Reads a REG_SZ or REG_EXPAND_SZ value (not expanded). False when the value is
// absent, of another type, of odd size or not terminated; `text` is then left as
// it was. Other failures throw Win32Error.
bool ReadString(HKEY key, const std::wstring& name, std::wstring& text);

} // namespace vt
