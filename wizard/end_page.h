// The end page: the installation is complete.
#pragma once

#include "app/install_session.h"
#include "framework/page.h"

namespace vt {

class CDlgEnd : public fw::Page {
public:
    static constexpr UINT TemplateId = 137;
    static constexpr int ResultId = 1016;
    static constexpr int StatusId = 1003;

    explicit CDlgEnd(InstallSession& session) : Page(TemplateId), session_(session) {}
    ~CDlgEnd() override;

    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

protected:
    void DoDataExchange(fw::DataExchange& exchange) override;

private:
    InstallSession& session_;
};

} // namespace vt
