// The extractor's header phase: collecting header_length and the table from
// chunks of any size, and refusing malformed headers before trusting them.
#include "archive_builder.h"
#include "notification_log.h"
#include "payload/archive_table.h"
#include "payload/compress_error.h"
#include "payload/extractor.h"

#include <gtest/gtest.h>

#include <span>

namespace {

using vt::compress_error;
using vt::notification;
using vt::PayloadExtractor;

vt::notification_handler skip_every_file() {
    return [](notification n) {
        return std::holds_alternative<vt::notify::file_started>(n) ? notification::result::skip
                                                                   : notification::result::proceed;
    };
}

void offer(PayloadExtractor& extractor, const std::string& bytes, std::size_t from,
           std::size_t to) {
    while (from < to) {
        from += static_cast<std::size_t>(
            extractor.write(bytes.data() + from, static_cast<std::streamsize>(to - from)));
    }
}

vt::test::ArchiveBuilder three_files() {
    vt::test::ArchiveBuilder builder;
    builder.add(L"Plankwise.exe", vt::test::pattern(40), L"<InstallPath>")
        .add(L"PlankwiseDE.dll", vt::test::pattern(7, 2), L"<InstallPath>\\Lang")
        .add(L"\x4E0A.txt", "", L"<Temporary>");
    return builder;
}

vt::PayloadFolders folders() {
    return {L"C:\\Program Files\\Plankwise 6", L"", L"C:\\Temp\\work"};
}

TEST(HeaderPhase, ChunkingNeverChangesTheParsedTable) {
    const std::string bytes = three_files().decompressed();
    PayloadExtractor whole(folders(), skip_every_file());
    offer(whole, bytes, 0, bytes.size());
    ASSERT_EQ(whole.entries().size(), 3u);

    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        PayloadExtractor parts(folders(), skip_every_file());
        offer(parts, bytes, 0, split);
        offer(parts, bytes, split, bytes.size());
        ASSERT_EQ(parts.header_length(), whole.header_length()) << "split at " << split;
        ASSERT_EQ(parts.entries().size(), 3u) << "split at " << split;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(parts.entries()[i].destination, whole.entries()[i].destination);
            EXPECT_EQ(parts.entries()[i].source_path, whole.entries()[i].source_path);
            EXPECT_EQ(parts.entries()[i].size, whole.entries()[i].size);
            EXPECT_EQ(parts.entries()[i].crc32, whole.entries()[i].crc32);
        }
        EXPECT_EQ(parts.done(), parts.total());
    }
}

TEST(HeaderPhase, TheLengthFieldInChunksOfThreeAndFiveBytes) {
    const std::string bytes = three_files().decompressed();
    PayloadExtractor extractor(folders(), skip_every_file());
    EXPECT_EQ(extractor.write(bytes.data(), 3), 3);
    EXPECT_EQ(extractor.header_length(), 0u);
    EXPECT_EQ(extractor.write(bytes.data() + 3, 5), 5);
    EXPECT_EQ(extractor.header_length(), three_files().header().size());
}

TEST(HeaderPhase, AChunkThatCompletesTheHeaderIsConsumedOnlyUpToIt) {
    const std::string bytes = three_files().decompressed();
    const std::size_t header = three_files().header().size();
    PayloadExtractor extractor(folders(), skip_every_file());
    ASSERT_EQ(extractor.write(bytes.data(), 8), 8);
    EXPECT_EQ(extractor.write(bytes.data() + 8, static_cast<std::streamsize>(bytes.size() - 8)),
              static_cast<std::streamsize>(header - 8));
    EXPECT_EQ(extractor.phase(), 1u);
    EXPECT_EQ(extractor.done(), header);
}

TEST(HeaderPhase, TargetsAreTheResolvedFolderAndTheSourceFileName) {
    const std::string bytes = three_files().decompressed();
    PayloadExtractor extractor(folders(), skip_every_file());
    offer(extractor, bytes, 0, bytes.size());
    EXPECT_EQ(extractor.entries()[0].destination, L"C:\\Program Files\\Plankwise 6\\Plankwise.exe");
    EXPECT_EQ(extractor.entries()[1].destination,
              L"C:\\Program Files\\Plankwise 6\\Lang\\PlankwiseDE.dll");
    EXPECT_EQ(extractor.entries()[2].destination, L"C:\\Temp\\work\\\x4E0A.txt");
    EXPECT_EQ(extractor.entries()[1].kind, 0u);
}

