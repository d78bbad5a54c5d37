// An exception in a handler or callback that the system calls ends the program
// cleanly, in both builds: the error is shown in the installer's error style and
// the process ends with its defined exit code instead of terminating.
#include "framework/callback_boundary.h"
#include "process.h"
#include "support/error_text.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct Ending {
    std::wstring shown;
    unsigned long exit_code = 0;
};

Ending run_probe(const wchar_t* mode) {
    vt::test::RunningProcess probe(vt::test::own_folder() + L"\\boundary_probe.exe", {mode});
    if (std::wstring(mode) != L"callback") {
        HWND dialog = static_cast<HWND>(
            vt::test::find_window_of(probe.Id(), L"#32770", L"Framework test", 20000));
        if (dialog != nullptr) {
            ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        }
    }
    Ending ending;
    if (HWND box = static_cast<HWND>(
            vt::test::find_window_of(probe.Id(), L"#32770", L"Boundary probe", 20000))) {
        wchar_t text[512] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 512);
        ending.shown = text;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    ending.exit_code = probe.Wait();
    return ending;
}

constexpr unsigned long unexpected_error_exit =
    static_cast<unsigned long>(vt::fw::ExitUnexpectedError);

TEST(HandlerThatThrows, AWin32ErrorIsShownByItsSystemTextAndEndsTheProgram) {
    const Ending ending = run_probe(L"win32");
    EXPECT_EQ(ending.shown, vt::ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ending.exit_code, unexpected_error_exit);
}

TEST(HandlerThatThrows, AnyOtherErrorIsShownByItsMessage) {
    const Ending ending = run_probe(L"message");
    EXPECT_EQ(ending.shown, L"The handler failed");
    EXPECT_EQ(ending.exit_code, unexpected_error_exit);
}

TEST(HandlerThatThrows, AThrownHresultIsShownByItsSystemText) {
    const Ending ending = run_probe(L"hresult");
    EXPECT_EQ(ending.shown, vt::ErrorText(static_cast<DWORD>(E_OUTOFMEMORY)));
    EXPECT_EQ(ending.exit_code, unexpected_error_exit);
}

TEST(CallbackThatThrows, AnEnumerationCallbackStopsTheEnumerationAndEndsTheProgram) {
    const Ending ending = run_probe(L"callback");
    EXPECT_EQ(ending.shown, L"The handler failed");
    EXPECT_EQ(ending.exit_code, unexpected_error_exit);
}

} // namespace
