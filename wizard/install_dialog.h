// The wizard's host: the installer's main window with the picture panel, the
// page area where the six pages are stacked, and Back, Next and Exit.
#pragma once

#include "app/install_session.h"
#include "engine/install_page.h"
#include "framework/dialog.h"
#include "lang/change_language.h"
#include "wizard/end_page.h"
#include "wizard/mode_page.h"
#include "wizard/path_page.h"
#include "wizard/shortcut_page.h"
#include "wizard/start_page.h"

#include <array>

namespace vt {

class CInstallDlg : public fw::Dialog {
public:
    static constexpr UINT TemplateId = 102;
    static constexpr int BackId = 3;
    static constexpr int PanelId = 1005;
    static constexpr int SeparatorId = 1002;
    static constexpr UINT AboutCommand = 16;

    // The pages' indices, in page order.
    enum PageIndex : int { StartPage, ModePage, FolderPage, ShortcutPage, InstallPage, EndPage };

    explicit CInstallDlg(InstallSession& session);
    ~CInstallDlg() override;

    // Leaves the current page (saving and validating it) and shows another; in
    // quick mode the folder and shortcut pages are passed over. False when the
    // current page's data did not validate.
    bool GoToPage(int target);
    void UpdateButtonCaptions();
    // Every text of the host and its pages, in the current language.
    void RefreshTexts();

    [[nodiscard]] int CurrentPage() const noexcept { return current_page_; }
    [[nodiscard]] CDlgInstall& InstallPageObject() noexcept { return install_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void LayOutPages();
    void UpdateAboutItem();
    void RunInstallation();

    InstallSession& session_;
    CDlgStart start_;
    CDlgMode mode_;
    CDlgPath path_;
    CDlgShortcut shortcut_;
    CDlgInstall install_;
    CDlgEnd end_;
    std::array<fw::Page*, 6> pages_;
    int current_page_ = -1;
    bool running_ = false;
    LanguageChangeSubscription refreshes_on_language_change_;
};

// The about item's text for the system menu: "&About 'Installer'..." or, in a
// language written right to left, "...About 'Installer'"; empty when the
// message is.
[[nodiscard]] std::wstring AboutItemText();

// Runs the wizard modally as the application's main window; returns how it
// closed (IDOK after a completed installation, IDCANCEL otherwise, -1 when it
// could not be shown).
INT_PTR RunWizard(InstallSession& session);

} // namespace vt
