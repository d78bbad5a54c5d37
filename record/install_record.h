// The installation record: every change of a run, journaled with its backup.
#pragma once

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
};

class InstallRecord {
public:
    std::wstring previousInstallFolder;
    std::wstring previousShortcutFolder;
    std::list<RecordEntry> earlierEntries; // read from the earlier record, in file order
    std::list<RecordEntry> currentEntries; // added by this run, in order
    bool entryOpen = false;
    std::wstring previousLabel; // such as "Plankwise 6.05"
};

} // namespace vt
