// Reading earlier records: every odd case, and thousands of damaged records.
#include "record/install_record.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using vt::InstallRecord;
using vt::RecordEntryKind;

std::string utf16(const std::wstring& text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

const std::wstring header =
    L"// Uninstall Log File v1\r\n"
    L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
    L"// Install Plankwise 6.05 -- Update (Plankwise 6.03)\r\n"
    L"// Install Path : C:\\Windows\r\n"
    L"// Shortcut Path : C:\\NoSuchMenu\r\n"
    L"// --------------------------\r\n";

class Reader : public ::testing::Test {
protected:
    InstallRecord load(const std::string& bytes) {
        vt::test::write_file(file(), bytes);
        InstallRecord record;
        record.Load(file().c_str());
        return record;
    }
    std::wstring file() const { return folder / L"Uninstall.ulog"; }
    vt::test::ScratchFolder folder;
};

TEST_F(Reader, ReadsTheHeaderAndTheEntries) {
    const auto record = load(utf16(header + L"0000:00ff:1 -- C:\\Apps\r\n"
                                            L"0001 : 0101 : 1 -- C:\\x\r\n"
                                            L"0002:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\r\n"
                                            L"0007:07ff:1 --\r\n"));
    EXPECT_EQ(record.previousLabel, L"Plankwise 6.05");
    EXPECT_EQ(record.previousInstallFolder, L"C:\\Windows");
    EXPECT_EQ(record.previousShortcutFolder, L""); // no such folder
    ASSERT_EQ(record.earlierEntries.size(), 4u);
    auto it = record.earlierEntries.begin();
    EXPECT_EQ(it->kind, RecordEntryKind::Folder);
    ++it;
    EXPECT_EQ(it->kind, RecordEntryKind::File);
    EXPECT_EQ(it->tag, 1);
    EXPECT_EQ(it->path, L"C:\\x");
    ++it;
    EXPECT_EQ(it->kind, RecordEntryKind::UninstallKey);
    EXPECT_EQ(it->path, L"");
    ++it;
    EXPECT_EQ(it->kind, RecordEntryKind::RuntimeUpdate);
    EXPECT_EQ(it->tag, -1);
    EXPECT_EQ(it->path, L"");
}

TEST_F(Reader, AVersion2RecordIsNotRead) {
    std::wstring v2 = header;
    v2.replace(v2.find(L"v1"), 2, L"v2");
    const auto record = load(utf16(v2 + L"0000:00ff:1 -- C:\\Apps\r\n"));
    EXPECT_TRUE(record.previousLabel.empty());
    EXPECT_TRUE(record.earlierEntries.empty());
}

TEST_F(Reader, StopsAtABlankLineOrAnUnknownKind) {
    EXPECT_EQ(
        load(utf16(header + L"0000:00ff:1 -- A\r\n\r\n0001:00ff:1 -- B\r\n")).earlierEntries.size(),
        1u);
    EXPECT_EQ(load(utf16(header + L"0000:00ff:1 -- A\r\n0001:0800:1 -- B\r\n0002:00ff:1 -- C\r\n"))
                  .earlierEntries.size(),
              1u);
}

TEST_F(Reader, SkipsCommentLinesAmongTheEntries) {
    EXPECT_EQ(load(utf16(header + L"0000:00ff:1 -- A\r\n// note\r\n0001:00ff:1 -- B\r\n"))
                  .earlierEntries.size(),
              2u);
}

TEST_F(Reader, ReadsAnAnsiRecord) {
    std::string ansi = "// Uninstall Log File v1\r\n// w\r\n// Install Plankwise 6.05\r\n"
                       "// Install Path : C:\\Windows\r\n// Shortcut Path : \r\n// ---\r\n"
                       "0000:0100:1 -- C:\\Cr\xE8me\\a.dll\r\n";
    const auto record = load(ansi);
    ASSERT_EQ(record.earlierEntries.size(), 1u);
    EXPECT_EQ(record.earlierEntries.front().path, L"C:\\Cr\u00E8me\\a.dll");
}

TEST_F(Reader, Utf16WithoutAMarkYieldsNothing) {
    EXPECT_TRUE(load(utf16(header + L"0000:00ff:1 -- A\r\n", false)).earlierEntries.empty());
}

TEST_F(Reader, APathWithA0AHighByteIsReadWhole) {
    const auto record = load(utf16(header + L"0000:0100:1 -- C:\\\u4E0A\\x.dll\r\n"));
    ASSERT_EQ(record.earlierEntries.size(), 1u);
    EXPECT_EQ(record.earlierEntries.front().path, L"C:\\\u4E0A\\x.dll");
}

TEST_F(Reader, AMissingFileOrNoPathEmptiesTheFolders) {
    InstallRecord record;
    record.previousInstallFolder = L"x";
    record.previousShortcutFolder = L"y";
    record.Load(nullptr);
    EXPECT_TRUE(record.previousInstallFolder.empty());
    record.previousShortcutFolder = L"y";
    record.Load((folder / L"absent.ulog").c_str());
    EXPECT_TRUE(record.previousShortcutFolder.empty());
}

TEST_F(Reader, LinesOfAnyLengthAreReadAndTheEntriesAfterThemKept) {
    const std::wstring deep = L"C:\\" + std::wstring(3000, L'x');
    const auto record = load(utf16(header + L"0000:00ff:1 -- A\r\n0001:00ff:1 -- " + deep +
                                   L"\r\n0002:00ff:1 -- C\r\n"));
    ASSERT_EQ(record.earlierEntries.size(), 3u);
    EXPECT_EQ(std::next(record.earlierEntries.begin())->path, deep);
    EXPECT_EQ(record.earlierEntries.back().path, L"C");
}

// The length of the longest common subsequence of two lists.
std::size_t common_subsequence(const std::vector<std::wstring>& a,
                               const std::vector<std::wstring>& b) {
    std::vector<std::vector<std::size_t>> length(a.size() + 1,
                                                 std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            length[i][j] = a[i - 1] == b[j - 1] ? length[i - 1][j - 1] + 1
                                                : std::max(length[i - 1][j], length[i][j - 1]);
        }
    }
    return length[a.size()][b.size()];
}

