// Undoing a failed run, last change first.
#include "record/install_record.h"

#include "support/product_constants.h"
#include "support/security.h"

#include <shlwapi.h>

namespace vt {
namespace {

constexpr wchar_t uninstall_root[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Puts the saved key back, or removes a key that the run created.
void undo_uninstall_key(const RecordEntry& entry) {
    SetPrivilege(L"SeRestorePrivilege", true);
    HKEY root = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall_root, 0, KEY_ALL_ACCESS, &root) ==
        ERROR_SUCCESS) {
        if (!entry.backupPath.empty()) {
            RestoreSavedKey(root, product::UninstallKeyName, entry.backupPath);
            ::SetFileAttributesW(entry.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(entry.backupPath.c_str());
        } else {
            ::SHDeleteKeyW(root, product::UninstallKeyName);
        }
        ::RegCloseKey(root);
    }
    SetPrivilege(L"SeRestorePrivilege", false);
}

void undo_file(const RecordEntry& entry) {
    // A file that was there before the run and has no backup to take its place
    // is the only copy there is: it stays.
    if (entry.existedBefore && entry.backupPath.empty()) {
        return;
    }
    ::SetFileAttributesW(entry.path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(entry.path.c_str());
    if (entry.backupPath.empty()) {
        return;
    }
    const std::wstring& home = entry.backupOrigin.empty() ? entry.path : entry.backupOrigin;
    const DWORD attributes = ::GetFileAttributesW(entry.backupPath.c_str());
    ::SetFileAttributesW(entry.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileW(entry.backupPath.c_str(), home.c_str()) &&
        attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(home.c_str(), attributes);
    }
}

} // namespace

namespace details {
namespace {
// RegRestoreKeyW of the subkey; tests replace it, as Wine does not restore.
void real_restore(HKEY subkey, const std::wstring& file) {
    ::RegRestoreKeyW(subkey, file.c_str(), 0);
}
key_restorer current_restorer = &real_restore;
} // namespace
key_restorer SetKeyRestorer(key_restorer restorer) noexcept {
    const key_restorer previous = current_restorer;
    current_restorer = restorer != nullptr ? restorer : &real_restore;
    return previous;
}
} // namespace details

void RestoreSavedKey(HKEY parent, const wchar_t* name, const std::wstring& file) {
    HKEY subkey = nullptr;
    if (::RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &subkey) == ERROR_SUCCESS) {
        details::current_restorer(subkey, file);
        ::RegCloseKey(subkey);
    }
}

void InstallRecord::Rollback() noexcept {
    while (!currentEntries.empty()) {
        const RecordEntry& entry = currentEntries.back();
        switch (entry.kind) {
        case RecordEntryKind::Folder:
            ::RemoveDirectoryW(entry.path.c_str());
            break;
        case RecordEntryKind::UninstallKey:
            undo_uninstall_key(entry);
            break;
        case RecordEntryKind::RegistrationRun:
            break;
        default:
            undo_file(entry);
            break;
        }
        currentEntries.pop_back();
    }
}

} // namespace vt
