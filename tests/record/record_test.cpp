// The installation record on real files, folders and registry keys.
#include "record/install_record.h"
#include "scratch_folder.h"
#include "support/product_constants.h"
#include "support/registry.h"
#include "support/unique_handle.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <cstring>
#include <locale>

namespace {

using vt::InstallRecord;
using vt::RecordEntryKind;
using vt::test::read_file;
using vt::test::write_file;

std::string utf16_file(const std::wstring& lines) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : lines) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

void remove_tree(const std::wstring& path) {
    boost::system::error_code ec;
    for (boost::filesystem::recursive_directory_iterator it(path, ec), end; !ec && it != end;
         it.increment(ec)) {
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    boost::filesystem::remove_all(path, ec);
}

// C:\Apps and C:\Menu of the Wine prefix, as in the worked example.
class WorkedExample : public ::testing::Test {
protected:
    void SetUp() override {
        remove_tree(L"C:\\Apps");
        remove_tree(L"C:\\Menu");
        ::CreateDirectoryW(L"C:\\Menu", nullptr);
    }
    void TearDown() override {
        remove_tree(L"C:\\Apps");
        remove_tree(L"C:\\Menu");
    }
};

TEST_F(WorkedExample, IsWrittenByteForByte) {
    InstallRecord record;
    record.AddFile(L"C:\\Apps\\Plankwise\\Uninstall.exe", 2, false);
    write_file(L"C:\\Apps\\Plankwise\\Uninstall.exe", "u");
    record.CommitLast(true);
    record.AddFile(L"C:\\Apps\\Plankwise\\Plankwise.exe", 1, false);
    record.CommitLast(true);
    record.AddShortcut(0, L"C:\\Menu\\Plankwise");
    record.CommitLast(true, L"C:\\Menu\\Plankwise\\Plankwise 6.07.lnk");
    record.AddUninstallKey(nullptr);
    record.CommitLast(true);
    record.AddRegistrationRun();
    record.CommitLast(true);
    const std::wstring file = L"C:\\Apps\\Plankwise\\Uninstall.ulog";
    ASSERT_TRUE(record.Write(file, L"C:\\Apps\\Plankwise", L"C:\\Menu\\Plankwise"));
    EXPECT_EQ(
        read_file(file),
        utf16_file(L"// Uninstall Log File v1\r\n"
                   L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
                   L"// Install Plankwise 6.07\r\n"
                   L"// Install Path : C:\\Apps\\Plankwise\r\n"
                   L"// Shortcut Path : C:\\Menu\\Plankwise\r\n"
                   L"// ---------------------------------\r\n"
                   L"0000:00ff:1 -- C:\\Apps\r\n"
                   L"0001:00ff:1 -- C:\\Apps\\Plankwise\r\n"
                   L"0002:0102:1 -- C:\\Apps\\Plankwise\\Uninstall.exe\r\n"
                   L"0003:0101:1 -- C:\\Apps\\Plankwise\\Plankwise.exe\r\n"
                   L"0004:00ff:1 -- C:\\Menu\\Plankwise\r\n"
                   L"0005:02ff:1 -- C:\\Menu\\Plankwise\\Plankwise 6.07.lnk\r\n"
                   L"0006:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                   L"CurrentVersion\\Uninstall\\Plankwise 6\r\n"
                   L"0007:06ff:1 -- HKEY_CLASSES_ROOT\\...\r\n"));
    // Wine keeps read-only and archive, not the not-content-indexed bit.
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & 0x21u, 0x21u);

    // Read back: the folders exist, the label and every entry come back.
    InstallRecord earlier;
    earlier.Load(file.c_str());
    EXPECT_EQ(earlier.previousInstallFolder, L"C:\\Apps\\Plankwise");
    EXPECT_EQ(earlier.previousShortcutFolder, L"C:\\Menu\\Plankwise");
    EXPECT_EQ(earlier.previousLabel, L"Plankwise 6.07");
    ASSERT_EQ(earlier.earlierEntries.size(), 8u);
    auto it = earlier.earlierEntries.begin();
    EXPECT_EQ(it->kind, RecordEntryKind::Folder);
    EXPECT_EQ(it->tag, -1);
    std::advance(it, 2);
    EXPECT_EQ(it->tag, 2);
    EXPECT_EQ(it->path, L"C:\\Apps\\Plankwise\\Uninstall.exe");
    std::advance(it, 4);
    EXPECT_EQ(it->kind, RecordEntryKind::UninstallKey);
    EXPECT_EQ(it->path, L"");
    EXPECT_TRUE(earlier.WasInstalledBefore(L"C:\\Apps\\Plankwise\\Plankwise.exe"));
    EXPECT_FALSE(earlier.WasInstalledBefore(L"C:\\apps\\plankwise\\plankwise.exe"));

    // A read-only earlier record is replaced, and read-only again.
    earlier.AddRuntimeUpdate();
    earlier.CommitLast(true, L"Mise \u00E0 jour de DirectX...");
    earlier.previousLabel = L"Plankwise 6.05";
    ASSERT_TRUE(earlier.Write(file, L"C:\\Apps\\Plankwise", L"C:\\Menu\\Plankwise"));
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & 0x21u, 0x21u);
    InstallRecord again;
    again.Load(file.c_str());
    EXPECT_EQ(again.previousLabel, L"Plankwise 6.07");
    ASSERT_EQ(again.earlierEntries.size(), 9u);
    EXPECT_EQ(again.earlierEntries.back().kind, RecordEntryKind::RuntimeUpdate);
    EXPECT_EQ(again.earlierEntries.back().path, L"Mise \u00E0 jour de DirectX...");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

