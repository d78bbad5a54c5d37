// Message boxes of the installer.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

// What message boxes need from the application; the application object fills it
// in. Every member may be left empty.
struct MessageBoxHost {
    std::wstring (*application_name)() = nullptr; // the window title of the installer
    HWND (*safe_owner)() = nullptr;               // the owner for modal boxes
    bool (*ui_right_to_left)() = nullptr;         // the interface language reads right to left
    std::wstring (*version_caption)() = nullptr;  // the running executable's version text
};

void SetMessageBoxHost(const MessageBoxHost& host) noexcept;

// The message box type with the icon it gets when it names none: exclamation for
// OK and OK/Cancel, question for Yes/No/Cancel and Yes/No.
[[nodiscard]] UINT MessageBoxTypeWithIcon(UINT type) noexcept;

// A modal message box owned by the application's window and titled with its
// name; returns the button pressed.
int ShowMessage(const std::wstring& text, UINT type);
// The same with a string of the string table.
int ShowMessage(UINT string_id, UINT type);

// The caption of the installer's message boxes.
[[nodiscard]] std::wstring MessageBoxCaption();

} // namespace vt
