#include "support/registry.h"

#include "support/win32_error.h"

#include <vector>

namespace vt {

unique_hkey CreateKey(HKEY root, const std::wstring& subkey) {
    unique_hkey key;
    const LSTATUS status = ::RegCreateKeyW(root, subkey.c_str(), key.put());
    if (status != ERROR_SUCCESS) {
        ThrowWin32Error(static_cast<DWORD>(status));
    }
    return key;
}

unique_hkey OpenKey(HKEY root, const std::wstring& subkey) {
    unique_hkey key;
    const LSTATUS status = ::RegOpenKeyW(root, subkey.c_str(), key.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (status != ERROR_SUCCESS) {
        ThrowWin32Error(static_cast<DWORD>(status));
    }
    return key;
}

bool ReadString(HKEY key, const std::wstring& name, std::wstring& text) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (status != ERROR_SUCCESS) {
        ThrowWin32Error(static_cast<DWORD>(status));
    }
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size % 2 != 0) {
        return false;
    }
    if (size == 0) {
        text.clear();
        return true;
    }
    std::vector<wchar_t> buffer(size / 2);
    status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status != ERROR_SUCCESS) {
        ThrowWin32Error(static_cast<DWORD>(status));
    }
    const std::size_t units = size / 2;
    if (units == 0 || units > buffer.size() || buffer[units - 1] != L'\0') {
        return false;
    }
    text.assign(buffer.data(), units - 1);
    return true;
}

} // namespace vt
