// The install page before and around the run: its summary, framed headings,
// the progress percent and the texts of the status line.
#include "install_page_fixture.h"

#include "lang/ui_language.h"

#include <commctrl.h>

namespace vt::test {
namespace {

using InstallPage = InstallPageTest;

std::wstring last_line(const std::wstring& log) {
    const auto end = log.rfind(L"\r\n");
    const auto start = log.rfind(L"\r\n", end - 1);
    return log.substr(start == std::wstring::npos ? 0 : start + 2,
                      end - (start == std::wstring::npos ? 0 : start + 2));
}

TEST_F(InstallPage, AHeadingIsFramedByDashRunsThatDifferByAtMostOneTheRightOneLonger) {
    for (const std::wstring text : {L"Installation Options", L"Odd", L"Even"}) {
        page->AppendLog(text, true);
        const std::wstring line = last_line(Log());
        const auto at = line.find(L" " + text + L" ");
        ASSERT_NE(at, std::wstring::npos) << line;
        const std::size_t left = at;
        const std::size_t right = line.size() - at - text.size() - 2;
        EXPECT_EQ(line.substr(0, left), std::wstring(left, L'-'));
        EXPECT_TRUE(right == left || right == left + 1) << left << " " << right;
        EXPECT_GT(left, 5u);
    }
}

TEST_F(InstallPage, AnEmptyTextIsOneFullLineOfDashesWithOrWithoutTheHeadingFlag) {
    page->AppendLog(L"", false);
    const std::wstring plain = last_line(Log());
    page->AppendLog(L"", true);
    const std::wstring heading = last_line(Log());
    EXPECT_EQ(plain, heading);
    EXPECT_EQ(plain.find_first_not_of(L'-'), std::wstring::npos);
    EXPECT_GT(plain.size(), 20u);
}

TEST_F(InstallPage, PlainTextsAreAppendedUnchangedSoAVerdictEndsItsStepsLine) {
    page->AppendLog(L"Shortcuts Creation...");
    page->AppendLog(L"OK\r\n");
    EXPECT_EQ(last_line(Log()), L"Shortcuts Creation...OK");
}

TEST_F(InstallPage, TheSummaryFollowsTheOptionsAndTheLanguage) {
    session.createMenuShortcut = false;
    page->UpdateData(false);
    EXPECT_EQ(Log().find(L"Start Menu"), std::wstring::npos);
    EXPECT_NE(Log().find(L"Creating a Shortcut on the Desktop."), std::wstring::npos);
    EXPECT_EQ(Status(), L"Click on 'Install' to start Installation.");

    SetLanguage(German);
    page->UpdateData(false);
    page->RefreshTexts();
    EXPECT_EQ(Log().rfind(L"Installation von 'Plankwise 6.07'.", 0), 0u) << Log();
    EXPECT_EQ(Status(), L"Klicken Sie auf 'Installieren', um die Installation zu starten.");
    SetLanguage(English);
}

TEST_F(InstallPage, TheProgressBarIsHiddenUntilTheRun) {
    EXPECT_FALSE(::IsWindowVisible(page->Item(CDlgInstall::ProgressId)));
    PBRANGE range{};
    ::SendMessageW(page->Item(CDlgInstall::ProgressId), PBM_GETRANGE, FALSE,
                   reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
}

TEST(ProgressPercent, RoundsAndShowsNinetyNineUntilTheLastByte) {
    EXPECT_EQ(ProgressPercent(0, 12345), 0);
    EXPECT_EQ(ProgressPercent(999999, 1000000), 99);
    EXPECT_EQ(ProgressPercent(994999, 1000000), 99);
    EXPECT_EQ(ProgressPercent(985000, 1000000), 99);
    EXPECT_EQ(ProgressPercent(984999, 1000000), 98);
    EXPECT_EQ(ProgressPercent(1000000, 1000000), 100);
    EXPECT_EQ(ProgressPercent(5, 1000), 1);
}

TEST_F(InstallPage, TheLogHoldsFarMoreThanAnEditControlsDefaultText) {
    const std::wstring line(200, L'x');
    for (int i = 0; i < 400; ++i) {
        page->AppendLog(line + L"\r\n");
    }
    EXPECT_GT(Log().size(), 80000u);
}

} // namespace
} // namespace vt::test
