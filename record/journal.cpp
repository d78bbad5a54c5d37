// Journaling the changes of a run.
#include "record/install_record.h"

#include "support/security.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

namespace vt {

void InstallRecord::AddFolderChain(const std::wstring& folder) noexcept {
    // A path that does not fit the shell's buffers is not cut: nothing is created,
    // and the placement that follows fails on its own.
    if (folder.empty() || folder.size() >= MAX_PATH) {
        return;
    }
    // Most files go into a folder that exists by then: one look instead of one
    // per component.
    if (::PathIsDirectoryW(folder.c_str())) {
        return;
    }
    wchar_t buffer[MAX_PATH] = {};
    wcscpy(buffer, folder.c_str());
    const wchar_t* component = ::PathFindNextComponentW(buffer);
    while (component != nullptr && *component != L'\0') {
        const wchar_t* next = ::PathFindNextComponentW(component);
        std::size_t end = next != nullptr ? static_cast<std::size_t>(next - buffer) : folder.size();
        if (end > 0 && end <= folder.size() &&
            (buffer[end - 1] == L'\\' || buffer[end - 1] == L'/')) {
            --end;
        }
        buffer[end] = L'\0';
        if (!::PathIsDirectoryW(buffer)) {
            if (!::CreateDirectoryW(buffer, nullptr)) {
                return;
            }
            ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, buffer, nullptr);
            currentEntries.push_back({RecordEntryKind::Folder, buffer, {}, true, -1, {}});
        }
        wcscpy(buffer, folder.c_str());
        component = next;
    }
}

RecordEntry& InstallRecord::Open(RecordEntryKind kind, std::wstring path, std::int32_t tag) {
    entryOpen = true;
    currentEntries.push_back({kind, std::move(path), {}, false, tag, {}});
    return currentEntries.back();
}

DWORD InstallRecord::AddFile(const std::wstring& path, std::int32_t tag, bool copyBackup) noexcept {
    try {
        entryOpen = true;
        const auto cut = path.find_last_of(L"\\/");
        if (cut != std::wstring::npos) {
            AddFolderChain(path.substr(0, cut));
        }
        RecordEntry& entry = Open(RecordEntryKind::File, path, tag);
        if (::PathIsDirectoryW(path.c_str())) {
            // A folder where the file should go is never moved away: writing the
            // file fails on its own, and the folder stays where it is.
            entry.existedBefore = true;
            return 0;
        }
        if (::PathFileExistsW(path.c_str())) {
            entry.existedBefore = true;
            DWORD error = 0;
            entry.backupPath = MakeBackup(path.c_str(), copyBackup, &error);
            if (entry.backupPath.empty()) {
                return error;
            }
        }
        return 0;
    } catch (...) {
        // Out of memory: the change cannot be journaled, so it must not be made.
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

void InstallRecord::AddShortcut(int slot, const std::wstring& folder) noexcept {
    try {
        entryOpen = true;
        AddFolderChain(folder);
        const RecordEntryKind kind = slot == 0   ? RecordEntryKind::MenuShortcut
                                     : slot == 1 ? RecordEntryKind::UninstallShortcut
                                                 : RecordEntryKind::DesktopShortcut;
        RecordEntry& entry = Open(kind, {}, -1);
        for (const RecordEntry& earlier : earlierEntries) {
            if (earlier.kind == kind) {
                if (::PathFileExistsW(earlier.path.c_str())) {
                    entry.backupPath = MakeBackup(earlier.path.c_str(), false);
                    entry.backupOrigin = earlier.path;
                }
                break;
            }
        }
    } catch (...) {
    }
}

void InstallRecord::AddUninstallKey(HKEY existingKey) noexcept {
    try {
        RecordEntry& entry = Open(RecordEntryKind::UninstallKey, {}, -1);
        if (existingKey == nullptr) {
            return;
        }
        entry.backupPath = MakeBackup(nullptr, false);
        if (entry.backupPath.empty()) {
            return;
        }
        SetPrivilege(L"SeBackupPrivilege", true);
        if (::RegSaveKeyW(existingKey, entry.backupPath.c_str(), nullptr) != ERROR_SUCCESS) {
            ::SetFileAttributesW(entry.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(entry.backupPath.c_str());
            entry.backupPath.clear();
        }
        SetPrivilege(L"SeBackupPrivilege", false);
    } catch (...) {
    }
}

void InstallRecord::AddRegistrationRun() noexcept {
    try {
        Open(RecordEntryKind::RegistrationRun, {}, -1);
    } catch (...) {
    }
}

void InstallRecord::AddRuntimeUpdate() noexcept {
    try {
        Open(RecordEntryKind::RuntimeUpdate, {}, -1);
    } catch (...) {
    }
}

void InstallRecord::CommitLast(bool succeeded, const wchar_t* path) noexcept {
    if (!entryOpen || currentEntries.empty()) {
        return;
    }
    entryOpen = false;
    RecordEntry& last = currentEntries.back();
    last.succeeded = succeeded;
    if (path != nullptr) {
        try {
            last.path = path;
        } catch (...) {
        }
    }
}

bool InstallRecord::WasInstalledBefore(const std::wstring& path) const noexcept {
    for (const RecordEntry& entry : earlierEntries) {
        if (entry.kind == RecordEntryKind::File && entry.succeeded && entry.path == path) {
            return true;
        }
    }
    return false;
}

} // namespace vt
