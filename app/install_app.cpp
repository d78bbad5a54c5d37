#include "app/install_app.h"

#include "lang/change_language.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "app/process_start.h"
#include "support/error_text.h"
#include "support/message_box.h"
#include "support/product_constants.h"
#include "support/registry.h"
#include "support/security.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <stdexcept>

namespace vt {
namespace {

constexpr WORD application_icon = 128;

bool interface_right_to_left() {
    return IsRightToLeft(CurrentLanguage());
}

std::wstring own_version_text() {
    return VersionDisplayText(VersionInfo::OfRunningExecutable());
}

// The language stored by an earlier installation, if any.
bool stored_language(DWORD& code) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, product::UninstallKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const unique_hkey owned(key);
    DWORD type = 0;
    DWORD size = sizeof code;
    return ::RegQueryValueExW(key, product::LanguageValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(&code), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof code;
}

// A special folder, then the maker's and the product's folder below it.
std::wstring product_folder_below(int csidl, int fallback_csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) &&
        (fallback_csidl < 0 || !::SHGetSpecialFolderPathW(nullptr, path, fallback_csidl, FALSE))) {
        return {};
    }
    ::PathAppendW(path, product::MakerFolder);
    ::PathAppendW(path, product::UninstallKeyName);
    return path;
}

} // namespace

void FatalExit(DWORD code) {
    // No language and no title exist yet: the caption is the version text.
    ::MessageBoxW(nullptr, ErrorText(code).c_str(), own_version_text().c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

CInstallApp::CInstallApp(const std::wstring& application_id, WizardRunner run_wizard)
    : session_(application_id), run_wizard_(run_wizard) {
    // The application icon, at the resource's own size.
    SetIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                            MAKEINTRESOURCEW(application_icon), IMAGE_ICON, 0, 0,
                                            LR_SHARED)));
    // Message boxes without an owner read right to left in such a language, and
    // before the title exists they are captioned with the installer's version.
    MessageBoxHost host = BaseMessageBoxHost();
    host.ui_right_to_left = &interface_right_to_left;
    host.version_caption = &own_version_text;
    SetMessageBoxHost(host);
    // A language change renames the application (the caption of its boxes).
    renames_on_language_change_ = AddLanguageChangeListener([this](const std::wstring& title) {
        session_.appTitle = title;
        SetName(title);
    });
}

// The language-change subscription leaves the list with the object.
CInstallApp::~CInstallApp() = default;

bool CInstallApp::InitInstance() {
    const ProcessStart* start = CurrentProcessStart();
    if (start == nullptr || !start->ProcessorChecked()) {
        FatalExit(static_cast<DWORD>(E_UNEXPECTED));
        return false;
    }
    if (!session_.instanceMutex.TryAcquire()) {
        FatalExit(session_.instanceMutex.FailureCode());
        return false;
    }
    ChooseLanguage();
    if (!IsUserAdmin()) {
        ShowMessage(LocalizedString(1126), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!ProductClosed()) {
        return false;
    }
    const DetectedInstall detected = DetectExistingInstall();
    session_.existingInstall = detected.state;
    if (detected.state == ExistingInstall::OlderVersion ||
        detected.state == ExistingInstall::NewerVersion) {
        session_.installedVersionText = detected.version_text;
    }
    if (const DWORD error = LoadEarlierRecord(session_); error != 0) {
        FatalExit(error);
        return false;
    }
    SetFolderDefaults();
    // The options are never taken from an earlier installation.
    session_.createMenuShortcut = true;
    session_.createDesktopShortcut = true;
    session_.customMode = false;
    if (run_wizard_ != nullptr) {
        run_wizard_(session_);
    }
    return false;
}

void CInstallApp::ChooseLanguage() {
    // The language of the user within the product's languages, or the one an
    // earlier installation stored; installer texts in English where they are not
    // translated.
    SetAllowedLanguages(ProductLanguages);
    int language = LanguageFromUserDefault();
    if (DWORD stored = 0; stored_language(stored) && stored < 32 &&
                          InSet(ProductLanguages, static_cast<int>(stored))) {
        language = static_cast<int>(stored);
    }
    if (!InSet(TranslatedLanguages, language)) {
        language = English;
    }
    SetLanguage(language);
    session_.appTitle = LocalizedTitle(true);
    SetName(session_.appTitle);
}

bool CInstallApp::ProductClosed() {
    while (RunningInstanceCount() > 1) {
        if (ShowMessage(LocalizedString(1127, {product::Word}),
                        MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDCANCEL) {
            return false;
        }
    }
    return true;
}

void CInstallApp::SetFolderDefaults() {
    if (session_.installFolder.empty()) {
        session_.installFolder = product_folder_below(CSIDL_PROGRAM_FILES, -1);
    }
    if (session_.shortcutFolder.empty()) {
        session_.shortcutFolder = product_folder_below(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS);
    }
}

InstallSession& Session() {
    auto* app = dynamic_cast<CInstallApp*>(fw::Application::Current());
    if (app == nullptr) {
        throw std::logic_error("no installer application object");
    }
    return app->SessionData();
}

} // namespace vt
