// The installation run: the one operation that changes the machine. Every change
// is journaled when it is made, so that a failed extraction is undone whole.
#include "engine/install_page.h"
#include "engine/notification_handler.h"
#include "engine/registration.h"
#include "engine/runtime_setup.h"
#include "engine/shortcut.h"
#include "engine/work_folder.h"

#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "payload/extract.h"
#include "payload/resource_stream.h"
#include "support/memstream.h"
#include "framework/wait_cursor.h"
#include "support/product_constants.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace vt {
namespace {

std::wstring verdict(bool succeeded) {
    return LocalizedString(succeeded ? 1011 : 1012) + L"\r\n";
}

void make_read_only(const std::wstring& path) {
    if (path.empty()) {
        return;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
    }
}

// One shortcut between its journal entry and the entry's verdict.
bool create_recorded_shortcut(InstallRecord& record, int slot, const std::wstring& target,
                              const std::wstring& folder, const std::wstring& name) {
    record.AddShortcut(slot, folder);
    std::wstring shortcut;
    if (CreateShortcut(target, folder, name.c_str(), shortcut)) {
        record.CommitLast(true, shortcut.c_str());
        return true;
    }
    if (record.entryOpen) {
        record.CommitLast(false);
    }
    return false;
}

// The record file's place: the uninstaller's folder.
bool record_file_path(const std::wstring& uninstaller, std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    if (uninstaller.size() >= MAX_PATH) {
        return false;
    }
    uninstaller.copy(buffer, MAX_PATH - 1);
    if (!::PathRemoveFileSpecW(buffer) || !::PathAppendW(buffer, product::RecordFileName)) {
        return false;
    }
    path = buffer;
    return true;
}

} // namespace

bool CDlgInstall::RunInstallation() {
    InstallRecord& record = session_.installRecord;

    // 1. A fresh transcript section.
    main_program_.clear();
    uninstaller_.clear();
    AppendLog(L"", true);
    const fw::WaitCursor wait;
    SetStatus(LocalizedString(1114));

    // 2. The temporary work folder.
    std::wstring error_text;
    if (!ComputeWorkFolder(session_.workFolder, error_text)) {
        const std::wstring text = LocalizedString(1121, {error_text});
        SetStatus(text);
        AppendLog(text + L"\r\n");
        return false;
    }

    // 3-5. The examples folder, the temporary files, the progress bar.
    const std::wstring examples = LocalizedString(1018, {product::Word});
    TemporaryFileList temporary_files(session_.workFolder);
    bool result = false;
    {
        const TemporaryFilesPublication publication(temporary_files);
        SetProgress(0);
        ::ShowWindow(progress_, SW_SHOW);

        // 6-7. The payload, verified, extracted and placed.
        const std::string_view given = payload_source_ ? payload_source_() : std::string_view();
        imemstream stream =
            payload_source_ ? imemstream(given.data(), given.size()) : open_payload_stream();
        NotificationHandler handler(*this, stream);
        const PayloadFolders folders{session_.installFolder, examples, session_.workFolder};
        DeferLog(true);
        const bool extracted = extract_payload(
            stream, folders, [&handler](notification event) { return handler(event); });
        DeferLog(false);
        if (!extracted) {
            record.Rollback();
        } else {
            // 8. The programs that must not be changed by accident.
            make_read_only(main_program_);
            make_read_only(uninstaller_);

            // 9. Shortcuts.
            if (session_.createMenuShortcut || session_.createDesktopShortcut) {
                const std::wstring text = LocalizedString(1117);
                SetStatus(text);
                AppendLog(text);
                bool shortcuts = true;
                if (session_.createMenuShortcut) {
                    shortcuts &=
                        create_recorded_shortcut(record, 0, main_program_, session_.shortcutFolder,
                                                 product::LabelWithVersion);
                    shortcuts &=
                        create_recorded_shortcut(record, 1, uninstaller_, session_.shortcutFolder,
                                                 LocalizedString(1013, {product::Word}));
                }
                if (session_.createDesktopShortcut) {
                    shortcuts &=
                        create_recorded_shortcut(record, 2, main_program_, DesktopFolder(Handle()),
                                                 product::LabelWithVersion);
                }
                AppendLog(verdict(shortcuts));
            }

            // 10. The DirectX runtime.
            RunRuntimeSetupStep(session_.workFolder, session_.existingInstall, record, *this);

            // 11-13. The registration, the program path and the registration run.
            const std::wstring registry_text = LocalizedString(1118);
            SetStatus(registry_text);
            AppendLog(registry_text);
            const bool registered =
                WriteUninstallRegistration(record, main_program_, uninstaller_, CurrentLanguage());
            WriteProgramPathValue(main_program_);
            // The registration run is awaited without dispatching: what the page
            // shows so far is painted first.
            ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            const auto exit_code = RunRegistration(record, session_.instanceMutex, main_program_);
            AppendLog(verdict(registered && exit_code == RegistrationSucceeded));

            // 14. The record file next to the uninstaller.
            const std::wstring record_text = LocalizedString(1119);
            SetStatus(record_text);
            AppendLog(record_text);
            std::wstring record_file;
            const bool written =
                record_file_path(uninstaller_, record_file) &&
                record.Write(record_file, session_.installFolder, session_.shortcutFolder);
            AppendLog(verdict(written));

            // 15.
            SetStatus(LocalizedString(1106, {LocalizedString(1006)}));
            result = true;
        }
    }
    // 16. Clean-up: the stream and folders are gone with their scope.
    temporary_files.RemoveAll();
    return result;
}

} // namespace vt
