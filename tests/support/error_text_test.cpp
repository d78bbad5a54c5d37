// Error texts from the system's message table and the string table.
#include "support/error_text.h"
#include "support/string_resource.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemMessages, HaveNoTrailingLineEnds) {
    const std::wstring text = vt::SystemMessageText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
}

TEST(SystemMessages, AnUnknownCodeGivesTheTextForEFail) {
    EXPECT_EQ(vt::SystemMessageText(0x2FFFFFFFu),
              vt::SystemMessageText(static_cast<DWORD>(E_FAIL)));
    EXPECT_FALSE(vt::SystemMessageText(static_cast<DWORD>(E_FAIL)).empty());
}

TEST(InstallerErrors, AStringIdentifierCodeGivesTheStringTableEntry) {
    // The test program's string table has entry 1126.
    EXPECT_EQ(vt::LoadStringResource(1126), L"Test string 1126");
    EXPECT_EQ(vt::ErrorText(0x20000000u | 0x08000000u | 1126u), L"Test string 1126");
}

TEST(InstallerErrors, TheCustomerBitAloneCountsAsEFail) {
    EXPECT_EQ(vt::ErrorText(0x20000000u | 1126u),
              vt::SystemMessageText(static_cast<DWORD>(E_FAIL)));
    EXPECT_EQ(vt::ErrorText(0x20000000u | 0x08000000u | 999u),
              vt::SystemMessageText(static_cast<DWORD>(E_FAIL)));
}

TEST(InstallerErrors, OtherCodesAreSystemMessages) {
    EXPECT_EQ(vt::ErrorText(ERROR_FILE_NOT_FOUND), vt::SystemMessageText(ERROR_FILE_NOT_FOUND));
}

TEST(StringTable, AMissingEntryIsEmpty) {
    EXPECT_EQ(vt::LoadStringResource(4242), L"");
}

} // namespace
