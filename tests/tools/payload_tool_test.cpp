// The payload tool as the build pipeline and support staff use it: a real process.
#include "archive_builder.h"
#include "payload/crc32.h"
#include "process.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <sstream>

namespace {

using vt::test::read_file;
using vt::test::run_process;
using vt::test::write_file;

std::wstring tool() {
    return vt::test::own_folder() + L"\\..\\tools\\payload\\payload.exe";
}

vt::test::ProcessResult payload(std::vector<std::wstring> args) {
    return run_process(tool(), args);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

class PayloadTool : public ::testing::Test {
protected:
    void SetUp() override {
        ::CreateDirectoryW((folder / L"files").c_str(), nullptr);
        write_file(folder / L"files\\Plankwise.exe", vt::test::pattern(50000));
        write_file(folder / L"files\\de.dll", "deutsch");
        write_file(folder / L"files\\empty.dat", "");
        write_file(folder / L"manifest.txt", "\xEF\xBB\xBF# the product\n"
                                             "1\t<InstallPath>\tfiles/Plankwise.exe\r\n"
                                             "\n"
                                             "0\t<InstallPath>\\Lang\tfiles\\de.dll\n"
                                             "5\t<Temporary>\tfiles/empty.dat\n");
    }
    std::wstring manifest() const { return folder / L"manifest.txt"; }
    std::wstring archive() const { return folder / L"out.bz2"; }

    vt::test::ScratchFolder folder;
};

TEST_F(PayloadTool, PacksAManifestThatListShowsEntryByEntry) {
    const auto packed = payload({L"pack", manifest(), archive()});
    ASSERT_EQ(packed.exit_code, 0u) << packed.errors;
    EXPECT_EQ(read_file(archive()).substr(0, 4), "BZh9");

    const auto listed = payload({L"list", archive()});
    ASSERT_EQ(listed.exit_code, 0u) << listed.errors;
    const auto lines = lines_of(listed.output);
    ASSERT_EQ(lines.size(), 3u);
    const std::string data = vt::test::pattern(50000);
    char crc[16];
    snprintf(crc, sizeof crc, "%08x", vt::crc32_of(data.data(), data.size()));
    EXPECT_TRUE(lines[0].starts_with(std::string("1\t50000\t") + crc + "\t<InstallPath>\t"));
    EXPECT_TRUE(lines[0].ends_with("\\files\\Plankwise.exe")) << lines[0];
    EXPECT_EQ(lines[0][1 + 1 + 5 + 1 + 8 + 1 + 13 + 1 + 1], ':') << "an absolute Windows path";
    EXPECT_TRUE(lines[1].starts_with("0\t7\t"));
    EXPECT_NE(lines[1].find("\t<InstallPath>\\Lang\t"), std::string::npos);
    EXPECT_TRUE(lines[2].starts_with("5\t0\t00000000\t<Temporary>\t"));
}

TEST_F(PayloadTool, LevelOneStillPacksASoundArchive) {
    ASSERT_EQ(payload({L"pack", manifest(), archive(), L"--level", L"1"}).exit_code, 0u);
    EXPECT_EQ(read_file(archive()).substr(0, 4), "BZh1");
    EXPECT_EQ(payload({L"verify", archive()}).exit_code, 0u);
    EXPECT_EQ(payload({L"pack", manifest(), archive(), L"--level", L"10"}).exit_code, 2u);
}

TEST_F(PayloadTool, AMalformedLineIsNamedAndNoArchiveIsWritten) {
    write_file(folder / L"bad.txt",
               "1\t<InstallPath>\tfiles/de.dll\n9\t<InstallPath>\tfiles/de.dll\n");
    const auto result = payload({L"pack", folder / L"bad.txt", archive()});
    EXPECT_EQ(result.exit_code, 2u);
    EXPECT_NE(result.errors.find("bad.txt:2:"), std::string::npos) << result.errors;
    EXPECT_FALSE(vt::test::file_exists(archive()));

    write_file(folder / L"two.txt", "1\tfiles/de.dll\n");
    EXPECT_EQ(payload({L"pack", folder / L"two.txt", archive()}).exit_code, 2u);
}

TEST_F(PayloadTool, AMissingFileIsNamedWithItsLine) {
    write_file(folder / L"missing.txt", "# header\n0\t<InstallPath>\tfiles/nothing.dll\n");
    const auto result = payload({L"pack", folder / L"missing.txt", archive()});
    EXPECT_EQ(result.exit_code, 2u);
    EXPECT_NE(result.errors.find("missing.txt:2: no such file"), std::string::npos)
        << result.errors;
    EXPECT_FALSE(vt::test::file_exists(archive()));
}

TEST_F(PayloadTool, VerifyFindsDamagedStreamsAndWrongChecksums) {
    ASSERT_EQ(payload({L"pack", manifest(), archive()}).exit_code, 0u);
    EXPECT_EQ(payload({L"verify", archive()}).exit_code, 0u);

    std::string damaged = read_file(archive());
    damaged[damaged.size() / 2] ^= 0x01;
    write_file(folder / L"damaged.bz2", damaged);
    EXPECT_EQ(payload({L"verify", folder / L"damaged.bz2"}).exit_code, 1u);

    vt::test::ArchiveBuilder forged;
    forged.add({L"wrong.bin", L"<InstallPath>", 0, "data", 0xDEADBEEFu});
    write_file(folder / L"forged.bz2", forged.compressed());
    const auto result = payload({L"verify", folder / L"forged.bz2"});
    EXPECT_EQ(result.exit_code, 1u);
    EXPECT_NE(result.errors.find("invalid checksum"), std::string::npos) << result.errors;
}

TEST_F(PayloadTool, ExtractsIntoTheGivenFolders) {
    ASSERT_EQ(payload({L"pack", manifest(), archive()}).exit_code, 0u);
    const auto result =
        payload({L"extract", archive(), folder / L"install", L"--temp", folder / L"temp"});
    ASSERT_EQ(result.exit_code, 0u) << result.errors;
    EXPECT_EQ(read_file(folder / L"install\\Plankwise.exe"), vt::test::pattern(50000));
    EXPECT_EQ(read_file(folder / L"install\\Lang\\de.dll"), "deutsch");
    EXPECT_TRUE(vt::test::file_exists(folder / L"temp\\empty.dat"));
}

TEST_F(PayloadTool, AFailedExtractionShowsTheCodeAsTheInstallerDoes) {
    vt::test::ArchiveBuilder forged;
    forged.add(L"ok.bin", "fine").add({L"wrong.bin", L"<InstallPath>", 0, "data", 0xDEADBEEFu});
    write_file(folder / L"forged.bz2", forged.compressed());
    const auto result = payload({L"extract", folder / L"forged.bz2", folder / L"install"});
    EXPECT_EQ(result.exit_code, 1u);
    EXPECT_NE(result.errors.find("error 3 (invalid checksum): "), std::string::npos)
        << result.errors;
    EXPECT_NE(result.errors.find("install\\wrong.bin"), std::string::npos) << result.errors;

    std::string damaged = forged.compressed();
    damaged[damaged.size() / 2] ^= 0x01;
    write_file(folder / L"damaged.bz2", damaged);
    const auto refused = payload({L"extract", folder / L"damaged.bz2", folder / L"other"});
    EXPECT_EQ(refused.exit_code, 1u);
    EXPECT_NE(refused.errors.find("error 4"), std::string::npos) << refused.errors;
    EXPECT_FALSE(vt::test::folder_exists(folder / L"other"));
}

TEST_F(PayloadTool, ReadsThePayloadThatAnExecutableCarries) {
    // The test program carries the archive of tests/data/resource_manifest.txt.
    const auto listed = payload({L"list", vt::test::own_folder() + L"\\support_tests.exe"});
    ASSERT_EQ(listed.exit_code, 0u) << listed.errors;
    const auto lines = lines_of(listed.output);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].ends_with("\\hello.txt"));
    EXPECT_EQ(payload({L"verify", vt::test::own_folder() + L"\\support_tests.exe"}).exit_code, 0u);
}

