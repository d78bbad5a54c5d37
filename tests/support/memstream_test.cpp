#include "support/memstream.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using vt::membuf;

TEST(MemoryStreamBuffer, GrowsBy256BelowHalfAKilobyteThenByHalf) {
    EXPECT_EQ(membuf::grown_size(0), 256u);
    EXPECT_EQ(membuf::grown_size(256), 512u);
    EXPECT_EQ(membuf::grown_size(511), 767u);
    EXPECT_EQ(membuf::grown_size(512), 768u);
    EXPECT_EQ(membuf::grown_size(768), 1152u);
}

TEST(MemoryStreamBuffer, HalvesTheIncrementWhileTheSizeWouldOverflow) {
    constexpr auto max = std::numeric_limits<std::size_t>::max();
    const std::size_t near_top = max - 100;
    const std::size_t grown = membuf::grown_size(near_top);
    EXPECT_GT(grown, near_top);
    EXPECT_LE(grown - near_top, 100u);
    EXPECT_EQ(membuf::grown_size(max), max);
}

TEST(MemoryStream, WrittenBytesCanBeReadBackAsTheyArrive) {
    vt::memstream stream;
    stream.write("abc", 3);
    char got[3] = {};
    ASSERT_TRUE(stream.read(got, 3));
    EXPECT_EQ(std::string(got, 3), "abc");
    EXPECT_EQ(stream.get(), std::char_traits<char>::eof());
    stream.clear();
    stream.write("de", 2);
    EXPECT_EQ(stream.get(), 'd');
    EXPECT_EQ(stream.get(), 'e');
}

TEST(MemoryStream, KeepsItsContentWhileTheBlockGrows) {
    vt::memstream stream;
    std::string written;
    for (int i = 0; i < 5000; ++i) {
        const char c = static_cast<char>('a' + i % 26);
        stream.put(c);
        written += c;
    }
    stream.write(written.data(), 3000); // a bulk write that needs more than one step
    written.append(written.data(), 3000);
    const membuf* buffer = stream.rdbuf();
    ASSERT_EQ(buffer->size(), written.size());
    EXPECT_EQ(std::string(buffer->data(), buffer->size()), written);
    EXPECT_GE(buffer->capacity(), written.size());
}

TEST(MemoryStream, SeeksFromTheBeginningTheCurrentPositionAndTheEnd) {
    vt::memstream stream;
    stream << "0123456789";
    stream.seekg(4, std::ios_base::beg);
    EXPECT_EQ(stream.get(), '4');
    stream.seekg(2, std::ios_base::cur);
    EXPECT_EQ(stream.get(), '7');
    stream.seekg(-1, std::ios_base::end);
    EXPECT_EQ(stream.get(), '9');
    stream.seekp(2, std::ios_base::beg);
    stream.put('X');
    stream.seekg(0);
    std::string all;
    std::getline(stream, all);
    EXPECT_EQ(all, "01X3456789");
    stream.clear();
    EXPECT_EQ(stream.rdbuf()->size(), 10u); // overwriting does not shorten the data
}

TEST(MemoryStream, RefusesToSeekOutsideTheData) {
    vt::memstream stream;
    stream << "abc";
    EXPECT_EQ(stream.rdbuf()->pubseekoff(4, std::ios_base::beg, std::ios_base::in),
              std::streampos(-1));
    EXPECT_EQ(stream.rdbuf()->pubseekoff(-1, std::ios_base::beg, std::ios_base::in),
              std::streampos(-1));
    EXPECT_EQ(stream.rdbuf()->pubseekoff(0, std::ios_base::end, std::ios_base::in),
              std::streampos(3));
}

TEST(InputMemoryStream, ReadsTheCallersBlockWithoutCopyingIt) {
    const char block[] = "payload";
    vt::imemstream stream(block, 7);
    EXPECT_EQ(stream.rdbuf()->data(), block);
    EXPECT_FALSE(stream.rdbuf()->owns_block());
    std::string text;
    stream >> text;
    EXPECT_EQ(text, "payload");
    stream.clear();
    stream.seekg(3);
    EXPECT_EQ(stream.get(), 'l');
}

TEST(InputMemoryStream, NeverWritesIntoTheCallersBlock) {
    const char block[] = "abc";
    vt::imemstream stream(block, 3);
    EXPECT_EQ(stream.rdbuf()->sputc('x'), std::char_traits<char>::eof());
    EXPECT_STREQ(block, "abc");
}

TEST(InputMemoryStream, AnEmptyStreamReportsEndOfFileAtOnce) {
    vt::imemstream stream;
    EXPECT_EQ(stream.get(), std::char_traits<char>::eof());
    EXPECT_TRUE(stream.eof());
}

} // namespace
