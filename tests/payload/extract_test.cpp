// The extraction end to end: an archive in memory becomes files in a scratch folder.
#include "archive_builder.h"
#include "notification_log.h"
#include "payload/compress_error.h"
#include "payload/extract.h"
#include "payload/verify.h"
#include "scratch_folder.h"
#include "support/memstream.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

using vt::compress_error;
using vt::notification;
using vt::test::ArchiveBuilder;
using vt::test::NotificationLog;
using vt::test::pattern;
using result = notification::result;

class Extraction : public ::testing::Test {
protected:
    bool extract(const std::string& compressed, NotificationLog& log) {
        vt::imemstream source(compressed.data(), compressed.size());
        return vt::extract_payload(source, {folder.path(), L"", temp.path()}, log.handler());
    }
    bool extract(const ArchiveBuilder& archive, NotificationLog& log) {
        return extract(archive.compressed(), log);
    }
    std::wstring target(const std::wstring& name) const { return folder / name; }

    vt::test::ScratchFolder folder;
    vt::test::ScratchFolder temp;
};

ArchiveBuilder six_files() {
    ArchiveBuilder archive;
    for (int i = 0; i < 6; ++i) {
        archive.add(L"file" + std::to_wstring(i) + L".bin", pattern(10000 + 3000 * i, i));
    }
    return archive;
}

TEST_F(Extraction, WritesEveryFileWithItsContent) {
    auto archive = six_files();
    archive.add(L"Lang.dll", "resources", L"<InstallPath>\\Lang")
        .add(L"setup.tmp", "t", L"<Temporary>");
    NotificationLog log;
    ASSERT_TRUE(extract(archive, log));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(vt::test::read_file(target(L"file" + std::to_wstring(i) + L".bin")),
                  pattern(10000 + 3000 * i, i));
    }
    EXPECT_EQ(vt::test::read_file(folder / L"Lang\\Lang.dll"), "resources");
    EXPECT_EQ(vt::test::read_file(temp / L"setup.tmp"), "t");
    EXPECT_EQ(log.count("failed"), 0u);
}

TEST_F(Extraction, NotifiesInOrderFromStartedToFinished) {
    const auto archive = ArchiveBuilder().add(L"a.bin", pattern(5000)).add(L"b.bin", pattern(100));
    const std::string compressed = archive.compressed();
    const std::uint64_t header = archive.header().size();
    const std::uint64_t total = header + 5100;
    NotificationLog log;
    ASSERT_TRUE(extract(compressed, log));
    ASSERT_GE(log.lines.size(), 6u);
    EXPECT_EQ(log.lines[0], "started");
    EXPECT_EQ(log.lines[1], "progress " + std::to_string(header) + "/" + std::to_string(total));
    EXPECT_EQ(log.lines[2], "file_started a.bin");
    const auto last = log.lines.size() - 1;
    EXPECT_EQ(log.lines[last],
              "finished " + std::to_string(compressed.size()) + " " + std::to_string(total));
    EXPECT_EQ(log.lines[last - 1], "file_finished b.bin");
    EXPECT_EQ(log.lines[last - 2],
              "progress " + std::to_string(total) + "/" + std::to_string(total));
    // Entry b starts only after entry a has finished.
    const auto a_done = std::find(log.lines.begin(), log.lines.end(), "file_finished a.bin");
    const auto b_start = std::find(log.lines.begin(), log.lines.end(), "file_started b.bin");
    EXPECT_LT(a_done, b_start);
}

TEST_F(Extraction, AnEmptyArchiveSucceedsWithATotalOfTwelveBytes) {
    NotificationLog log;
    const std::string compressed = ArchiveBuilder().compressed();
    ASSERT_TRUE(extract(compressed, log));
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"started", "progress 12/12",
                                        "finished " + std::to_string(compressed.size()) + " 12"}));
}

TEST_F(Extraction, ASkippedEntryIsConsumedButNeitherWrittenNorFinished) {
    vt::test::write_file(target(L"keep.txt"), "the user's copy");
    const auto archive = ArchiveBuilder()
                             .add(L"keep.txt", pattern(9000))
                             .add(L"skipped.bin", pattern(100), L"<InstallPath>\\NewFolder")
                             .add(L"after.bin", "after");
    NotificationLog log([](const notification& n) {
        if (const auto* s = std::get_if<vt::notify::file_started>(&n)) {
            return s->entry.destination.ends_with(L"after.bin") ? result::proceed : result::skip;
        }
        return result::proceed;
    });
    ASSERT_TRUE(extract(archive, log));
    EXPECT_EQ(vt::test::read_file(target(L"keep.txt")), "the user's copy");
    EXPECT_FALSE(vt::test::folder_exists(folder / L"NewFolder"));
    EXPECT_EQ(vt::test::read_file(target(L"after.bin")), "after");
    EXPECT_EQ(log.count("file_finished keep.txt"), 0u);
    EXPECT_EQ(log.count("file_finished skipped.bin"), 0u);
    const std::string total = std::to_string(archive.decompressed().size());
    EXPECT_EQ(log.lines[log.lines.size() - 3], "progress " + total + "/" + total);
}

