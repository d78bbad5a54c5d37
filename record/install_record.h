// The installation record: every change of a run, journaled with a backup of
// what it replaced, so that a failed run can be undone; written at the end as
// the record file that the uninstaller and the next installer read. Record
// operations never throw and never show anything.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <string>

namespace vt {

enum class RecordEntryKind : std::int32_t {
    Folder = 0,
    File = 1,
    MenuShortcut = 2,
    UninstallShortcut = 3,
    DesktopShortcut = 4,
    UninstallKey = 5,
    RegistrationRun = 6,
    RuntimeUpdate = 7,
};

struct RecordEntry {
    RecordEntryKind kind = RecordEntryKind::File;
    std::wstring path;       // the file, folder or shortcut, or the kind's text
    std::wstring backupPath; // what the change replaced; empty when nothing
    bool succeeded = false;
    std::int32_t tag = -1; // the payload FileKind of a File entry, else -1
    // Where the backup came from when that is not `path`: an earlier
    // installation's shortcut goes back to its own place, whatever the new one is
    // called. Kept in memory only.
    std::wstring backupOrigin;
    // The file was there before the run (memory only): undoing the entry never
    // deletes it unless its backup can take its place.
    bool existedBefore = false;
};

class InstallRecord {
public:
    // Journal.
    void AddFolderChain(const std::wstring& folder) noexcept;
    // Journals a file about to be written. A file already there is backed up
    // first (copied, or moved out of the way); when that fails, the result is
    // the system's error and the file must not be written: the entry stays
    // without a backup, and Rollback leaves the file as it found it. 0 otherwise.
    DWORD AddFile(const std::wstring& path, std::int32_t tag, bool copyBackup) noexcept;
    void AddShortcut(int slot, const std::wstring& folder) noexcept;
    void AddUninstallKey(HKEY existingKey) noexcept;
    void AddRegistrationRun() noexcept;
    void AddRuntimeUpdate() noexcept;
    void CommitLast(bool succeeded, const wchar_t* path = nullptr) noexcept;

    // Undoes and frees every current entry, last first.
    void Rollback() noexcept;

    [[nodiscard]] bool WasInstalledBefore(const std::wstring& path) const noexcept;
    [[nodiscard]] const std::list<RecordEntry>& EarlierEntries() const noexcept {
        return earlierEntries;
    }

    // Merges the earlier entries, writes the record file, marks it read-only and
    // discards every backup. True when the file was created and every write went through.
    bool Write(const std::wstring& recordFile, const std::wstring& installFolder,
               const std::wstring& shortcutFolder) noexcept;

    // Reads an earlier record file (or nothing, with a null path).
    void Load(const wchar_t* recordFile) noexcept;

    std::wstring previousInstallFolder;
    std::wstring previousShortcutFolder;
    std::list<RecordEntry> earlierEntries; // read from the earlier record, in file order
    std::list<RecordEntry> currentEntries; // added by this run, in order
    bool entryOpen = false;
    std::wstring previousLabel; // such as "Plankwise 6.05"

private:
    RecordEntry& Open(RecordEntryKind kind, std::wstring path, std::int32_t tag);
};

// A fresh "vt" temporary name; with a source, the source copied or moved there
// (attributes kept). Empty on failure.
// On failure the result is empty and `error` (when given) the system's error.
[[nodiscard]] std::wstring MakeBackup(const wchar_t* source, bool copy,
                                      DWORD* error = nullptr) noexcept;

// Restores a key saved with RegSaveKeyW into the named subkey of `parent`.
void RestoreSavedKey(HKEY parent, const wchar_t* name, const std::wstring& file);

namespace details {
using key_restorer = void (*)(HKEY subkey, const std::wstring& file);
// Replaces the RegRestoreKeyW call (Wine reports success without restoring).
key_restorer SetKeyRestorer(key_restorer restorer) noexcept;
} // namespace details

// The path equality of the merge: equal paths, the same existing file, or, for
// files that do not exist, equal absolute normalised paths ignoring case.
[[nodiscard]] bool SamePath(const std::wstring& a, const std::wstring& b) noexcept;
// The keys behind SamePath: the absolute normalised path in lower case, and the
// identity of an existing file (empty when there is no such file).
[[nodiscard]] std::wstring NameKey(const std::wstring& path) noexcept;
[[nodiscard]] std::wstring FileKey(const std::wstring& path) noexcept;

} // namespace vt
