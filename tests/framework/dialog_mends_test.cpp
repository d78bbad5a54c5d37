// What the wizard's pages need of the dialog framework: radio groups with labels
// in them, coloured controls, a button whose handler keeps the window alive,
// pages that go away, and the data of extended combo box items.
#include "framework/application.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

class TestApplication : public vt::fw::Application {
protected:
    bool InitInstance() override { return false; }
};

class MendsDialog : public vt::fw::Dialog {
public:
    explicit MendsDialog(vt::fw::Application& application)
        : Dialog(501), application_(application) {}

    int choice = 1;
    HBRUSH label_brush = ::CreateSolidBrush(RGB(255, 250, 240));
    std::atomic<int> work_entries{0};
    std::atomic<bool> work_running{false};
    std::atomic<bool> finish_work{false};

    ~MendsDialog() override { ::DeleteObject(label_brush); }

protected:
    void DoDataExchange(vt::fw::DataExchange& exchange) override { exchange.Radio(1101, choice); }

    bool OnCommand(WORD id, WORD code, HWND) override {
        if (id != 1105 || code != BN_CLICKED) {
            return false;
        }
        // Works the way the installation run does: it dispatches the messages
        // that arrive while it is busy.
        ++work_entries;
        work_running = true;
        while (!finish_work) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            application_.PumpPendingMessages();
        }
        work_running = false;
        return true;
    }

    bool OnMessage(UINT message, WPARAM, LPARAM lparam, LRESULT& result) override {
        if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lparam) == Item(1104)) {
            result = reinterpret_cast<LRESULT>(label_brush);
            return true;
        }
        if (message == WM_APP) {
            result = 42;
            return true;
        }
        return false;
    }

private:
    vt::fw::Application& application_;
};

HWND wait_for_window(const wchar_t* caption) {
    return static_cast<HWND>(
        vt::test::find_window_of(::GetCurrentProcessId(), nullptr, caption, 10000));
}

INT_PTR run_with_driver(MendsDialog& dialog, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        if (HWND window = wait_for_window(L"Framework mends")) {
            drive(window);
        }
    });
    const INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

void click(HWND window, int id) {
    ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0);
}

TEST(RadioGroups, CountOnlyTheirRadioButtonsNotTheLabelsBetweenThem) {
    TestApplication application;
    MendsDialog dialog(application);
    bool second_checked_on_load = false;
    run_with_driver(dialog, [&](HWND window) {
        second_checked_on_load = ::IsDlgButtonChecked(window, 1103) == BST_CHECKED;
        click(window, 1101);
        click(window, 1103);
        click(window, IDOK);
    });
    EXPECT_TRUE(second_checked_on_load);
    EXPECT_EQ(dialog.choice, 1);
}

TEST(DialogAnswers, AColourMessageReturnsItsBrushAndOthersTheirResultValue) {
    TestApplication application;
    MendsDialog dialog(application);
    LRESULT colour_answer = 0;
    LRESULT app_answer = 0;
    run_with_driver(dialog, [&](HWND window) {
        HWND label = ::GetDlgItem(window, 1104);
        HDC dc = ::GetDC(label);
        colour_answer = ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(label));
        ::ReleaseDC(label, dc);
        app_answer = ::SendMessageW(window, WM_APP, 0, 0);
        click(window, IDCANCEL);
    });
    EXPECT_EQ(colour_answer, reinterpret_cast<LRESULT>(dialog.label_brush));
    EXPECT_EQ(app_answer, 42);
}

TEST(BusyHandlers, ASecondPressWhileTheHandlerRunsDoesNothing) {
    TestApplication application;
    MendsDialog dialog(application);
    int entries_while_running = 0;
    run_with_driver(dialog, [&](HWND window) {
        ::PostMessageW(::GetDlgItem(window, 1105), BM_CLICK, 0, 0);
        while (!dialog.work_running) {
            ::Sleep(10); // the click is queued to the dialog's thread
        }
        // The second press reaches the dialog through the handler's own dispatching;
        // a handler entered again would keep it waiting, hence the time limit.
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(::GetDlgItem(window, 1105), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                              &answer);
        entries_while_running = dialog.work_entries;
        dialog.finish_work = true;
        while (dialog.work_running) {
            ::Sleep(10);
        }
        // Once it has ended, the button works again.
        dialog.finish_work = true;
        click(window, 1105);
        click(window, IDCANCEL);
    });
    EXPECT_EQ(entries_while_running, 1);
    EXPECT_EQ(dialog.work_entries, 2);
}

// Every message that reaches a page object after its own destructor has begun.
std::atomic<vt::fw::Dialog*> page_being_destroyed{nullptr};
std::atomic<int> late_messages{0};

class Page : public vt::fw::Dialog {
public:
    Page() : Dialog(502) {}
    ~Page() override { page_being_destroyed = this; }
    std::wstring text = L"members that are gone";
};

TEST(Pages, ADestroyedPageObjectHearsNothingFromItsWindow) {
    vt::fw::details::SetDialogDispatchObserver([](vt::fw::Dialog* dialog, UINT) {
        if (dialog == page_being_destroyed.load()) {
            ++late_messages;
        }
    });
    HWND host = ::CreateWindowExW(0, L"STATIC", L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    HWND page_window = nullptr;
    {
        auto page = std::make_unique<Page>();
        ASSERT_TRUE(page->Create(host));
        page_window = page->Handle();
        ::SetFocus(page->Item(1201));
    }
    vt::fw::details::SetDialogDispatchObserver(nullptr);
    EXPECT_FALSE(::IsWindow(page_window));
    EXPECT_EQ(late_messages, 0);
    ::DestroyWindow(host);
}

TEST(ExtendedComboBoxes, TellAFailedReadFromAnItemWhoseDataIsZero) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_USEREX_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&classes));
    HWND window = ::CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 200,
                                    200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    vt::fw::ComboBoxEx box(window);
    EXPECT_EQ(box.InsertItem(0, L"Fran\u00E7ais", 0, 0), 0);
    EXPECT_EQ(box.InsertItem(1, L"English", 1, 1), 1);
    EXPECT_EQ(box.ItemData(0), std::optional<LPARAM>(0));
    EXPECT_EQ(box.ItemData(1), std::optional<LPARAM>(1));
    EXPECT_EQ(box.ItemData(2), std::nullopt);
    EXPECT_EQ(box.ItemData(-1), std::nullopt);
    ::DestroyWindow(window);
}

} // namespace
