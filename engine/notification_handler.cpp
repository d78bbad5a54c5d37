// The install page's answers to the extraction: the per-kind rules of the
// payload files, their journal entries, and the transcript of every event.
#include "engine/notification_handler.h"

#include "engine/work_folder.h"

#include "lang/localized_string.h"
#include "payload/compress_error.h"
#include "payload/error_translation.h"
#include "payload/verify.h"
#include "support/format_inserts.h"
#include "support/security.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <istream>
#include <system_error>

namespace vt {
namespace {

// Generic read, generic write and delete for files, for the built-in Users group.
constexpr DWORD users_modify_access = 0x0013019F;

FileKind kind_of(const PayloadEntry& entry) {
    return entry.kind >= 1 && entry.kind <= 5 ? static_cast<FileKind>(entry.kind) : FileKind::Plain;
}

bool file_exists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

CDlgInstall::NotificationHandler::NotificationHandler(CDlgInstall& page, std::istream& payload)
    : page_(page), payload_(payload), copying_format_(LocalizedString(1115)),
      ok_line_(LocalizedString(1011) + L"\r\n") {}

notification::result CDlgInstall::NotificationHandler::operator()(const notification& event) {
    const notification::result result =
        std::visit([this](const auto& alternative) { return On(alternative); }, event);
    page_.DispatchPendingMessages();
    return result;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::started&) {
    const std::wstring text = LocalizedString(1114);
    page_.SetStatus(text);
    page_.AppendLog(text);
    if (!verify_payload(payload_)) {
        throw std::system_error(make_error_code(compress_error::verification_failed), "");
    }
    payload_.clear();
    payload_.seekg(0);
    page_.AppendLog(LocalizedString(1011) + L"\r\n");
    return result::proceed;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::finished&) {
    return result::proceed;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::file_started& started) {
    const std::wstring& path = started.entry.destination;
    const FileKind kind = kind_of(started.entry);
    const ExistingInstall existing = page_.session_.existingInstall;
    switch (kind) {
    case FileKind::MainProgram:
        page_.main_program_ = path;
        break;
    case FileKind::Uninstaller:
        page_.uninstaller_ = path;
        break;
    case FileKind::KeepExisting:
        if (existing != ExistingInstall::NoInstall && Record().WasInstalledBefore(path)) {
            GrantAccess(path, users_modify_access);
            return result::skip;
        }
        if (file_exists(path)) {
            Record().AddFile(path, static_cast<std::int32_t>(kind), true);
            Record().CommitLast(true);
            GrantAccess(path, users_modify_access);
            return result::skip;
        }
        break;
    case FileKind::SkipOnUpdate:
        if (existing == ExistingInstall::OlderVersion) {
            return result::skip;
        }
        break;
    case FileKind::Temporary:
        if (TemporaryFileList* list = PublishedTemporaryFiles()) {
            list->Add(path);
        }
        break;
    case FileKind::Plain:
        break;
    }
    const std::wstring line = FormatInserts(copying_format_, {QuotedPath(path)});
    page_.SetFileStatus(line);
    page_.AppendLog(line);
    if (kind != FileKind::Temporary) {
        // A file that cannot be saved first is not written over: the extraction
        // fails with the system's reason, on this file's line.
        if (const DWORD error = Record().AddFile(path, static_cast<std::int32_t>(kind),
                                                 kind == FileKind::KeepExisting)) {
            throw std::system_error(static_cast<int>(error), std::system_category());
        }
    }
    return result::proceed;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::file_finished& finished) {
    const FileKind kind = kind_of(finished.entry);
    if (kind == FileKind::KeepExisting) {
        GrantAccess(finished.entry.destination, users_modify_access);
    }
    if (kind != FileKind::Temporary && Record().entryOpen) {
        Record().CommitLast(true);
    }
    page_.AppendLog(ok_line_);
    return result::proceed;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::progress& progress) {
    page_.SetProgress(ProgressPercent(progress.done, progress.total));
    return result::proceed;
}

notification::result CDlgInstall::NotificationHandler::On(const notify::failed& failure) {
    if (Record().entryOpen) {
        Record().CommitLast(false);
    }
    page_.AppendLog(LocalizedString(1012) + L"\r\n");
    page_.SetStatus(LocalizedString(1121, {format_failure_code(failure.code)}));
    return result::abort;
}

} // namespace vt
