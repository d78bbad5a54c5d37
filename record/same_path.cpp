// Whether two recorded paths name the same file: the same absolute, normalised
// path ignoring case, or the same existing file (its volume and file index) under
// another spelling. Both are keys, so a merge looks each path up instead of
// comparing every pair.
#include "record/install_record.h"

#include "support/unique_handle.h"

#include <cwchar>

namespace vt {

std::wstring NameKey(const std::wstring& path) noexcept {
    try {
        // Absolute, with "." and ".." resolved and one kind of separator: a
        // matter of the text alone, no file is looked at.
        std::wstring full(MAX_PATH, L'\0');
        DWORD length =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length >= full.size()) {
            full.resize(length);
            length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
        }
        if (length == 0 || length >= full.size()) {
            return path;
        }
        full.resize(length);
        ::CharLowerBuffW(full.data(), length);
        return full;
    } catch (...) {
        return path;
    }
}

std::wstring FileKey(const std::wstring& path) noexcept {
    unique_file file(::CreateFileW(path.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) {
        return {};
    }
    wchar_t identity[64] = {};
    swprintf(identity, 64, L"%08lx:%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh,
             info.nFileIndexLow);
    return identity;
}

bool SamePath(const std::wstring& a, const std::wstring& b) noexcept {
    if (a == b || NameKey(a) == NameKey(b)) {
        return true;
    }
    const std::wstring file = FileKey(a);
    return !file.empty() && file == FileKey(b);
}

} // namespace vt