TEST_F(Extraction, AnEmptyEntryBetweenOthersIsCreatedEmpty) {
    const auto archive =
        ArchiveBuilder().add(L"a.bin", "aaaa").add(L"empty.dat", "").add(L"b.bin", "bb");
    NotificationLog log;
    ASSERT_TRUE(extract(archive, log));
    EXPECT_TRUE(vt::test::file_exists(target(L"empty.dat")));
    EXPECT_EQ(vt::test::read_file(target(L"empty.dat")), "");
    const auto at = std::find(log.lines.begin(), log.lines.end(), "file_started empty.dat");
    ASSERT_NE(at, log.lines.end());
    EXPECT_EQ(*(at - 1), "file_finished a.bin");
    EXPECT_EQ(*(at + 1), *(at - 2)); // one progress with unchanged done
    EXPECT_EQ(*(at + 2), "file_finished empty.dat");
    EXPECT_EQ(*(at + 3), "file_started b.bin");
}

TEST_F(Extraction, EmptyEntriesAtTheVeryEndAreCreatedToo) {
    const auto archive =
        ArchiveBuilder().add(L"a.bin", "aaaa").add(L"last1.dat", "").add(L"last2.dat", "");
    NotificationLog log;
    ASSERT_TRUE(extract(archive, log));
    EXPECT_TRUE(vt::test::file_exists(target(L"last1.dat")));
    EXPECT_TRUE(vt::test::file_exists(target(L"last2.dat")));
    EXPECT_EQ(log.count("file_finished last"), 2u);
    EXPECT_TRUE(log.lines.back().starts_with("finished"));
}

TEST_F(Extraction, AStreamEndingBeforeTheDataAfterAnEmptyEntryCreatesNothingMore) {
    // The data ends right after a.bin: the empty entry between it and b.bin does
    // not lie after the last byte of data, so it is not created.
    const auto archive =
        ArchiveBuilder().add(L"a.bin", "aaaa").add(L"empty.dat", "").add(L"b.bin", "bb");
    std::string bytes = archive.decompressed();
    bytes.resize(bytes.size() - 2);
    NotificationLog log;
    EXPECT_FALSE(extract(vt::archive_writer::compress(bytes), log));
    EXPECT_EQ(log.failure().code, compress_error::unexpected_error);
    EXPECT_EQ(log.count("file_started empty.dat"), 0u);
    EXPECT_FALSE(vt::test::file_exists(target(L"empty.dat")));
}

TEST_F(Extraction, FinishedIsHeardWhileTheExtractorStillHoldsTheEntries) {
    // The extractor keeps a copy of the handler, and with it this token, for as
    // long as it lives: at `finished` it must still be there.
    const auto token = std::make_shared<int>(0);
    long alive_at_start = 0;
    long alive_at_finished = 0;
    const vt::notification_handler handler = [token, &alive_at_start,
                                              &alive_at_finished](notification n) {
        if (std::holds_alternative<vt::notify::file_started>(n)) {
            alive_at_start = token.use_count();
        } else if (std::holds_alternative<vt::notify::finished>(n)) {
            alive_at_finished = token.use_count();
        }
        return result::proceed;
    };
    const std::string compressed = six_files().compressed();
    vt::imemstream source(compressed.data(), compressed.size());
    ASSERT_TRUE(vt::extract_payload(source, {folder.path(), L"", temp.path()}, handler));
    EXPECT_GT(alive_at_start, 0);
    EXPECT_EQ(alive_at_finished, alive_at_start);
}