class Record : public ::testing::Test {
protected:
    vt::test::ScratchFolder folder;
    std::wstring record_file() const { return folder / L"Uninstall.ulog"; }
    std::vector<std::wstring> entry_lines() const {
        const std::string bytes = read_file(record_file());
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        std::vector<std::wstring> lines;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(L"\r\n", from)) != std::wstring::npos; from = at + 2) {
            lines.push_back(text.substr(from, at - from));
        }
        return std::vector<std::wstring>(lines.begin() + std::min<std::size_t>(6, lines.size()),
                                         lines.end());
    }
};

TEST_F(Record, TheMergeDropsWhatThisRunRepeats) {
    InstallRecord record;
    const std::wstring a = folder / L"A.dll";
    record.earlierEntries.push_back({RecordEntryKind::File, folder / L"a.DLL", {}, true, 0, {}});
    record.earlierEntries.push_back(
        {RecordEntryKind::MenuShortcut, L"C:\\Old\\P.lnk", {}, true, -1, {}});
    record.earlierEntries.push_back({RecordEntryKind::RuntimeUpdate, L"DirectX", {}, true, -1, {}});
    record.earlierEntries.push_back({RecordEntryKind::File, folder / L"kept.dat", {}, true, 3, {}});
    record.earlierEntries.push_back(
        {RecordEntryKind::File, folder / L"kept.dat", {}, false, 3, {}});
    record.AddFile(a, 0, false);
    record.CommitLast(true);
    record.AddShortcut(0, folder.path());
    record.CommitLast(true, (folder / L"New.lnk").c_str());
    ASSERT_TRUE(record.Write(record_file(), folder.path(), folder.path()));
    const auto lines = entry_lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"0000:07ff:1 -- DirectX");
    EXPECT_EQ(lines[1], L"0001:0103:0 -- " + folder / L"kept.dat"); // the later of two equal
    EXPECT_EQ(lines[2], L"0002:0100:1 -- " + a);
    EXPECT_EQ(lines[3], L"0003:02ff:1 -- " + folder / L"New.lnk");
    EXPECT_TRUE(record.earlierEntries.empty());
}

