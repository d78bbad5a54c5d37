// How exceptions become the code of the `failed` notification, and how the code
// is shown.
#include "payload/compress_error.h"
#include "payload/error_translation.h"

#include <boost/filesystem/exception.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

namespace {

using vt::error_code_of;

class CRuntimeErrors : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        errno = 0;
        _doserrno = 0;
    }
};

TEST_F(CRuntimeErrors, AStreamFailureTakesTheSystemsLastErrorFirst) {
    _doserrno = 112; // disk full
    errno = ENOSPC;
    EXPECT_EQ(error_code_of(std::ios_base::failure("write")),
              std::error_code(112, std::system_category()));
}

TEST_F(CRuntimeErrors, AStreamFailureTakesErrnoWhenThereIsNoSystemError) {
    errno = ENOSPC;
    EXPECT_EQ(error_code_of(std::ios_base::failure("write")),
              std::error_code(ENOSPC, std::generic_category()));
}

TEST_F(CRuntimeErrors, AStreamFailureWithoutErrorNumbersKeepsItsOwnCode) {
    const std::ios_base::failure failure("write");
    EXPECT_EQ(error_code_of(failure), failure.code());
}

TEST_F(CRuntimeErrors, ABzip2ErrorIsCodeSixEvenWithAStaleErrno) {
    errno = ENOENT;
    EXPECT_EQ(error_code_of(boost::iostreams::bzip2_error(boost::iostreams::bzip2::data_error)),
              vt::compress_error::decompression_failed);
}

TEST_F(CRuntimeErrors, SystemErrorsKeepTheirCode) {
    EXPECT_EQ(error_code_of(std::system_error(5, std::system_category())),
              std::error_code(5, std::system_category()));
    EXPECT_EQ(
        error_code_of(std::system_error(vt::make_error_code(vt::compress_error::invalid_checksum))),
        vt::compress_error::invalid_checksum);
}

TEST_F(CRuntimeErrors, BoostCategoriesMapToTheStandardOnes) {
    const boost::filesystem::filesystem_error fs_error(
        "open", boost::filesystem::path(L"C:\\x"),
        boost::system::error_code(32, boost::system::system_category()));
    EXPECT_EQ(error_code_of(fs_error), std::error_code(32, std::system_category()));
    const boost::system::system_error generic(
        boost::system::error_code(ENOENT, boost::system::generic_category()));
    EXPECT_EQ(error_code_of(generic), std::error_code(ENOENT, std::generic_category()));
}

TEST_F(CRuntimeErrors, AnythingElseIsCodeSeven) {
    EXPECT_EQ(error_code_of(std::runtime_error("?")), vt::compress_error::unexpected_error);
    EXPECT_EQ(error_code_of(std::bad_alloc()), vt::compress_error::unexpected_error);
}

TEST(CompressCategory, NamesAndMessages) {
    const auto& category = vt::compress_category();
    EXPECT_STREQ(category.name(), "compress");
    EXPECT_EQ(category.message(3), "invalid checksum");
    EXPECT_EQ(category.message(4), "unknown error");
    EXPECT_EQ(category.message(5), "interrupted");
    EXPECT_EQ(category.message(6), "bzip2 error");
    EXPECT_EQ(category.message(7), "unexpected error");
    EXPECT_EQ(category.message(1), "unknown error");
    EXPECT_EQ(&category, &vt::compress_category());
}

TEST(FailureCode, IsFormattedByCategory) {
    EXPECT_EQ(vt::format_failure_code({5, std::system_category()}), L"1:00000005");
    EXPECT_EQ(vt::format_failure_code({28, std::generic_category()}), L"2:0000001C");
    EXPECT_EQ(vt::format_failure_code(vt::compress_error::invalid_checksum), L"3");
    EXPECT_EQ(vt::format_failure_code(std::make_error_code(std::io_errc::stream)), L"7");
}

} // namespace
