// The start page: the language list with its flags, the copyright notice and
// what the installer found on the machine.
#pragma once

#include "app/install_session.h"
#include "framework/controls.h"
#include "framework/page.h"

#include <array>

namespace vt {

class CDlgStart : public fw::Page {
public:
    static constexpr UINT TemplateId = 132;
    static constexpr int LabelId = 1022;
    static constexpr int LanguageListId = 1023;
    static constexpr int CopyrightId = 1020;
    static constexpr int SituationId = 1016;
    static constexpr int StatusId = 1003;

    struct OfferedLanguage {
        int code;
        WORD flag_icon;
    };
    // The languages of the list, in list order.
    static constexpr std::array<OfferedLanguage, 13> Languages{{{0, 144},
                                                                {1, 145},
                                                                {2, 141},
                                                                {3, 143},
                                                                {11, 146},
                                                                {4, 148},
                                                                {5, 147},
                                                                {14, 155},
                                                                {7, 149},
                                                                {9, 151},
                                                                {10, 152},
                                                                {16, 157},
                                                                {17, 158}}};

    explicit CDlgStart(InstallSession& session) : Page(TemplateId), session_(session) {}
    ~CDlgStart() override;

    void RefreshTexts() override;
    void Grow(int dx, int dy) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FillLanguageList();
    void OnLanguageSelected();

    InstallSession& session_;
    fw::ComboBoxEx languages_;
    fw::ImageList flags_;
};

// A language's own name as the system gives it, its first letter in upper case;
// empty when the system has none.
[[nodiscard]] std::wstring NativeLanguageName(int code);

// The situation text and the status line of the start page.
[[nodiscard]] std::wstring SituationText(const InstallSession& session);
[[nodiscard]] std::wstring StartStatusText(const InstallSession& session);

} // namespace vt