TEST_F(PayloadTool, AnExecutableWithoutAPayloadIsNamedAsSuch) {
    // The tool's own resources are never read in its place.
    const auto listed = payload({L"list", vt::test::own_folder() + L"\\hold_file.exe"});
    EXPECT_EQ(listed.exit_code, 1u);
    EXPECT_NE(listed.errors.find("carries no payload"), std::string::npos) << listed.errors;
}

TEST_F(PayloadTool, ARelativeSamplesFolderIsANameOnTheAllUsersDesktop) {
    write_file(folder / L"samples.txt", "0\t<SamplePath>\tfiles/de.dll\n");
    ASSERT_EQ(payload({L"pack", folder / L"samples.txt", archive()}).exit_code, 0u);
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE);
    const std::wstring samples = std::wstring(desktop) + L"\\Payload Tool Test Samples";
    const auto result = payload(
        {L"extract", archive(), folder / L"install", L"--samples", L"Payload Tool Test Samples"});
    const std::string placed = read_file(samples + L"\\de.dll");
    ::DeleteFileW((samples + L"\\de.dll").c_str());
    ::RemoveDirectoryW(samples.c_str());
    ASSERT_EQ(result.exit_code, 0u) << result.errors;
    EXPECT_EQ(placed, "deutsch");
}

