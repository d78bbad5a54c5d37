// What the installer finds decides the start page and how Exit behaves:
// the same version installed, an older one (an update), a newer one.
#include "wizard_fixture.h"

#include "installed_product.h"
#include "machine_snapshot.h"
#include "record/install_record.h"
#include "support/product_constants.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <filesystem>

namespace vt::test {
namespace {

void register_product(const std::wstring& program) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, product::MakerKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, product::ProgramPathValue, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(program.c_str()),
                     static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void write_text(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

class Situations : public WizardTest {
protected:
    // An earlier installation of the product stand-in with the version given, in
    // a folder of its own.
    void InstallStandIn(const std::wstring& standin) {
        extra_folders.push_back(earlier);
        ::SHCreateDirectoryExW(nullptr, earlier.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(BuildPath(L"tests\\" + standin).c_str(),
                                (earlier + L"\\Plankwise.exe").c_str(), FALSE));
        register_product(earlier + L"\\Plankwise.exe");
    }

    const std::wstring earlier = L"C:\\Earlier Plankwise";
};

TEST_F(Situations, SameVersionExitsFromTheStartPageWithoutAQuestionButAsksOnTheModePage) {
    InstallQuickly();
    Start();
    EXPECT_EQ(PageText(ids::Situation),
              L"'Plankwise 6.07' is already installed.\r\nDo you confirm Reinstallation ?");
    EXPECT_EQ(PageText(ids::Status),
              L"Click on 'Next' to continue or on 'Cancel' to exit Installation.");
    EXPECT_TRUE(ExitWithoutQuestion());

    Start();
    Next();
    EXPECT_FALSE(ExitWithoutQuestion());
    HWND question = WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(driver::MessageBoxText(question),
              L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?");
    Answer(question, IDNO);
    EXPECT_TRUE(process->Running());
    EXPECT_FALSE(ExitWithoutQuestion());
    Answer(WaitForMessageBox(), IDYES);
    EXPECT_NE(process->Wait(10000), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(Situations, AnUpdateKeepsTheEarlierFolderAndRecordAndLeavesSkippedFilesAlone) {
    InstallStandIn(L"standin_6_5_0_0.exe");
    // The earlier record names its folder and one file of its own.
    const std::wstring notes = earlier + L"\\Notes.txt";
    write_text(notes, "earlier notes");
    {
        InstallRecord record;
        record.AddFile(notes, 0, false);
        record.CommitLast(true);
        ASSERT_TRUE(record.Write(earlier + L"\\Uninstall.ulog", earlier, DefaultShortcutFolder()));
    }
    // A sample the user changed: samples are not replaced by an update.
    const std::wstring samples =
        SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Plankwise Examples";
    ::SHCreateDirectoryExW(nullptr, samples.c_str(), nullptr);
    write_text(samples + L"\\Sample1.pwproj", "my own changes");

    Start();
    EXPECT_EQ(PageText(ids::Situation), L"Update from 'Plankwise 6.05' to 'Plankwise 6.07'.");
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Next' to continue.");
    Next();
    driver::SetCheck(Page(), ids::Advanced, true);
    Next();
    EXPECT_EQ(PageText(ids::Folder), earlier);
    EXPECT_NE(::GetWindowLongPtrW(::GetDlgItem(Page(), ids::Folder), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_FALSE(driver::Enabled(Page(), ids::Browse));
    Next();
    Next();
    ASSERT_TRUE(Install());
    Next();
    EXPECT_TRUE(ExitWithoutQuestion());

    EXPECT_EQ(ReadWholeFile(samples + L"\\Sample1.pwproj"), "my own changes");
    EXPECT_EQ(ReadWholeFile(earlier + L"\\Plankwise.exe"),
              ReadWholeFile(BuildPath(L"sample\\Plankwise.exe")));
    // The new record still knows the earlier installation's file.
    const std::string record = ReadWholeFile(earlier + L"\\Uninstall.ulog");
    const std::wstring text(reinterpret_cast<const wchar_t*>(record.data()),
                            record.size() / sizeof(wchar_t));
    EXPECT_NE(text.find(notes), std::wstring::npos);
    EXPECT_NE(text.find(earlier + L"\\Plankwise.exe"), std::wstring::npos);
}

TEST_F(Situations, ANewerVersionAllowsNothingButExit) {
    InstallStandIn(L"standin_7_0_0_0.exe");
    Start();
    EXPECT_EQ(PageText(ids::Situation),
              L"'Plankwise 6.07' Installation.\r\nA more recent Version (Plankwise 7.00) is "
              L"already installed.");
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Cancel' to exit Installation.");
    EXPECT_FALSE(ButtonEnabled(ids::Next));
    EXPECT_TRUE(ExitWithoutQuestion());
}

// Another process of the product keeps the installer asking until it has ended.
TEST_F(Situations, TheRunningProductIsAskedForUntilItIsClosed) {
    const std::wstring event_name =
        L"PlankwiseWizardTests-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE running = ::CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
    ASSERT_NE(running, nullptr);
    auto product_process = std::make_unique<driver::InstallerProcess>(
        BuildPath(L"tests\\instance_helper.exe"), std::vector<std::wstring>{},
        L"register " + std::wstring(product::ApplicationIdDefault) + L" " + event_name);
    ASSERT_EQ(::WaitForSingleObject(running, 10000), WAIT_OBJECT_0);

    // Cancel ends the installer with no other message.
    {
        driver::InstallerProcess installer(InstallerPath());
        HWND question = driver::WaitForDialog(installer.Id());
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(driver::MessageBoxText(question),
                  L"You should close 'Plankwise' before continuing Installation.");
        driver::Press(question, IDCANCEL);
        EXPECT_NE(installer.Wait(10000), static_cast<DWORD>(STILL_ACTIVE));
    }

    // Retry asks again while the product runs, and goes on once it has ended.
    process = std::make_unique<driver::InstallerProcess>(InstallerPath());
    HWND question = driver::WaitForDialog(process->Id());
    ASSERT_NE(question, nullptr);
    driver::Press(question, IDRETRY);
    ASSERT_TRUE(driver::WaitUntil([&] { return !::IsWindow(question); }));
    question = driver::WaitForDialog(process->Id());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(::GetDlgItem(question, 1005), nullptr) << "the wizard came while the product ran";
    ::ResetEvent(running);
    EXPECT_EQ(product_process->Wait(10000), 0u);
    ::CloseHandle(running);
    driver::Press(question, IDRETRY);
    wizard = driver::WaitForDialog(process->Id(), 1005);
    EXPECT_NE(wizard, nullptr);
}

TEST_F(Situations, ASecondInstallerEndsAtOnceWhileTheFirstShowsItsWizard) {
    Start();
    driver::InstallerProcess second(InstallerPath());
    HWND refusal = driver::WaitForDialog(second.Id());
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(driver::Text(refusal), L"Install 2.03");
    wchar_t busy[256] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     ERROR_BUSY, 0, busy, 256, nullptr);
    std::wstring expected = busy;
    while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r')) {
        expected.pop_back();
    }
    EXPECT_NE(driver::MessageBoxText(refusal).find(expected), std::wstring::npos)
        << driver::MessageBoxText(refusal);
    driver::Press(refusal, IDOK);
    EXPECT_NE(second.Wait(10000), static_cast<DWORD>(STILL_ACTIVE));
    // The first goes on.
    EXPECT_TRUE(process->Running());
    Next();
    EXPECT_NE(::GetDlgItem(Page(), ids::Quick), nullptr);
}

} // namespace
} // namespace vt::test

namespace vt::test {
namespace {

// Esc, the close box and Alt+F4 while the installation runs: the wizard neither
// asks nor closes, and the run ends normally.
TEST_F(Situations, NothingClosesTheWizardWhileTheInstallationRuns) {
    Start();
    Next();
    Next();
    driver::Press(wizard, ids::Next);
    ASSERT_TRUE(driver::WaitUntil([&] { return !ButtonEnabled(ids::Exit); }, 10000));
    ::PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); // Esc
    ::PostMessageW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);             // close box, Alt+F4
    ASSERT_TRUE(
        driver::WaitUntil([&] { return ButtonEnabled(ids::Exit); }, 120000, process->Handle()));
    EXPECT_EQ(WaitForMessageBox(500), nullptr) << "a question came up";
    EXPECT_TRUE(process->Running());
    EXPECT_EQ(ButtonText(ids::Next), L"Next  >") << "the installation did not complete";
    EXPECT_TRUE(ExitWithoutQuestion());
}

// The installer killed while it extracts: nothing appears outside the install
// folder, the shared folders and the temporary folder. What stays is what the
// run had placed by then (files in the install folder and in the shared-data
// and samples folders), the temporary work folder, and the backups of replaced
// files in the temporary folder; no shortcut, no registration, no record.
TEST_F(Situations, KilledDuringTheExtractionChangesNothingElse) {
    const MachineSnapshot before = MachineSnapshot()
                                       .Folder(SpecialFolder(CSIDL_COMMON_PROGRAMS))
                                       .Key(HKEY_LOCAL_MACHINE, product::UninstallKey)
                                       .Key(HKEY_LOCAL_MACHINE, product::MakerKey)
                                       .Key(HKEY_CLASSES_ROOT, L".pwproj")
                                       .Key(HKEY_CLASSES_ROOT, L"Vantorel.Plankwise.Project")
                                       .Take();
    Start();
    Next();
    Next();
    driver::Press(wizard, ids::Next);
    ASSERT_TRUE(
        driver::WaitUntil([&] { return PageText(ids::Status).starts_with(L"Copying File"); }, 60000,
                          process->Handle()))
        << PageText(ids::Status);
    ::TerminateProcess(process->Handle(), 1);
    process->Wait(10000);
    EXPECT_TRUE(::PathFileExistsW(DefaultInstallFolder().c_str())) << "nothing was placed yet";
    EXPECT_EQ(before.Take().DifferencesFrom(before), L"");
    EXPECT_FALSE(::PathFileExistsW((DefaultInstallFolder() + L"\\Uninstall.ulog").c_str()));
    EXPECT_FALSE(::PathFileExistsW(
        (SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Plankwise 6.07.lnk").c_str()));
}

} // namespace
} // namespace vt::test
