#include "app/install_app.h"

#include "lang/change_language.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"

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

} // namespace

CInstallApp::CInstallApp(const std::wstring& application_id) : session_(application_id) {
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
    // The language of the user within the product's languages; installer texts in
    // English where they are not translated.
    SetAllowedLanguages(ProductLanguages);
    int language = LanguageFromUserDefault();
    if (!InSet(TranslatedLanguages, language)) {
        language = English;
    }
    SetLanguage(language);
    session_.appTitle = LocalizedTitle(true);
    SetName(session_.appTitle);
    return false;
}

InstallSession& Session() {
    auto* app = dynamic_cast<CInstallApp*>(fw::Application::Current());
    if (app == nullptr) {
        throw std::logic_error("no installer application object");
    }
    return app->SessionData();
}

} // namespace vt