TEST_F(PayloadTool, AFileThatChangesWhileItIsPackedFailsThePacking) {
    // Every read of this file gives another text of the same length.
    write_file(folder / L"changing.txt", "0\t<InstallPath>\tZ:\\proc\\sys\\kernel\\random\\uuid\n");
    const auto packed = payload({L"pack", folder / L"changing.txt", archive()});
    EXPECT_NE(packed.exit_code, 0u);
    EXPECT_NE(packed.errors.find("changed while it was packed"), std::string::npos)
        << packed.errors;
}

TEST_F(PayloadTool, WrongUseExitsWithTwo) {
    EXPECT_EQ(payload({}).exit_code, 2u);
    EXPECT_EQ(payload({L"unpack", archive()}).exit_code, 2u);
    EXPECT_EQ(payload({L"list"}).exit_code, 2u);
    EXPECT_EQ(payload({L"list", folder / L"absent.bz2"}).exit_code, 1u);
}

} // namespace

namespace {

TEST_F(PayloadTool, EmbedsAnArchiveIntoACopyOfAnExecutable) {
    ASSERT_EQ(payload({L"pack", manifest(), archive()}).exit_code, 0u);
    const std::wstring installer = vt::test::own_folder() + L"\\hold_file.exe"; // any program
    const std::wstring out = folder / L"Install.exe";
    const auto embedded = payload({L"embed", installer, archive(), out});
    ASSERT_EQ(embedded.exit_code, 0u) << embedded.errors;
    const auto listed = payload({L"list", out});
    ASSERT_EQ(listed.exit_code, 0u) << listed.errors;
    EXPECT_EQ(lines_of(listed.output).size(), 3u);
    EXPECT_EQ(payload({L"verify", out}).exit_code, 0u);
    // The copy still runs.
    EXPECT_EQ(run_process(out, {}).exit_code, 2u); // hold_file's answer to no arguments

    // Embedding again replaces the payload.
    vt::test::ArchiveBuilder other;
    other.add(L"only.txt", "one");
    write_file(folder / L"other.bz2", other.compressed());
    ASSERT_EQ(payload({L"embed", out, folder / L"other.bz2", folder / L"Install2.exe"}).exit_code,
              0u);
    EXPECT_EQ(lines_of(payload({L"list", folder / L"Install2.exe"}).output).size(), 1u);
}

} // namespace
