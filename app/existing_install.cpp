#include "app/existing_install.h"

#include "app/install_session.h"

#include "lang/ui_language.h"
#include "support/product_constants.h"
#include "support/registry.h"
#include "support/win32_error.h"

#include <mutex>

namespace vt {
namespace {

bool file_exists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring folder_of(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

// The answers that mean "there is no such file" rather than "it could not be
// looked at".
bool means_absent(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_DIRECTORY:
        return true;
    default:
        return false;
    }
}

// The record file in the folder; empty when there is none. An error other than
// "not there" throws Win32Error: a record that exists but cannot be looked at must
// not pass for a missing one.
std::wstring record_in(const std::wstring& folder) {
    if (folder.empty()) {
        return {};
    }
    std::wstring candidate = folder + L"\\" + product::RecordFileName;
    const DWORD attributes = ::GetFileAttributesW(candidate.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (means_absent(error)) {
            return {};
        }
        ThrowWin32Error(error);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? candidate : std::wstring();
}

std::wstring read_product_path() {
    try {
        const unique_hkey key = OpenKey(HKEY_LOCAL_MACHINE, product::MakerKey);
        std::wstring path;
        if (key && ReadString(key.get(), product::ProgramPathValue, path) && file_exists(path)) {
            return path;
        }
    } catch (...) {
        // Any error: the product counts as not installed.
    }
    return {};
}

} // namespace

std::wstring VersionDisplayText(const VersionInfo& info) {
    std::wstring text = info.String(L"ProductName");
    const std::wstring version = info.String(L"ProductVersion");
    if (!version.empty()) {
        text += L" " + version;
    }
    const DWORD flags =
        info.FixedInfo() ? info.FixedInfo()->dwFileFlags & info.FixedInfo()->dwFileFlagsMask : 0;
    if ((flags & VS_FF_PRERELEASE) != 0 &&
        PRIMARYLANGID(LANGIDFROMLCID(CurrentLcid())) != LANG_FRENCH) {
        const auto at = text.rfind(L"b\u00EAta");
        if (at != std::wstring::npos) {
            text.replace(at, 4, L"beta");
        }
    }
    if ((flags & VS_FF_PRIVATEBUILD) != 0) {
        text += L" \u2013 Private";
    }
    if ((flags & VS_FF_DEBUG) != 0) {
        text += L" \u2013 Debug";
    }
    return text;
}

std::wstring InstalledProductPath() {
    static std::once_flag once;
    static std::wstring path;
    std::call_once(once, [] { path = read_product_path(); });
    return path;
}

DetectedInstall DetectExistingInstall() {
    return DetectExistingInstall(InstalledProductPath());
}

DetectedInstall DetectExistingInstall(const std::wstring& product_path) {
    if (product_path.empty()) {
        return {ExistingInstall::NoInstall, {}};
    }
    const VersionInfo info = VersionInfo::OfFile(product_path);
    if (!info.FixedInfo()) {
        return {ExistingInstall::SameVersion, {}};
    }
    const std::uint64_t installed = info.Version();
    if (installed > product::FileVersion) {
        return {ExistingInstall::NewerVersion, VersionDisplayText(info)};
    }
    if (installed == product::FileVersion) {
        return {ExistingInstall::SameVersion, {}};
    }
    return {ExistingInstall::OlderVersion, VersionDisplayText(info)};
}

std::wstring FindRecordFile() {
    const unique_hkey key = OpenKey(HKEY_LOCAL_MACHINE, product::UninstallKey);
    std::wstring uninstaller;
    if (key && ReadString(key.get(), L"UninstallString", uninstaller)) {
        if (auto found = record_in(folder_of(uninstaller)); !found.empty()) {
            return found;
        }
    }
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    if (auto found = record_in(folder_of(own)); !found.empty()) {
        return found;
    }
    return record_in(folder_of(InstalledProductPath()));
}

} // namespace vt

namespace vt {

DWORD LoadEarlierRecord(InstallSession& session) {
    if (session.existingInstall != ExistingInstall::SameVersion &&
        session.existingInstall != ExistingInstall::OlderVersion) {
        session.installRecord.Load(nullptr);
        return 0;
    }
    std::wstring file;
    try {
        file = FindRecordFile();
    } catch (const Win32Error& error) {
        return static_cast<DWORD>(error.code().value());
    }
    if (file.empty()) {
        session.installRecord.Load(nullptr);
        return 0;
    }
    session.installRecord.Load(file.c_str());
    session.installFolder = session.installRecord.previousInstallFolder;
    session.shortcutFolder = session.installRecord.previousShortcutFolder;
    return 0;
}

} // namespace vt
