// Registry keys and string values on the real (Wine) registry, under a key of
// this test process's own.
#include "support/registry.h"
#include "support/win32_error.h"

#include <gtest/gtest.h>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = L"Software\\Vantorel\\InstallerTests\\" + std::to_wstring(::GetCurrentProcessId());
        key_ = vt::CreateKey(HKEY_CURRENT_USER, path_);
        ASSERT_TRUE(key_);
    }
    void TearDown() override {
        key_.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    void set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    std::wstring path_;
    vt::unique_hkey key_;
};

TEST_F(Registry, ReadsAStringWithoutItsTerminator) {
    set(L"Path", REG_SZ, L"C:\\Plankwise", 13 * 2);
    std::wstring text;
    EXPECT_TRUE(vt::ReadString(key_.get(), L"Path", text));
    EXPECT_EQ(text, L"C:\\Plankwise");
}

TEST_F(Registry, AnExpandableStringIsReturnedAsStored) {
    set(L"Path", REG_EXPAND_SZ, L"%TEMP%", 7 * 2);
    std::wstring text;
    EXPECT_TRUE(vt::ReadString(key_.get(), L"Path", text));
    EXPECT_EQ(text, L"%TEMP%");
}

TEST_F(Registry, RefusesValuesThatAreNotProperStrings) {
    const DWORD number = 7;
    set(L"Number", REG_DWORD, &number, sizeof number);
    set(L"Unterminated", REG_SZ, L"abcd", 3 * 2); // the unit after the data is not NUL
    set(L"Odd", REG_SZ, "abc", 3);
    std::wstring text = L"unchanged";
    EXPECT_FALSE(vt::ReadString(key_.get(), L"Number", text));
    EXPECT_FALSE(vt::ReadString(key_.get(), L"Unterminated", text));
    EXPECT_FALSE(vt::ReadString(key_.get(), L"Odd", text));
    EXPECT_FALSE(vt::ReadString(key_.get(), L"Missing", text));
    EXPECT_EQ(text, L"unchanged");
}

TEST_F(Registry, EmptyAndNulOnlyStringsAreEmptyTexts) {
    set(L"Empty", REG_SZ, L"", 0);
    set(L"Nul", REG_SZ, L"", 2);
    std::wstring text = L"x";
    EXPECT_TRUE(vt::ReadString(key_.get(), L"Empty", text));
    EXPECT_EQ(text, L"");
    text = L"x";
    EXPECT_TRUE(vt::ReadString(key_.get(), L"Nul", text));
    EXPECT_EQ(text, L"");
}

TEST_F(Registry, OpeningAMissingKeyGivesNull) {
    EXPECT_FALSE(vt::OpenKey(HKEY_CURRENT_USER, path_ + L"\\Absent"));
    EXPECT_TRUE(vt::OpenKey(HKEY_CURRENT_USER, path_));
}

TEST_F(Registry, OtherFailuresThrowWin32ErrorWithTheSystemsCode) {
    try {
        (void)vt::OpenKey(reinterpret_cast<HKEY>(static_cast<std::intptr_t>(0x1234)), L"x");
        FAIL() << "no exception";
    } catch (const vt::Win32Error& e) {
        EXPECT_EQ(e.code().category(), std::system_category());
        EXPECT_EQ(e.code().value(), ERROR_INVALID_HANDLE);
    }
    std::wstring text;
    EXPECT_THROW(
        vt::ReadString(reinterpret_cast<HKEY>(static_cast<std::intptr_t>(0x1234)), L"v", text),
        vt::Win32Error);
}

TEST(Win32ErrorType, IsASystemErrorOfTheSystemCategory) {
    try {
        vt::ThrowWin32Error(ERROR_ACCESS_DENIED);
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::error_code(5, std::system_category()));
    }
}

} // namespace
