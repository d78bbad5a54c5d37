// The mode page: a quick installation, which passes over the folder and shortcut
// pages, or an advanced one.
#pragma once

#include "app/install_session.h"
#include "framework/page.h"

namespace vt {

class CDlgMode : public fw::Page {
public:
    static constexpr UINT TemplateId = 136;
    static constexpr int GroupId = 1021;
    static constexpr int QuickId = 1018;
    static constexpr int AdvancedId = 1019;
    static constexpr int StatusId = 1003;

    explicit CDlgMode(InstallSession& session) : Page(TemplateId), session_(session) {}
    ~CDlgMode() override;

    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

protected:
    void DoDataExchange(fw::DataExchange& exchange) override;

private:
    InstallSession& session_;
    int selected_ = 0;
};

} // namespace vt
