// Message boxes as a person sees them: a driver thread finds the box, reads its
// icon and caption, and presses its button.
#include "process.h"
#include "support/message_box.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(MessageBoxIcons, ButtonSetsWithoutAnIconGetOne) {
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_OK), static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_OKCANCEL),
              static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_YESNO), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_YESNOCANCEL),
              static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_RETRYCANCEL), static_cast<UINT>(MB_RETRYCANCEL));
    EXPECT_EQ(vt::MessageBoxTypeWithIcon(MB_YESNO | MB_ICONHAND),
              static_cast<UINT>(MB_YESNO | MB_ICONHAND));
}

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;
};

BOOL CALLBACK take_icon(HWND child, LPARAM found) {
    if ((::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(found) =
            reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// The icon of a message box: the static control with the icon style.
HICON icon_of(HWND box) {
    HICON icon = nullptr;
    ::EnumChildWindows(box, &take_icon, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

// Shows the box on this thread while a driver thread reads it and presses `button`.
SeenBox show_and_read(const std::wstring& text, UINT type, int button, int& pressed) {
    SeenBox seen;
    std::thread driver([&] {
        for (int i = 0; i < 200; ++i) {
            HWND box = ::FindWindowW(L"#32770", nullptr);
            if (box != nullptr &&
                ::GetWindowThreadProcessId(box, nullptr) != ::GetCurrentThreadId()) {
                wchar_t buffer[256] = {};
                ::GetWindowTextW(box, buffer, 256);
                seen.caption = buffer;
                ::GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                seen.text = buffer;
                seen.icon = icon_of(box);
                ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
                return;
            }
            ::Sleep(50);
        }
    });
    pressed = vt::ShowMessage(text, type);
    driver.join();
    return seen;
}

std::wstring application_name() {
    return L"Plankwise 6.07 Installation";
}

TEST(MessageBoxes, ShowTheExclamationIconWhenNoneIsGiven) {
    vt::SetMessageBoxHost({&application_name, nullptr, nullptr, nullptr});
    int pressed = 0;
    const SeenBox seen = show_and_read(L"The product is running.", MB_OK, IDOK, pressed);
    EXPECT_EQ(pressed, IDOK);
    EXPECT_EQ(seen.caption, L"Plankwise 6.07 Installation");
    EXPECT_EQ(seen.icon, ::LoadIconW(nullptr, IDI_EXCLAMATION));
    vt::SetMessageBoxHost({});
}

TEST(MessageBoxes, KeepTheStopIconOfAYesNoBox) {
    int pressed = 0;
    const SeenBox seen = show_and_read(L"Stop?", MB_YESNO | MB_ICONHAND, IDYES, pressed);
    EXPECT_EQ(pressed, IDYES);
    EXPECT_EQ(seen.icon, ::LoadIconW(nullptr, IDI_HAND));
}

TEST(MessageBoxes, WithoutAnApplicationNameTheCaptionIsTheProgramName) {
    vt::SetMessageBoxHost({});
    EXPECT_EQ(vt::MessageBoxCaption(), L"support_tests");
}

} // namespace
