// The dialog framework driven as a person would: a driver thread types into the
// dialog, clicks its controls and reads the boxes it shows.
#include "framework/application.h"
#include "framework/dialog.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <thread>

namespace {

class OptionsDialog : public vt::fw::Dialog {
public:
    OptionsDialog() : Dialog(500) {}

    std::wstring folder = L"C:\\P";
    bool desktop = true;
    int mode = 1;
    int initialised = 0;

protected:
    bool OnInitDialog() override {
        ++initialised;
        return Dialog::OnInitDialog();
    }
    void DoDataExchange(vt::fw::DataExchange& exchange) override {
        exchange.Text(1001, folder, 5);
        exchange.Check(1002, desktop);
        exchange.Radio(1003, mode);
    }
};

class TestApplication : public vt::fw::Application {
protected:
    bool InitInstance() override { return false; }
};

// A top-level window of this process with the caption.
HWND wait_for_window(const wchar_t* caption) {
    return static_cast<HWND>(
        vt::test::find_window_of(::GetCurrentProcessId(), nullptr, caption, 10000));
}

std::wstring text_of(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Runs the dialog modally while `drive` works it from another thread.
INT_PTR run_with_driver(OptionsDialog& dialog, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND window = wait_for_window(L"Framework test");
        if (window != nullptr) {
            drive(window);
        }
    });
    const INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

TEST(Dialogs, LoadTheMembersIntoTheControls) {
    OptionsDialog dialog;
    std::wstring shown;
    bool checked = false;
    bool second_radio = false;
    run_with_driver(dialog, [&](HWND window) {
        shown = text_of(::GetDlgItem(window, 1001));
        checked = ::IsDlgButtonChecked(window, 1002) == BST_CHECKED;
        second_radio = ::IsDlgButtonChecked(window, 1004) == BST_CHECKED;
        ::SendMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dialog.initialised, 1);
    EXPECT_EQ(shown, L"C:\\P");
    EXPECT_TRUE(checked);
    EXPECT_TRUE(second_radio);
}

TEST(Dialogs, SaveTheControlsIntoTheMembersOnOk) {
    OptionsDialog dialog;
    const INT_PTR result = run_with_driver(dialog, [](HWND window) {
        ::SendMessageW(::GetDlgItem(window, 1001), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(L"D:\\X"));
        ::SendMessageW(::GetDlgItem(window, 1002), BM_CLICK, 0, 0);
        ::SendMessageW(::GetDlgItem(window, 1005), BM_CLICK, 0, 0);
        ::SendMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.folder, L"D:\\X");
    EXPECT_FALSE(dialog.desktop);
    EXPECT_EQ(dialog.mode, 2);
}

TEST(Dialogs, CancelKeepsTheMembers) {
    OptionsDialog dialog;
    const INT_PTR result = run_with_driver(dialog, [](HWND window) {
        ::SendMessageW(::GetDlgItem(window, 1001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"E:"));
        ::SendMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.folder, L"C:\\P");
}

TEST(Dialogs, AFailedValidationKeepsTheDialogOpenAndSaysWhy) {
    TestApplication application;
    application.SetName(L"Plankwise 6.07 Installer");
    OptionsDialog dialog;
    std::wstring box_text;
    std::wstring box_caption;
    bool still_open = false;
    const INT_PTR result = run_with_driver(dialog, [&](HWND window) {
        ::SendMessageW(::GetDlgItem(window, 1001), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(L"C:\\Too long"));
        ::PostMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        HWND box = wait_for_window(L"Plankwise 6.07 Installer");
        if (box != nullptr) {
            wchar_t text[256] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 256);
            box_text = text;
            box_caption = text_of(box);
            ::SendMessageW(box, WM_COMMAND, IDOK, 0);
            // The box is gone once the dialog's thread has left its loop; a sent
            // message returns only when that thread is back in a loop of its own.
            while (::IsWindow(box)) {
                ::SendMessageW(window, WM_NULL, 0, 0);
            }
        }
        ::SendMessageW(window, WM_NULL, 0, 0);
        still_open = ::IsWindow(window) && ::IsWindowVisible(window);
        ::SendMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(box_text, L"Enter no more than 5 characters.");
    EXPECT_EQ(box_caption, L"Plankwise 6.07 Installer");
    EXPECT_TRUE(still_open);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.folder, L"C:\\P");
}

TEST(ApplicationObject, PendingMessagesAreDispatchedAndAQuitIsKept) {
    TestApplication application;
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_USER, 0, 0);
    ::PostQuitMessage(7);
    application.PumpPendingMessages();
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

} // namespace
