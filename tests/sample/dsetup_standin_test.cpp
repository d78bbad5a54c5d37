// The DirectX setup stand-in: its exports, as the installer loads and calls them.
#include "process.h"
#include "support/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using GetVersionFn = INT(WINAPI*)(DWORD*, DWORD*);
using Callback = DWORD(WINAPI*)(DWORD, DWORD, LPSTR, LPSTR, void*);
using SetCallbackFn = INT(WINAPI*)(Callback);
using SetupFn = INT(WINAPI*)(HWND, LPWSTR, DWORD);

int progress_calls = 0;
DWORD WINAPI on_setup(DWORD reason, DWORD, LPSTR, LPSTR, void*) {
    progress_calls += reason == 18 ? 1 : 0;
    return 1;
}

template <class Fn>
Fn find(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class DirectXSetupStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(
            ::LoadLibraryExW((vt::test::own_folder() + L"\\..\\sample\\DSETUP.dll").c_str(),
                             nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        ASSERT_TRUE(module_);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"VT_DSETUP_VERSION", L"VT_DSETUP_REVISION",
                                    L"VT_DSETUP_RESULT", L"VT_DSETUP_PROGRESS"}) {
            ::SetEnvironmentVariableW(name, nullptr);
        }
    }
    vt::unique_module module_;
};

TEST_F(DirectXSetupStandIn, ReportsTheMinimumVersionByDefault) {
    const auto get_version = find<GetVersionFn>(module_.get(), "DirectXSetupGetVersion");
    ASSERT_NE(get_version, nullptr);
    DWORD version = 0, revision = 0;
    EXPECT_NE(get_version(&version, &revision), 0);
    EXPECT_EQ(version, 0x00040009u);
    EXPECT_EQ(revision, 0x387u);
    ::SetEnvironmentVariableW(L"VT_DSETUP_REVISION", L"386");
    get_version(&version, &revision);
    EXPECT_EQ(revision, 0x386u);
}

TEST_F(DirectXSetupStandIn, CallsBackWithProgressAndReturnsTheChosenResult) {
    const auto set_callback = find<SetCallbackFn>(module_.get(), "DirectXSetupSetCallback");
    const auto setup = find<SetupFn>(module_.get(), "DirectXSetupW");
    ASSERT_NE(set_callback, nullptr);
    ASSERT_NE(setup, nullptr);
    set_callback(&on_setup);
    progress_calls = 0;
    wchar_t folder[] = L"C:\\Temp";
    EXPECT_EQ(setup(nullptr, folder, 0x00010018), 0);
    EXPECT_EQ(progress_calls, 5);
    ::SetEnvironmentVariableW(L"VT_DSETUP_RESULT", L"-9");
    ::SetEnvironmentVariableW(L"VT_DSETUP_PROGRESS", L"2");
    progress_calls = 0;
    EXPECT_EQ(setup(nullptr, folder, 0x00010018), -9);
    EXPECT_EQ(progress_calls, 2);
}

} // namespace
