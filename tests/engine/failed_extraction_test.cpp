// A failed extraction leaves the machine exactly as it was: on a new
// installation and on an update over an earlier one whose files it replaced.
#include "install_page_fixture.h"
#include "machine_snapshot.h"
#include "process.h"
#include "small_product.h"

#include "support/product_constants.h"

namespace vt::test {
namespace {

class FailedExtraction : public InstallPageTest {
protected:
    [[nodiscard]] MachineSnapshot Machine() const {
        return MachineSnapshot()
            .Folder(scratch.path())
            .Folder(CommonDataFolder() + L"\\Vantorel")
            .Folder(SamplesFolder())
            .Folder(DesktopFolder())
            .Key(HKEY_LOCAL_MACHINE, product::UninstallKey)
            .Key(HKEY_LOCAL_MACHINE, product::MakerKey)
            .Take();
    }

    // The transcript's last line and the status line after a failed run.
    void ExpectFailure(const std::wstring& last_line_start, const std::wstring& code) {
        const std::wstring log = Log();
        ASSERT_GE(log.size(), 8u);
        EXPECT_EQ(log.substr(log.size() - 8), L"Failed\r\n") << log;
        const auto line_start = log.rfind(L"\r\n", log.size() - 3) + 2;
        EXPECT_EQ(log.substr(line_start, last_line_start.size()), last_line_start) << log;
        EXPECT_EQ(Status(), L"Installation failed (Error Code " + code + L").");
    }
};

std::string damaged(std::string archive, std::size_t at) {
    archive[at] = static_cast<char>(archive[at] ^ 0x55);
    return archive;
}

TEST_F(FailedExtraction, ADamagedPayloadFailsItsVerificationAndTouchesNothing) {
    const MachineSnapshot before = Machine();
    const std::string archive = SmallProduct().compressed();
    UsePayload(damaged(archive, archive.size() / 2));
    EXPECT_FALSE(page->RunInstallation());
    ExpectFailure(L"Preparing Installation...", L"4");
    EXPECT_EQ(Machine().DifferencesFrom(before), L"");
    EXPECT_TRUE(session.installRecord.currentEntries.empty());
}

TEST_F(FailedExtraction, ACrcMismatchRollsBackTheFilesAlreadyPlaced) {
    const MachineSnapshot before = Machine();
    ArchiveBuilder archive = SmallProduct();
    archive.add({L"Last.dat", L"<InstallPath>\\Data", 0, pattern(5000, 9), 0x12345678u});
    UsePayload(archive.compressed());
    EXPECT_FALSE(page->RunInstallation());
    ExpectFailure(L"Copying File  \"" + session.installFolder + L"\\Data\\Last.dat\"...", L"3");
    EXPECT_EQ(Machine().DifferencesFrom(before), L"");
    EXPECT_FALSE(folder_exists(session.workFolder));
}

TEST_F(FailedExtraction, AnUpdateThatFailsBringsBackTheEarlierInstallation) {
    UsePayload(SmallProduct("first").compressed());
    ASSERT_TRUE(page->RunInstallation());
    const MachineSnapshot installed = Machine();

    // The next installer: the earlier record loaded, files replaced, then a failure.
    InstallRecord earlier;
    earlier.Load((session.installFolder + L"\\Uninstall.ulog").c_str());
    session.installRecord = earlier;
    session.existingInstall = ExistingInstall::SameVersion;
    ArchiveBuilder update = SmallProduct("second, longer");
    update.add({L"Last.dat", L"<InstallPath>\\Data", 0, pattern(5000, 9), 0x12345678u});
    UsePayload(update.compressed());
    EXPECT_FALSE(page->RunInstallation());
    ExpectFailure(L"Copying File  \"" + session.installFolder + L"\\Data\\Last.dat\"...", L"3");
    EXPECT_EQ(Machine().DifferencesFrom(installed), L"");
}

TEST_F(FailedExtraction, ATargetHeldOpenByAnotherProcessFailsWithItsSystemError) {
    UsePayload(SmallProduct("first").compressed());
    ASSERT_TRUE(page->RunInstallation());
    // The next installer's session.
    session.installRecord = InstallRecord();
    session.installRecord.Load((session.installFolder + L"\\Uninstall.ulog").c_str());
    session.existingInstall = ExistingInstall::SameVersion;
    const MachineSnapshot installed = Machine();

    const std::wstring held = session.installFolder + L"\\Data\\Tables.dat";
    const std::wstring event_name = L"EngineTests-held-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
    {
        RunningProcess holder(own_folder() + L"\\hold_file.exe", {held, L"60000", event_name});
        ASSERT_EQ(::WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
        UsePayload(SmallProduct("second").compressed());
        EXPECT_FALSE(page->RunInstallation());
        ExpectFailure(L"Copying File  \"" + held + L"\"...", L"1:00000020");
    }
    ::CloseHandle(ready);
    EXPECT_EQ(Machine().DifferencesFrom(installed), L"");
}

TEST_F(FailedExtraction, ASecondPressStartsBelowTheFirstTranscriptAndSucceeds) {
    const std::string archive = SmallProduct().compressed();
    UsePayload(damaged(archive, archive.size() / 2));
    EXPECT_FALSE(page->RunInstallation());
    const std::wstring first = Log();
    UsePayload(archive);
    EXPECT_TRUE(page->RunInstallation());
    const std::wstring log = Log();
    ASSERT_EQ(log.substr(0, first.size()), first);
    const std::wstring second = log.substr(first.size());
    EXPECT_EQ(second.find_first_not_of(L'-'), second.find(L"\r\n"));
    EXPECT_NE(second.find(L"\r\nPreparing Installation...OK\r\n"), std::wstring::npos) << second;
    EXPECT_EQ(Status(), L"Click on 'Next' to continue.");
}

} // namespace
} // namespace vt::test
