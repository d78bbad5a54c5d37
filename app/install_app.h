// The installer's application object: it owns the session for the whole process.
#pragma once

#include "app/install_session.h"
#include "framework/application.h"
#include "lang/change_language.h"

namespace vt {

class CInstallApp : public fw::Application {
public:
    explicit CInstallApp(const std::wstring& application_id);
    ~CInstallApp() override;

    [[nodiscard]] InstallSession& SessionData() noexcept { return session_; }

protected:
    bool InitInstance() override;

private:
    InstallSession session_;
    LanguageChangeSubscription renames_on_language_change_;
};

} // namespace vt
