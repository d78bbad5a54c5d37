// An advanced installation: a typed folder, the start-menu shortcut left out,
// the folder picker opened and cancelled, a folder text that is too long.
#include "wizard_fixture.h"

#include "installed_product.h"

#include <shlobj.h>

namespace vt::test {
namespace {

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using AdvancedInstallation = WizardTest;

TEST_F(AdvancedInstallation, TypedFolderWithOnlyTheDesktopShortcut) {
    const std::wstring typed = L"C:\\Plank Test\\Plankwise 6";
    extra_folders.push_back(L"C:\\Plank Test");
    Start();
    Next();
    driver::SetCheck(Page(), ids::Advanced, true);
    Next();
    ASSERT_NE(::GetDlgItem(Page(), ids::FolderPrompt), nullptr) << "not the folder page";
    EXPECT_EQ(PageText(ids::Folder), DefaultInstallFolder());
    EXPECT_EQ(PageText(ids::FolderPrompt), L"Select 'Plankwise' Installation Folder.");
    EXPECT_TRUE(driver::Enabled(Page(), ids::Browse));

    // The folder picker opened and cancelled changes nothing.
    driver::Press(Page(), ids::Browse);
    HWND picker = WaitForMessageBox();
    ASSERT_NE(picker, nullptr) << "the folder picker did not open";
    EXPECT_EQ(driver::Text(picker), L"Browse for Folder");
    Answer(picker, IDCANCEL);
    EXPECT_EQ(PageText(ids::Folder), DefaultInstallFolder());

    // A folder of more than 260 characters keeps the wizard on the page.
    const HWND folder_page = Page();
    driver::Type(folder_page, ids::Folder, L"C:\\" + std::wstring(258, L'x'));
    driver::Press(wizard, ids::Next);
    HWND refusal = WaitForMessageBox();
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(driver::MessageBoxText(refusal), L"Enter no more than 260 characters.");
    Answer(refusal, IDOK);
    EXPECT_EQ(Page(), folder_page);

    // A typed folder with a space, the start-menu option off.
    driver::Type(folder_page, ids::Folder, typed);
    Next();
    ASSERT_NE(::GetDlgItem(Page(), ids::MenuOption), nullptr) << "not the shortcut page";
    EXPECT_EQ(PageText(ids::Folder), L"Programs\\Vantorel\\Plankwise 6");
    EXPECT_TRUE(driver::Checked(Page(), ids::MenuOption));
    EXPECT_TRUE(driver::Checked(Page(), ids::DesktopOption));
    driver::SetCheck(Page(), ids::MenuOption, false);
    EXPECT_TRUE(driver::WaitUntil([&] { return !driver::Enabled(Page(), ids::Folder); }));
    EXPECT_FALSE(driver::Enabled(Page(), ids::Browse));
    EXPECT_EQ(PageText(ids::Folder), L"Programs\\Vantorel\\Plankwise 6");
    Next();
    const std::wstring summary = PageText(ids::Log);
    EXPECT_NE(summary.find(L"Installation Folder: \"" + typed + L"\"."), std::wstring::npos)
        << summary;
    EXPECT_EQ(summary.find(L"Start Menu"), std::wstring::npos) << summary;
    // Back in advanced mode leads to the shortcut page.
    Back();
    EXPECT_NE(::GetDlgItem(Page(), ids::MenuOption), nullptr);
    Next();
    ASSERT_TRUE(Install());
    Next();
    EXPECT_TRUE(ExitWithoutQuestion());

    EXPECT_TRUE(exists(typed + L"\\Plankwise.exe"));
    EXPECT_TRUE(exists(typed + L"\\Uninstall.ulog"));
    EXPECT_FALSE(exists(DefaultInstallFolder()));
    EXPECT_TRUE(exists(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Plankwise 6.07.lnk"));
    EXPECT_FALSE(exists(DefaultShortcutFolder() + L"\\Plankwise 6.07.lnk"));
}

// The picker opens on the folder of the page with the product folder in its edit
// box. (Wine's browse dialog returns its tree's selection and never hands typed
// text back for validation; that part is tested through the picker's callback in
// the folder picker's own tests.)
TEST_F(AdvancedInstallation, FolderPickerOpensOnThePageFolder) {
    Start();
    Next();
    driver::SetCheck(Page(), ids::Advanced, true);
    Next();
    driver::Press(Page(), ids::Browse);
    HWND picker = WaitForMessageBox();
    ASSERT_NE(picker, nullptr);
    HWND edit = ::FindWindowExW(picker, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr) << "the picker has no edit box";
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::Text(edit) == DefaultInstallFolder(); }))
        << driver::Text(edit);
    Answer(picker, IDCANCEL);
    EXPECT_EQ(PageText(ids::Folder), DefaultInstallFolder());
}

} // namespace
} // namespace vt::test
