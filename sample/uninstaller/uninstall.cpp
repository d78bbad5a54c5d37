// A stand-in of the product's uninstaller: it reads the installation record
// "Uninstall.ulog" beside it, asks for confirmation and removes what the record
// lists, last first, then the program path value, the file association, the
// record and itself.
//   Uninstall.exe        asks first
//   Uninstall.exe /S     does not ask
#include "record/install_record.h"
#include "sample/product/association.h"
#include "support/product_constants.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

namespace {

void remove_file(const std::wstring& path, const std::wstring& self) {
    if (_wcsicmp(path.c_str(), self.c_str()) == 0) {
        return; // removed last, below
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

void remove_entry(const vt::RecordEntry& entry, const std::wstring& self) {
    using vt::RecordEntryKind;
    switch (entry.kind) {
    case RecordEntryKind::Folder:
        ::RemoveDirectoryW(entry.path.c_str()); // only when empty
        break;
    case RecordEntryKind::File:
    case RecordEntryKind::MenuShortcut:
    case RecordEntryKind::UninstallShortcut:
    case RecordEntryKind::DesktopShortcut:
        remove_file(entry.path, self);
        break;
    case RecordEntryKind::UninstallKey:
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
        break;
    case RecordEntryKind::RegistrationRun:
        vt::sample::RemoveAssociation();
        break;
    case RecordEntryKind::RuntimeUpdate:
        break; // the runtime stays: other programs use it
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR command_line, int) {
    const bool silent = command_line != nullptr && wcsstr(command_line, L"/S") != nullptr;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.erase(folder.find_last_of(L"\\/"));
    const std::wstring record_file = folder + L"\\" + vt::product::RecordFileName;

    vt::InstallRecord record;
    record.Load(record_file.c_str());
    if (record.earlierEntries.empty()) {
        ::MessageBoxW(nullptr, L"The installation record Uninstall.ulog was not found.",
                      L"Uninstall Plankwise", MB_ICONERROR | MB_OK);
        return 2;
    }
    if (!silent &&
        ::MessageBoxW(nullptr, L"Do you want to remove Plankwise 6.07 and all of its components?",
                      L"Uninstall Plankwise", MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return 1;
    }
    for (auto it = record.earlierEntries.rbegin(); it != record.earlierEntries.rend(); ++it) {
        remove_entry(*it, self);
    }
    HKEY maker = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, vt::product::MakerKey, 0, KEY_SET_VALUE, &maker) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueW(maker, vt::product::ProgramPathValue);
        ::RegCloseKey(maker);
    }
    vt::sample::RemoveAssociation();
    ::SetFileAttributesW(record_file.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(record_file.c_str());
    // The running program cannot delete itself: it goes at the next restart, and
    // its folder with it once empty.
    ::SetFileAttributesW(self, FILE_ATTRIBUTE_NORMAL);
    ::MoveFileExW(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    ::MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}
