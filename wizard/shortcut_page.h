// The shortcut page: the start-menu shortcut with its folder, shown relative to
// the Start menu, and the desktop shortcut (advanced mode only).
#pragma once

#include "app/install_session.h"
#include "framework/page.h"

namespace vt {

class CDlgShortcut : public fw::Page {
public:
    static constexpr UINT TemplateId = 134;
    static constexpr int GroupId = 1012;
    static constexpr int MenuOptionId = 1011;
    static constexpr int FolderId = 1007;
    static constexpr int BrowseId = 1006;
    static constexpr int DesktopOptionId = 1010;
    static constexpr int StatusId = 1003;

    explicit CDlgShortcut(InstallSession& session) : Page(TemplateId), session_(session) {}
    ~CDlgShortcut() override;

    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void EnableFolder();
    void OnBrowse();

    InstallSession& session_;
    bool desktop_ = true;
    bool menu_ = true;
    std::wstring relative_;
    std::wstring start_menu_;
};

// The folder as the shortcut page shows it: relative to the Start-menu root,
// empty for the root itself; the absolute folder when no relative path exists
// (another volume).
[[nodiscard]] std::wstring StartMenuRelativeText(const std::wstring& start_menu,
                                                 const std::wstring& folder);

} // namespace vt