TEST_F(Record, AnEmptyShortcutFolderAndAnUpdateHeader) {
    InstallRecord record;
    record.previousLabel = L"Plankwise 6.05";
    ASSERT_TRUE(record.Write(record_file(), L"C:\\P", L""));
    const std::string bytes = read_file(record_file());
    const std::string expected =
        utf16_file(L"// Uninstall Log File v1\r\n"
                   L"// ############ WARNING: Do not delete or modify "
                   L"this file. ############\r\n"
                   L"// Install Plankwise 6.07 -- Update (Plankwise 6.05)\r\n"
                   L"// Install Path : C:\\P\r\n"
                   L"// Shortcut Path : \r\n"
                   L"// ----------------\r\n");
    EXPECT_EQ(bytes, expected);
    ::SetFileAttributesW(record_file().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Record, EntryNumbersWidenPastFourDigits) {
    InstallRecord record;
    for (int i = 0; i < 10001; ++i) {
        record.AddRegistrationRun();
        record.CommitLast(true);
    }
    ASSERT_TRUE(record.Write(record_file(), L"", L""));
    const auto lines = entry_lines();
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[9999].substr(0, 5), L"9999:");
    EXPECT_EQ(lines[10000].substr(0, 6), L"10000:");
    ::SetFileAttributesW(record_file().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A global locale that groups digits ("1.000") must not reach the record's numbers.
struct GroupingPunctuation : std::numpunct<wchar_t> {
    GroupingPunctuation() : std::numpunct<wchar_t>(1) {}
    wchar_t do_thousands_sep() const override { return L'.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(Record, TheMergeKnowsAFileUnderItsShortName) {
    const std::wstring long_name = folder / L"A long file name.dll";
    write_file(long_name, "x");
    wchar_t short_name[MAX_PATH] = {};
    ::GetShortPathNameW(long_name.c_str(), short_name, MAX_PATH);
    ASSERT_NE(std::wstring(short_name), L"");
    ASSERT_NE(std::wstring(short_name), long_name);
    InstallRecord record;
    record.earlierEntries.push_back({RecordEntryKind::File, short_name, {}, true, 0, {}});
    record.earlierEntries.push_back({RecordEntryKind::File, folder / L"gone.dll", {}, true, 0, {}});
    record.AddFile(long_name, 0, false);
    write_file(long_name, "new");
    record.CommitLast(true);
    ASSERT_TRUE(record.Write(record_file(), L"", L""));
    const auto lines = entry_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].ends_with(L"gone.dll"));
    EXPECT_TRUE(lines[1].ends_with(L"A long file name.dll"));
    ::SetFileAttributesW(record_file().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Record, NumbersStayUngroupedUnderAGroupingGlobalLocale) {
    static GroupingPunctuation grouping;
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), &grouping));
    InstallRecord record;
    for (int i = 0; i < 1001; ++i) {
        record.AddRegistrationRun();
        record.CommitLast(true);
    }
    const bool written = record.Write(record_file(), L"", L"");
    InstallRecord read;
    read.Load(record_file().c_str());
    std::locale::global(previous);
    ASSERT_TRUE(written);
    const auto lines = entry_lines();
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines[1000].substr(0, 5), L"1000:");
    EXPECT_EQ(read.earlierEntries.size(), 1001u);
    ::SetFileAttributesW(record_file().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Record, AFileThatCannotBeBackedUpIsReportedAndRollbackKeepsTheOnlyCopy) {
    for (const bool copy : {false, true}) {
        const std::wstring path = folder / (copy ? L"kept.ini" : L"replaced.dll");
        write_file(path, "the user's own");
        InstallRecord record;
        {
            // Another holder without sharing: neither a move nor a copy gets through.
            vt::unique_file held(
                ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
            EXPECT_EQ(record.AddFile(path, copy ? 3 : 0, copy),
                      static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        }
        EXPECT_TRUE(record.currentEntries.back().backupPath.empty());
        record.CommitLast(false);
        record.Rollback();
        EXPECT_EQ(read_file(path), "the user's own") << (copy ? "copy" : "move");
    }
}

TEST_F(Record, AFolderWhereAFileShouldGoIsNeverMovedAway) {
    const std::wstring path = folder / L"Data";
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    write_file(path + L"\\inside.txt", "mine");
    InstallRecord record;
    EXPECT_EQ(record.AddFile(path, 0, false), 0u);
    EXPECT_TRUE(vt::test::folder_exists(path));
    record.CommitLast(false);
    record.Rollback();
    EXPECT_EQ(read_file(path + L"\\inside.txt"), "mine");
}

TEST_F(Record, ARecordThatCannotBeCreatedStillDropsEveryBackup) {
    write_file(folder / L"old.txt", "old");
    InstallRecord record;
    record.AddFile(folder / L"old.txt", 0, true);
    const std::wstring backup = record.currentEntries.back().backupPath;
    ASSERT_FALSE(backup.empty());
    EXPECT_TRUE(vt::test::file_exists(backup));
    EXPECT_FALSE(record.Write(folder / L"missing\\sub\\Uninstall.ulog", L"", L""));
    EXPECT_FALSE(vt::test::file_exists(backup));
}

TEST_F(Record, CommitLastClosesOnlyTheOpenEntryOnce) {
    InstallRecord record;
    record.CommitLast(true, L"nothing open");
    EXPECT_TRUE(record.currentEntries.empty());
    record.AddRegistrationRun();
    record.CommitLast(true, L"first");
    record.CommitLast(false, L"second");
    EXPECT_TRUE(record.currentEntries.back().succeeded);
    EXPECT_EQ(record.currentEntries.back().path, L"first");
    EXPECT_FALSE(record.entryOpen);
}

TEST_F(Record, AFolderChainRecordsOnlyTheFoldersItCreates) {
    InstallRecord record;
    record.AddFolderChain(folder.path());
    EXPECT_TRUE(record.currentEntries.empty());
    record.AddFolderChain(folder / L"A\\B");
    ASSERT_EQ(record.currentEntries.size(), 2u);
    EXPECT_EQ(record.currentEntries.front().path, folder / L"A");
    EXPECT_EQ(record.currentEntries.back().path, folder / L"A\\B");
    EXPECT_TRUE(vt::test::folder_exists(folder / L"A\\B"));
    // A path too long for the shell's buffers is not cut: nothing is created.
    InstallRecord long_path;
    long_path.AddFolderChain(folder / (std::wstring(300, L'x') + L"\\y"));
    EXPECT_TRUE(long_path.currentEntries.empty());
}

TEST_F(Record, RollbackPutsTheMachineBackAsItWas) {
    write_file(folder / L"replaced.dll", "old content");
    ::SetFileAttributesW((folder / L"replaced.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    InstallRecord record;
    record.AddFile(folder / L"replaced.dll", 0, false);
    EXPECT_FALSE(vt::test::file_exists(folder / L"replaced.dll")); // moved out of the way
    write_file(folder / L"replaced.dll", "new content");
    record.CommitLast(true);
    record.AddFile(folder / L"New\\Deeper\\new.dll", 0, false);
    write_file(folder / L"New\\Deeper\\new.dll", "x");
    record.CommitLast(true);
    record.AddFile(folder / L"Kept\\mine.dll", 0, false);
    record.CommitLast(true);
    write_file(folder / L"Kept\\someone-else.txt", "not ours");

    record.Rollback();
    EXPECT_TRUE(record.currentEntries.empty());
    EXPECT_EQ(read_file(folder / L"replaced.dll"), "old content");
    EXPECT_EQ(::GetFileAttributesW((folder / L"replaced.dll").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(vt::test::folder_exists(folder / L"New"));
    EXPECT_TRUE(vt::test::file_exists(folder / L"Kept\\someone-else.txt"));
}

TEST_F(Record, RollbackPutsAnEarlierShortcutBack) {
    write_file(folder / L"Plankwise 6.05.lnk", "shortcut");
    InstallRecord record;
    record.earlierEntries.push_back(
        {RecordEntryKind::MenuShortcut, folder / L"Plankwise 6.05.lnk", {}, true, -1, {}});
    record.AddShortcut(0, folder.path());
    EXPECT_FALSE(vt::test::file_exists(folder / L"Plankwise 6.05.lnk"));
    record.CommitLast(true, (folder / L"Plankwise 6.07.lnk").c_str());
    write_file(folder / L"Plankwise 6.07.lnk", "new");
    record.Rollback();
    EXPECT_EQ(read_file(folder / L"Plankwise 6.05.lnk"), "shortcut");
    EXPECT_FALSE(vt::test::file_exists(folder / L"Plankwise 6.07.lnk"));
}

// The uninstall key lives in HKLM: ctest runs these alone (resource lock).
class UninstallKey : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
        vt::details::SetKeyRestorer(nullptr);
    }
};

TEST_F(UninstallKey, ANewKeyIsDeletedWithItsSubtree) {
    InstallRecord record;
    record.AddUninstallKey(nullptr);
    {
        const auto key =
            vt::CreateKey(HKEY_LOCAL_MACHINE, std::wstring(vt::product::UninstallKey) + L"\\Sub");
    }
    record.CommitLast(true);
    record.Rollback();
    EXPECT_FALSE(vt::OpenKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey));
}

std::wstring restored_from;
void remember_restore(HKEY, const std::wstring& file) {
    restored_from = file;
    // What the restore would find: the saved key.
    EXPECT_TRUE(vt::test::file_exists(file));
}

// Wine's RegRestoreKeyW reports success without restoring: the restore of an
// existing key is checked through the restorer seam.
TEST_F(UninstallKey, AnExistingKeyIsSavedAndRestoredThroughSeam) {
    const auto existing = vt::CreateKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
    ::RegSetValueExW(existing.get(), L"DisplayName", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(L"Plankwise 6.05"), 30);
    InstallRecord record;
    record.AddUninstallKey(existing.get());
    const std::wstring backup = record.currentEntries.back().backupPath;
    ASSERT_FALSE(backup.empty()) << "RegSaveKeyW failed";
    EXPECT_TRUE(vt::test::file_exists(backup));
    record.CommitLast(true);
    vt::details::SetKeyRestorer(&remember_restore);
    record.Rollback();
    EXPECT_EQ(restored_from, backup);
    EXPECT_FALSE(vt::test::file_exists(backup));
    EXPECT_TRUE(vt::OpenKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey)); // not deleted
}

TEST(SamePaths, AreEqualPathsTheSameFileOrEqualIgnoringCase) {
    vt::test::ScratchFolder folder;
    EXPECT_TRUE(vt::SamePath(L"C:\\x\\a.dll", L"C:\\x\\a.dll"));
    EXPECT_TRUE(vt::SamePath(L"C:\\nowhere\\A.DLL", L"c:\\Nowhere\\.\\sub\\..\\a.dll"));
    EXPECT_FALSE(vt::SamePath(L"C:\\nowhere\\a.dll", L"C:\\nowhere\\b.dll"));
    write_file(folder / L"real.txt", "x");
    EXPECT_TRUE(vt::SamePath(folder / L"real.txt", folder / L"REAL.TXT"));
    EXPECT_FALSE(vt::SamePath(folder / L"real.txt", folder / L"other.txt")); // only one exists
}

} // namespace
