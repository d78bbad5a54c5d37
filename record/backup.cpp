#include "record/install_record.h"

namespace vt {

std::wstring MakeBackup(const wchar_t* source, bool copy) noexcept {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH - 14) {
        return {};
    }
    wchar_t name[MAX_PATH] = {};
    if (::GetTempFileNameW(folder, L"vt", 0, name) == 0) {
        return {};
    }
    ::DeleteFileW(name);
    if (source == nullptr) {
        return name;
    }
    const DWORD attributes = ::GetFileAttributesW(source);
    ::SetFileAttributesW(source, FILE_ATTRIBUTE_NORMAL);
    const BOOL done = copy ? ::CopyFileW(source, name, FALSE) : ::MoveFileW(source, name);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (copy || !done) {
            ::SetFileAttributesW(source, attributes);
        }
        if (done) {
            ::SetFileAttributesW(name, attributes);
        }
    }
    return done ? std::wstring(name) : std::wstring();
}

} // namespace vt
