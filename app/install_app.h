// The installer's application object: it owns the session for the whole process.
#pragma once

#include "app/install_session.h"
#include "framework/application.h"
#include "lang/change_language.h"

namespace vt {

// Ends the program's start with the system's text for the code, captioned with
// the installer's own version text, without an owner window.
void FatalExit(DWORD code);

class CInstallApp : public fw::Application {
public:
    // Runs the wizard modally over the session; the program ends when it returns.
    using WizardRunner = INT_PTR (*)(InstallSession& session);

    CInstallApp(const std::wstring& application_id, WizardRunner run_wizard);
    ~CInstallApp() override;

    [[nodiscard]] InstallSession& SessionData() noexcept { return session_; }

protected:
    // The start-up sequence: the instance mutex, the language, the refusals, the
    // earlier installation and the folder defaults, then the wizard. Always false:
    // the program ends when the wizard has closed.
    bool InitInstance() override;

private:
    void ChooseLanguage();
    [[nodiscard]] bool ProductClosed();
    void SetFolderDefaults();

    InstallSession session_;
    WizardRunner run_wizard_;
    LanguageChangeSubscription renames_on_language_change_;
};

} // namespace vt