TEST_F(Extraction, OverwritesAReadOnlyTarget) {
    vt::test::write_file(target(L"locked.txt"), "old");
    ::SetFileAttributesW(target(L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    NotificationLog log;
    ASSERT_TRUE(extract(ArchiveBuilder().add(L"locked.txt", "new"), log));
    EXPECT_EQ(vt::test::read_file(target(L"locked.txt")), "new");
}

TEST_F(Extraction, CreatesAMissingFolderChain) {
    NotificationLog log;
    ASSERT_TRUE(extract(ArchiveBuilder().add(L"deep.txt", "x", L"<InstallPath>\\a\\b\\c"), log));
    EXPECT_EQ(vt::test::read_file(folder / L"a\\b\\c\\deep.txt"), "x");
}

TEST_F(Extraction, ACrcMismatchFailsWithCodeThreeAndLeavesLaterEntriesAlone) {
    ArchiveBuilder archive;
    archive.add(L"good.bin", "good");
    vt::test::ArchiveFile bad{L"bad.bin", L"<InstallPath>", 0, "data", 0x12345678u};
    archive.add(bad).add(L"later.bin", "later");
    NotificationLog log;
    EXPECT_FALSE(extract(archive, log));
    EXPECT_EQ(log.failure().code, compress_error::invalid_checksum);
    EXPECT_EQ(log.failure().path, target(L"bad.bin"));
    EXPECT_EQ(vt::test::read_file(target(L"bad.bin")), "data"); // stays on disk
    EXPECT_FALSE(vt::test::file_exists(target(L"later.bin")));
    EXPECT_EQ(log.count("file_finished bad.bin"), 0u);
    EXPECT_TRUE(log.lines.back().starts_with("failed"));
}

TEST_F(Extraction, AnArchiveOneByteShortFailsWithCodeSevenOnTheLastTarget) {
    const auto archive =
        ArchiveBuilder().add(L"a.bin", pattern(6000)).add(L"last.bin", pattern(6000, 2));
    std::string bytes = archive.decompressed();
    bytes.pop_back();
    NotificationLog log;
    EXPECT_FALSE(extract(vt::archive_writer::compress(bytes), log));
    EXPECT_EQ(log.failure().code, compress_error::unexpected_error);
    EXPECT_EQ(log.failure().path, target(L"last.bin"));
    EXPECT_EQ(log.count("file_finished last.bin"), 0u);
    EXPECT_TRUE(log.lines[log.lines.size() - 2].starts_with("progress"));
}

TEST_F(Extraction, DataBeyondTheLastEntryFailsWithCodeSeven) {
    const std::string bytes = ArchiveBuilder().add(L"a.bin", "abc").decompressed() + "extra";
    NotificationLog log;
    EXPECT_FALSE(extract(vt::archive_writer::compress(bytes), log));
    EXPECT_EQ(log.failure().code, compress_error::unexpected_error);
    EXPECT_TRUE(log.failure().path.empty());
}

TEST_F(Extraction, AStreamEndingInsideTheHeaderFailsWithCodeSevenAndNoFile) {
    const std::string header = six_files().header();
    NotificationLog log;
    EXPECT_FALSE(extract(vt::archive_writer::compress(header.substr(0, header.size() / 2)), log));
    EXPECT_EQ(log.failure().code, compress_error::unexpected_error);
    EXPECT_TRUE(log.failure().path.empty());
    EXPECT_EQ(log.count("file_started"), 0u);
}

TEST_F(Extraction, DamagedBzip2DataFailsVerificationAndExtractionWithCodeSix) {
    std::string compressed = six_files().compressed();
    compressed[4] ^= 0x55; // the block signature that follows "BZh9"
    vt::imemstream source(compressed.data(), compressed.size());
    EXPECT_FALSE(vt::verify_payload(source));
    NotificationLog log;
    EXPECT_FALSE(extract(compressed, log));
    EXPECT_EQ(log.failure().code, compress_error::decompression_failed);
}

TEST_F(Extraction, ATruncatedBzip2StreamFailsVerificationAndExtraction) {
    const std::string compressed = six_files().compressed();
    const std::string cut = compressed.substr(0, compressed.size() - 30);
    vt::imemstream source(cut.data(), cut.size());
    EXPECT_FALSE(vt::verify_payload(source));
    NotificationLog log;
    EXPECT_FALSE(extract(cut, log));
    EXPECT_EQ(log.failure().code, compress_error::decompression_failed);
}

TEST_F(Extraction, AbortAtFileStartedStopsWithCodeFiveAndNoPath) {
    NotificationLog log(vt::test::answer_once(
        [](const notification& n) { return std::holds_alternative<vt::notify::file_started>(n); },
        result::abort));
    EXPECT_FALSE(extract(six_files(), log));
    EXPECT_EQ(log.failure().code, compress_error::interrupted);
    EXPECT_TRUE(log.failure().path.empty());
    EXPECT_FALSE(vt::test::file_exists(target(L"file0.bin")));
}

TEST_F(Extraction, AbortInsideEntryFiveKeepsEntriesZeroToFour) {
    auto archive = six_files();
    archive.add(L"tail.bin", pattern(1000));
    // Abort at the first progress inside entry 5.
    NotificationLog in_five([&, started = 0](const notification& n) mutable {
        if (const auto* s = std::get_if<vt::notify::file_started>(&n)) {
            started = s->entry.destination.ends_with(L"file5.bin") ? 1 : 0;
        } else if (std::holds_alternative<vt::notify::progress>(n) && started == 1) {
            return result::abort;
        }
        return result::proceed;
    });
    EXPECT_FALSE(extract(archive, in_five));
    EXPECT_EQ(in_five.failure().code, compress_error::interrupted);
    EXPECT_EQ(in_five.failure().path, target(L"file5.bin"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(vt::test::read_file(target(L"file" + std::to_wstring(i) + L".bin")),
                  pattern(10000 + 3000 * i, i));
    }
}

TEST_F(Extraction, AbortAtFileFinishedStopsWithThatFilesPath) {
    NotificationLog log(vt::test::answer_once(
        [](const notification& n) { return std::holds_alternative<vt::notify::file_finished>(n); },
        result::abort));
    EXPECT_FALSE(extract(six_files(), log));
    EXPECT_EQ(log.failure().code, compress_error::interrupted);
    EXPECT_EQ(log.failure().path, target(L"file0.bin"));
    EXPECT_FALSE(vt::test::file_exists(target(L"file1.bin")));
}

TEST_F(Extraction, AbortAtTheTableProgressStopsBeforeAnyFile) {
    NotificationLog log(vt::test::answer_once(
        [](const notification& n) { return std::holds_alternative<vt::notify::progress>(n); },
        result::abort));
    EXPECT_FALSE(extract(six_files(), log));
    EXPECT_EQ(log.failure().code, compress_error::interrupted);
    EXPECT_TRUE(log.failure().path.empty());
    EXPECT_EQ(log.count("file_started"), 0u);
}

TEST_F(Extraction, AHandlerThatRaisesAtStartedFailsWithItsCode) {
    NotificationLog log;
    auto inner = log.handler();
    const std::string compressed = six_files().compressed();
    vt::imemstream source(compressed.data(), compressed.size());
    const bool ok = vt::extract_payload(source, {folder.path(), L"", L""}, [&](notification n) {
        const bool at_start = std::holds_alternative<vt::notify::started>(n);
        inner(std::move(n));
        if (at_start) {
            throw std::system_error(vt::make_error_code(compress_error::verification_failed));
        }
        return result::proceed;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(log.failure().code, compress_error::verification_failed);
    EXPECT_TRUE(log.failure().path.empty());
    EXPECT_EQ(log.lines, (std::vector<std::string>{"started", "failed compress:4 "}));
}

TEST_F(Extraction, ATargetThatIsAFolderFailsWithTheSystemsErrorAndItsPath) {
    ::CreateDirectoryW(target(L"taken").c_str(), nullptr);
    NotificationLog log;
    EXPECT_FALSE(extract(ArchiveBuilder().add(L"taken", "x"), log));
    EXPECT_EQ(log.failure().code.category(), std::system_category());
    EXPECT_EQ(log.failure().code.value(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(log.failure().path, target(L"taken"));
}

TEST_F(Extraction, AFolderThatCannotBeCreatedFailsWithTheTargetPath) {
    vt::test::write_file(target(L"plain"), "a file where a folder is wanted");
    NotificationLog log;
    EXPECT_FALSE(
        extract(ArchiveBuilder().add(L"inside.txt", "x", L"<InstallPath>\\plain\\sub"), log));
    EXPECT_EQ(log.failure().code.category(), std::system_category());
    EXPECT_EQ(log.failure().path, folder / L"plain\\sub\\inside.txt");
}

TEST_F(Extraction, SeveralConcatenatedBzip2StreamsDecodeAsOne) {
    const std::string bytes = six_files().decompressed();
    const std::size_t half = bytes.size() / 2;
    const std::string two = vt::archive_writer::compress(bytes.substr(0, half)) +
                            vt::archive_writer::compress(bytes.substr(half));
    vt::imemstream source(two.data(), two.size());
    EXPECT_TRUE(vt::verify_payload(source));
    NotificationLog log;
    ASSERT_TRUE(extract(two, log));
    EXPECT_EQ(vt::test::read_file(target(L"file5.bin")), pattern(25000, 5));
}

TEST(Verification, AnEmptyStreamIsNotAPayload) {
    vt::imemstream empty;
    EXPECT_FALSE(vt::verify_payload(empty));
}

TEST(Verification, ASoundPayloadPassesAndIsLeftAtItsEnd) {
    const std::string compressed = six_files().compressed();
    vt::imemstream source(compressed.data(), compressed.size());
    EXPECT_TRUE(vt::verify_payload(source));
    source.clear();
    EXPECT_EQ(static_cast<std::size_t>(source.tellg()), compressed.size());
}

} // namespace