TEST_F(Reader, DamagedRecordsNeverCrashAndOnlyShorten) {
    std::wstring body;
    for (int i = 0; i < 40; ++i) {
        body += L"00" + std::to_wstring(10 + i) + L":0100:1 -- C:\\Apps\\file" +
                std::to_wstring(i) + L".dll\r\n";
    }
    const std::string original = utf16(header + body);
    const auto whole = load(original);
    const std::size_t full = whole.earlierEntries.size();
    ASSERT_EQ(full, 40u);
    std::vector<std::wstring> original_entries;
    for (const vt::RecordEntry& entry : whole.earlierEntries) {
        original_entries.push_back(entry.path);
    }
    int shortened = 0;
    std::uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = original;
        switch (round % 4) {
        case 0:
            bytes[next() % bytes.size()] ^= static_cast<char>(1u << (next() % 8));
            break;
        case 1:
            bytes.resize(next() % bytes.size());
            break;
        case 2:
            bytes.insert(next() % bytes.size(),
                         std::string(1 + next() % 700, static_cast<char>(next())));
            break;
        default:
            bytes[next() % bytes.size()] = '\n';
            bytes[next() % bytes.size()] = '\0';
            break;
        }
        // Every entry read is one of the original ones, in their order, except
        // those that a damaged place changed (two places in the last kind of
        // damage, one otherwise); never more entries than there were.
        const auto record = load(bytes);
        ASSERT_LE(record.earlierEntries.size(), full) << "round " << round;
        std::vector<std::wstring> read;
        for (const vt::RecordEntry& entry : record.earlierEntries) {
            read.push_back(entry.path);
        }
        const std::size_t changed = read.size() - common_subsequence(read, original_entries);
        ASSERT_LE(changed, round % 4 == 3 ? 2u : 1u) << "round " << round;
        shortened += record.earlierEntries.size() < full ? 1 : 0;
    }
    EXPECT_GT(shortened, 500) << "the damage hardly ever reached the entries";
}

} // namespace
