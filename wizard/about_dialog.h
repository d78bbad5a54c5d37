// The about box: the installer's name, version and copyright, and its publisher.
#pragma once

#include "framework/dialog.h"

namespace vt {

class CAboutDlg : public fw::Dialog {
public:
    static constexpr UINT TemplateId = 100;
    static constexpr int VersionId = 1019;
    static constexpr int CopyrightId = 1020;

    CAboutDlg() : Dialog(TemplateId) {}

protected:
    bool OnInitDialog() override;
};

} // namespace vt
