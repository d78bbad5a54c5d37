// The CRC-32 of the archive and the read-back check of written files.
#include "payload/crc32.h"
#include "process.h"
#include "scratch_folder.h"
#include "support/unique_handle.h"

#include <boost/filesystem/exception.hpp>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Crc32, IsTheChecksumOfZipAndZlib) {
    EXPECT_EQ(vt::crc32_of("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(vt::crc32_of("", 0), 0u);
    vt::Crc32 parts;
    parts.update("1234", 4);
    parts.update("56789", 5);
    EXPECT_EQ(parts.value(), 0xCBF43926u);
}

TEST(FileCrc32, ReadsTheFileInBlocks) {
    vt::test::ScratchFolder folder;
    std::string data(3 * 4096, 'x'); // exactly full blocks, then end of file
    data += "tail";
    vt::test::write_file(folder / L"f.bin", data);
    EXPECT_EQ(vt::file_crc32(folder / L"f.bin"), vt::crc32_of(data.data(), data.size()));
    vt::test::write_file(folder / L"empty", "");
    EXPECT_EQ(vt::file_crc32(folder / L"empty"), 0u);
}

TEST(FileCrc32, AMissingFileRaisesAFileSystemErrorWithItsPath) {
    vt::test::ScratchFolder folder;
    try {
        (void)vt::file_crc32(folder / L"missing");
        FAIL() << "no exception";
    } catch (const boost::filesystem::filesystem_error& e) {
        EXPECT_EQ(e.code().value(), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(e.path1().wstring(), folder / L"missing");
    }
}

TEST(FileCrc32, RetriesWhileAnotherProcessHoldsTheFile) {
    vt::test::ScratchFolder folder;
    const std::wstring path = folder / L"busy.bin";
    vt::test::write_file(path, "written by the installer");
    const std::wstring event_name = L"vt-test-hold-" + std::to_wstring(::GetCurrentProcessId());
    vt::unique_kernel ready(::CreateEventW(nullptr, TRUE, FALSE, event_name.c_str()));

    // The other process keeps the file open for 1.5 s: the first attempts meet a
    // sharing violation, a later one succeeds.
    std::thread holder([&] {
        vt::test::run_process(vt::test::own_folder() + L"\\hold_file.exe",
                              {path, L"1500", event_name});
    });
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 20000), WAIT_OBJECT_0);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(vt::file_crc32(path), vt::crc32_of("written by the installer", 24));
    // It met the other process's hold and waited: one or two retries a second apart.
    EXPECT_GE(vt::details::file_crc32_retries(), 1);
    EXPECT_LE(vt::details::file_crc32_retries(), 3);
    EXPECT_GE(::GetTickCount64() - start, 900u);
    holder.join();
}

TEST(FileCrc32, GivesUpAfterThreeRetries) {
    vt::test::ScratchFolder folder;
    const std::wstring path = folder / L"held.bin";
    vt::test::write_file(path, "x");
    vt::unique_file held(
        ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    try {
        (void)vt::file_crc32(path);
        FAIL() << "no exception";
    } catch (const boost::filesystem::filesystem_error& e) {
        EXPECT_EQ(e.code().value(), ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(vt::details::file_crc32_retries(), 3);
}

} // namespace
