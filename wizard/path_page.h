// The folder page: the installation folder, typed or picked (advanced mode only).
#pragma once

#include "app/install_session.h"
#include "framework/page.h"

namespace vt {

class CDlgPath : public fw::Page {
public:
    static constexpr UINT TemplateId = 133;
    static constexpr int GroupId = 1008;
    static constexpr int PromptId = 1009;
    static constexpr int FolderId = 1007;
    static constexpr int BrowseId = 1006;
    static constexpr int StatusId = 1003;

    explicit CDlgPath(InstallSession& session) : Page(TemplateId), session_(session) {}
    ~CDlgPath() override;

    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnBrowse();

    InstallSession& session_;
    std::wstring folder_;
};

} // namespace vt
