#include "record/install_record.h"

namespace vt {

std::wstring MakeBackup(const wchar_t* source, bool copy, DWORD* error) noexcept {
    const auto failed = [error](DWORD code) {
        if (error != nullptr) {
            *error = code != 0 ? code : ERROR_WRITE_FAULT;
        }
        return std::wstring();
    };
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0) {
        return failed(::GetLastError());
    }
    if (length > MAX_PATH - 14) {
        return failed(ERROR_FILENAME_EXCED_RANGE);
    }
    wchar_t name[MAX_PATH] = {};
    if (::GetTempFileNameW(folder, L"vt", 0, name) == 0) {
        return failed(::GetLastError());
    }
    ::DeleteFileW(name);
    if (source == nullptr) {
        return name;
    }
    const DWORD attributes = ::GetFileAttributesW(source);
    ::SetFileAttributesW(source, FILE_ATTRIBUTE_NORMAL);
    const BOOL done = copy ? ::CopyFileW(source, name, FALSE) : ::MoveFileW(source, name);
    const DWORD move_error = done ? 0 : ::GetLastError();
    if (!done) {
        // A copy that ran out of room may leave part of itself behind.
        ::DeleteFileW(name);
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (copy || !done) {
            ::SetFileAttributesW(source, attributes);
        }
        if (done) {
            ::SetFileAttributesW(name, attributes);
        }
    }
    return done ? std::wstring(name) : failed(move_error);
}

} // namespace vt
