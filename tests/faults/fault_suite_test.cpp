// Faults during the installation run, real ones: damaged and truncated payloads,
// files held by another process, a folder where a file should go, a read-only
// drive, a full drive for the installation and one for the temporary folder. Each
// runs on a new installation and on an update over an earlier one, and each must
// leave the machine exactly as it was, with "Failed" and the failure's code.
#include "install_page_fixture.h"
#include "machine_snapshot.h"
#include "process.h"
#include "small_product.h"

#include "support/product_constants.h"
#include "support/unique_handle.h"

#include <shlobj.h>

namespace vt::test {
namespace {

enum class Situation { NewInstallation, Update };

std::string incompressible(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 0x9E3779B9u;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

class FaultSuite : public InstallPageTest, public ::testing::WithParamInterface<Situation> {
protected:
    void TearDown() override {
        if (!previous_temp_.empty()) {
            ::SetEnvironmentVariableW(L"TMP", previous_temp_.c_str());
        }
        InstallPageTest::TearDown();
        for (const std::wstring& folder : extra_folders_) {
            RemoveTree(folder);
        }
    }

    [[nodiscard]] bool Update() const { return GetParam() == Situation::Update; }

    // The earlier installation of an update: the product installed into the
    // folder, then the next run set up as the next installer would set it up.
    void InstallEarlier(const std::wstring& folder) {
        session.installFolder = folder;
        UsePayload(SmallProduct("earlier").compressed());
        ASSERT_TRUE(page->RunInstallation()) << Log();
        InstallRecord earlier;
        earlier.Load((folder + L"\\Uninstall.ulog").c_str());
        ASSERT_FALSE(earlier.earlierEntries.empty());
        session.installRecord = earlier;
        session.existingInstall = ExistingInstall::SameVersion;
        session.installCompleted = false;
    }

    // For a new installation, the folder; for an update, the earlier one in it.
    void Prepare(const std::wstring& folder) {
        if (Update()) {
            InstallEarlier(folder);
        } else {
            session.installFolder = folder;
        }
    }

    void UseTemporaryFolder(const std::wstring& folder) {
        wchar_t previous[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"TMP", previous, MAX_PATH);
        previous_temp_ = previous;
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
    }

    [[nodiscard]] MachineSnapshot Machine() const {
        return MachineSnapshot()
            .Folder(session.installFolder)
            .Folder(scratch.path())
            .Folder(CommonDataFolder() + L"\\Vantorel")
            .Folder(SamplesFolder())
            .Folder(DesktopFolder())
            .Folder(SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Vantorel")
            .Key(HKEY_LOCAL_MACHINE, product::UninstallKey)
            .Key(HKEY_LOCAL_MACHINE, product::MakerKey)
            .Key(HKEY_CLASSES_ROOT, L".pwproj")
            .Key(HKEY_CLASSES_ROOT, L"Vantorel.Plankwise.Project")
            .Take();
    }

    // Runs the installation that must fail and checks what it left.
    void ExpectFailureLeavesNothing(const std::string& archive, const std::wstring& code) {
        const MachineSnapshot before = Machine();
        UsePayload(archive);
        EXPECT_FALSE(page->RunInstallation());
        const std::wstring log = Log();
        ASSERT_GE(log.size(), 8u);
        EXPECT_EQ(log.substr(log.size() - 8), L"Failed\r\n") << log;
        EXPECT_EQ(Status(), L"Installation failed (Error Code " + code + L").") << log;
        EXPECT_EQ(Machine().DifferencesFrom(before), L"");
        EXPECT_FALSE(folder_exists(session.workFolder)) << session.workFolder;
    }

    std::vector<std::wstring> extra_folders_;

private:
    std::wstring previous_temp_;
};

std::string flipped(std::string archive, std::size_t at) {
    archive[at] = static_cast<char>(archive[at] ^ 0x20);
    return archive;
}

TEST_P(FaultSuite, DamagedDataAtTheStartTheMiddleAndTheEnd) {
    Prepare(scratch / L"Plankwise 6");
    const std::string archive = SmallProduct("damaged").compressed();
    for (const std::size_t at : {std::size_t{12}, archive.size() / 2, archive.size() - 6}) {
        SCOPED_TRACE("byte " + std::to_string(at));
        ExpectFailureLeavesNothing(flipped(archive, at), L"4");
    }
}

TEST_P(FaultSuite, ATruncatedPayload) {
    Prepare(scratch / L"Plankwise 6");
    const std::string archive = SmallProduct("truncated").compressed();
    ExpectFailureLeavesNothing(archive.substr(0, archive.size() * 2 / 3), L"4");
}

TEST_P(FaultSuite, ACrcMismatch) {
    Prepare(scratch / L"Plankwise 6");
    ArchiveBuilder archive = SmallProduct("forged");
    archive.add({L"Last.dat", L"<InstallPath>\\Data", 0, pattern(5000, 9), 0x12345678u});
    ExpectFailureLeavesNothing(archive.compressed(), L"3");
}

// Another process holds a file that is to be replaced, without sharing: it
// cannot be backed up, so it is not written, and the run fails with the reason.
TEST_P(FaultSuite, ATargetHeldOpenByAnotherProcessIsNeitherBackedUpNorWritten) {
    Prepare(scratch / L"Plankwise 6");
    const std::wstring held = session.installFolder + L"\\Data\\Tables.dat";
    if (!Update()) {
        ::SHCreateDirectoryExW(nullptr, (session.installFolder + L"\\Data").c_str(), nullptr);
        write_file(held, "the user's own tables");
    }
    const std::wstring event = L"vt-fault-hold-" + std::to_wstring(::GetCurrentProcessId());
    const unique_kernel ready(::CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
    RunningProcess holder(own_folder() + L"\\hold_file.exe", {held, L"120000", event});
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 20000), WAIT_OBJECT_0);
    ExpectFailureLeavesNothing(SmallProduct("replacing").compressed(), L"1:00000020");
}

TEST_P(FaultSuite, AFolderWhereAFileShouldGo) {
    Prepare(scratch / L"Plankwise 6");
    const std::wstring folder = session.installFolder + L"\\Readme.txt";
    if (Update()) {
        ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(::DeleteFileW(folder.c_str()));
    }
    ASSERT_EQ(::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    write_file(folder + L"\\inside.txt", "the user's own");
    ExpectFailureLeavesNothing(SmallProduct("folder").compressed(), L"1:00000005");
}

// R: is a read-only drive: an empty folder for a new installation, an earlier
// installation's folder for an update.
TEST_P(FaultSuite, AReadOnlyTargetFolder) {
    if (Update()) {
        session.installFolder = L"R:\\Plankwise 6";
        session.existingInstall = ExistingInstall::SameVersion;
        session.installRecord.earlierEntries.push_back(
            {RecordEntryKind::File, L"R:\\Plankwise 6\\Readme.txt", {}, true, 0, {}});
    } else {
        session.installFolder = L"R:\\Locked";
    }
    ExpectFailureLeavesNothing(SmallProduct("read-only").compressed(), L"1:00000005");
}

// S: has 8 MiB: the product fits, its next version with a large file does not.
TEST_P(FaultSuite, TheInstallationDriveRunsFull) {
    Prepare(L"S:\\Plankwise 6");
    extra_folders_.push_back(L"S:\\Plankwise 6");
    ArchiveBuilder archive = SmallProduct("full");
    archive.add(L"Large.dat", incompressible(6u << 20), L"<InstallPath>\\Data");
    ExpectFailureLeavesNothing(archive.compressed(), L"1:00000070");
}

// T: is full: the temporary files of a new installation, and the backups of an
// update's replaced files, have no room there.
TEST_P(FaultSuite, TheTemporaryFolderIsOnAFullDrive) {
    Prepare(scratch / L"Plankwise 6");
    UseTemporaryFolder(L"T:\\");
    ArchiveBuilder archive = SmallProduct("no room for backups");
    archive.add(L"setup.tmp", incompressible(64u << 10), L"<Temporary>");
    ExpectFailureLeavesNothing(archive.compressed(), L"1:00000070");
}

INSTANTIATE_TEST_SUITE_P(, FaultSuite,
                         ::testing::Values(Situation::NewInstallation, Situation::Update),
                         [](const ::testing::TestParamInfo<Situation>& info) {
                             return info.param == Situation::Update ? "Update" : "NewInstallation";
                         });

} // namespace
} // namespace vt::test
