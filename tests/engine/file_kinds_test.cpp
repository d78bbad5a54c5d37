// The per-kind rules of the payload files across a new installation, a
// reinstallation of the same version and an update from an older one.
#include "install_page_fixture.h"
#include "small_product.h"

#include <shlobj.h>

namespace vt::test {
namespace {

class FileKinds : public InstallPageTest {
protected:
    void SetUp() override {
        InstallPageTest::SetUp();
        shared = CommonDataFolder() + L"\\Vantorel\\Plankwise 6\\Shared.pwlib";
        ArchiveBuilder archive = SmallProduct();
        archive.add(
            {L"Shared.pwlib", L"<CommonData>\\Vantorel\\Plankwise 6", 3, "from the payload", {}});
        archive.add({L"Textures.bmp", L"<InstallPath>\\Textures", 4, "new textures", {}});
        archive.add({L"Helper.cab", L"<Temporary>", 5, "temporary", {}});
        UsePayload(archive.compressed());
    }

    [[nodiscard]] const RecordEntry* Entry(const std::wstring& path) const {
        for (const RecordEntry& entry : session.installRecord.currentEntries) {
            if (entry.path == path) {
                return &entry;
            }
        }
        return nullptr;
    }

    std::wstring shared;
};

TEST_F(FileKinds, ANewInstallationWritesEveryKindAndRecordsAllButTemporaryFiles) {
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(read_file(shared), "from the payload");
    EXPECT_EQ(read_file(session.installFolder + L"\\Textures\\Textures.bmp"), "new textures");
    ASSERT_NE(Entry(shared), nullptr);
    EXPECT_EQ(Entry(shared)->backupPath, L"");
    EXPECT_NE(Log().find(L"Helper.cab...OK"), std::wstring::npos);
    EXPECT_FALSE(folder_exists(session.workFolder));
    for (const RecordEntry& entry : session.installRecord.currentEntries) {
        EXPECT_EQ(entry.path.find(L"Helper.cab"), std::wstring::npos);
    }
}

TEST_F(FileKinds, AKeptFileThatExistsIsNotOverwrittenButRecordedWithACopiedBackup) {
    ::SHCreateDirectoryExW(nullptr, (CommonDataFolder() + L"\\Vantorel\\Plankwise 6").c_str(),
                           nullptr);
    write_file(shared, "the user's own");
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(read_file(shared), "the user's own");
    EXPECT_EQ(Log().find(L"Shared.pwlib"), std::wstring::npos); // no line for a skipped file
    const RecordEntry* entry = Entry(shared);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->succeeded);
    EXPECT_EQ(entry->tag, 3);
    // Its backup was a copy; the record file's writing discards backups.
}

TEST_F(FileKinds, AKeptFileOfTheEarlierInstallationIsSkippedEvenWhenDeletedSince) {
    RecordEntry earlier;
    earlier.kind = RecordEntryKind::File;
    earlier.path = shared;
    earlier.succeeded = true;
    earlier.tag = 3;
    session.installRecord.earlierEntries.push_back(earlier);
    session.existingInstall = ExistingInstall::OlderVersion;
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_FALSE(file_exists(shared));
    EXPECT_EQ(Log().find(L"Shared.pwlib"), std::wstring::npos) << Log();
}

TEST_F(FileKinds, AnUpdateLeavesTheFilesThatSkipUpdatesAlone) {
    ::SHCreateDirectoryExW(nullptr, (session.installFolder + L"\\Textures").c_str(), nullptr);
    write_file(session.installFolder + L"\\Textures\\Textures.bmp", "edited by the user");
    session.existingInstall = ExistingInstall::OlderVersion;
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(read_file(session.installFolder + L"\\Textures\\Textures.bmp"), "edited by the user");
    EXPECT_EQ(Entry(session.installFolder + L"\\Textures\\Textures.bmp"), nullptr);
    EXPECT_EQ(Log().find(L"Textures.bmp"), std::wstring::npos);
}

TEST_F(FileKinds, AReinstallationWritesTheFilesThatSkipUpdates) {
    ::SHCreateDirectoryExW(nullptr, (session.installFolder + L"\\Textures").c_str(), nullptr);
    write_file(session.installFolder + L"\\Textures\\Textures.bmp", "edited by the user");
    session.existingInstall = ExistingInstall::SameVersion;
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(read_file(session.installFolder + L"\\Textures\\Textures.bmp"), "new textures");
    ASSERT_NE(Entry(session.installFolder + L"\\Textures\\Textures.bmp"), nullptr);
}

} // namespace
} // namespace vt::test