TEST(HeaderPhase, BytesBetweenTheTableAndHeaderLengthAreIgnored) {
    auto builder = three_files();
    const std::size_t exact = builder.header().size();
    builder.header_length(exact + 100);
    const std::string bytes = builder.decompressed();
    PayloadExtractor extractor(folders(), skip_every_file());
    offer(extractor, bytes, 0, bytes.size());
    EXPECT_EQ(extractor.header_length(), exact + 100);
    EXPECT_EQ(extractor.entries().size(), 3u);
    EXPECT_EQ(extractor.done(), extractor.total());
}

TEST(HeaderPhase, AnEmptyTableHasAHeaderOfTwelveBytes) {
    const std::string bytes = vt::test::ArchiveBuilder().decompressed();
    ASSERT_EQ(bytes.size(), 12u);
    PayloadExtractor extractor(folders(), skip_every_file());
    offer(extractor, bytes, 0, bytes.size());
    EXPECT_TRUE(extractor.entries().empty());
    EXPECT_EQ(extractor.total(), 12u);
    EXPECT_EQ(extractor.phase(), 1u);
}

std::error_code header_failure(std::string bytes) {
    PayloadExtractor extractor(folders(), skip_every_file());
    try {
        offer(extractor, bytes, 0, bytes.size());
    } catch (const std::system_error& e) {
        EXPECT_TRUE(extractor.write_failed());
        EXPECT_TRUE(extractor.entries().empty());
        return e.code();
    }
    return {};
}

std::string le64(std::uint64_t v) {
    std::string s;
    for (int i = 0; i < 8; ++i) {
        s.push_back(static_cast<char>(v >> (8 * i)));
    }
    return s;
}

TEST(HeaderPhase, RefusesAHeaderLengthBelowTwelve) {
    EXPECT_EQ(header_failure(le64(11) + std::string(100, '\0')), compress_error::unexpected_error);
    EXPECT_EQ(header_failure(le64(0)), compress_error::unexpected_error);
}

TEST(HeaderPhase, RefusesAHeaderLengthOfFourGigabytesBeforeBufferingIt) {
    // Only the length field is offered: the refusal comes before any more bytes.
    EXPECT_EQ(header_failure(le64(std::uint64_t{1} << 32)), compress_error::unexpected_error);
    EXPECT_EQ(header_failure(le64(~std::uint64_t{0})), compress_error::unexpected_error);
}

TEST(HeaderPhase, AcceptsAHeaderOfSixtyFourMebibytesAndRefusesOneByteMoreAtOnce) {
    constexpr std::uint64_t limit = std::uint64_t{64} << 20;
    // Just the length field: above the limit it is refused before any buffering.
    EXPECT_EQ(header_failure(le64(limit + 1)), compress_error::unexpected_error);
    // At the limit a real (zero-padded) header is read whole.
    vt::test::ArchiveBuilder padded = three_files();
    padded.header_length(limit);
    const std::string bytes = padded.decompressed();
    PayloadExtractor extractor(folders(), skip_every_file());
    offer(extractor, bytes, 0, bytes.size());
    EXPECT_EQ(extractor.header_length(), limit);
    EXPECT_EQ(extractor.entries().size(), 3u);
}

TEST(HeaderPhase, RefusesAnEntryCountTheHeaderCannotHold) {
    std::string header = three_files().header();
    header[8] = '\xFF';
    header[9] = '\xFF';
    header[10] = '\xFF';
    header[11] = '\x7F';
    EXPECT_EQ(header_failure(header), compress_error::unexpected_error);
}

TEST(HeaderPhase, RefusesARecordThatRunsPastTheHeader) {
    std::string header = three_files().header();
    // Declare the header 4 bytes shorter: the last record's CRC no longer fits.
    const std::string shorter = le64(header.size() - 4) + header.substr(8, header.size() - 12);
    EXPECT_EQ(header_failure(shorter), compress_error::unexpected_error);
}

TEST(HeaderPhase, RefusesAStringLongerThanTheBytesLeft) {
    std::string header = three_files().header();
    header[12] = '\xFF'; // first source length: 0x7FFF00FF... code units
    header[15] = '\x7F';
    EXPECT_EQ(header_failure(header), compress_error::unexpected_error);
}

TEST(ArchiveTable, StringsOfLengthZeroReadNoBytes) {
    const std::string header = vt::archive_writer::encode_header({{L"", L"", 4, 0, 0}});
    ASSERT_EQ(header.size(), 12u + 24u);
    const auto entries =
        vt::read_archive_table(std::as_bytes(std::span(header.data(), header.size())));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].source_path.empty());
    EXPECT_TRUE(entries[0].destination.empty());
    EXPECT_EQ(entries[0].kind, 4u);
}

} // namespace
