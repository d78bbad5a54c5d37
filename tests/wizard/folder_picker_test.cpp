// The folder picker's rules for what it shows and accepts, without its dialog.
#include "wizard/folder_picker.h"

#include <gtest/gtest.h>

#include <thread>

namespace vt {
namespace {

// A picker whose dialog would start at `path`.
struct Picker : FolderPicker {
    Picker(const std::wstring& path, const std::wstring& subfolder,
           const std::wstring& root_parent = {}) {
        SetRootParent(root_parent);
        SetPath(path);
        SetSubfolder(subfolder);
    }
};

TEST(FolderPicker, AppendsOnlyTheMissingPartOfTheProductFolder) {
    Picker picked(L"D:\\Apps", L"Plankwise 6");
    picked.Normalize();
    EXPECT_EQ(picked.Path(), L"D:\\Apps\\Plankwise 6");

    Picker maker(L"C:\\Program Files\\Vantorel", L"Vantorel\\Plankwise 6");
    maker.Normalize();
    EXPECT_EQ(maker.Path(), L"C:\\Program Files\\Vantorel\\Plankwise 6");

    Picker already(L"C:\\Program Files\\VANTOREL\\plankwise 6", L"Vantorel\\Plankwise 6");
    already.Normalize();
    EXPECT_EQ(already.Path(), L"C:\\Program Files\\VANTOREL\\plankwise 6");
    EXPECT_EQ(already.WithoutSubfolder(), L"C:\\Program Files");

    Picker none(L"D:\\Apps", L"");
    none.Normalize();
    EXPECT_EQ(none.Path(), L"D:\\Apps");
}

TEST(FolderPicker, EndsWithCountsWholeComponentsOnly) {
    EXPECT_EQ(Picker(L"C:\\A\\Plankwise 6", L"").EndsWith(L"Plankwise 6"), 1);
    EXPECT_EQ(Picker(L"C:\\A\\My Plankwise 6", L"").EndsWith(L"Plankwise 6"), 0);
    EXPECT_EQ(Picker(L"C:\\Vantorel\\Plankwise 6\\", L"").EndsWith(L"vantorel\\PLANKWISE 6"), 2);
    EXPECT_EQ(Picker(L"Plankwise 6", L"").EndsWith(L"Plankwise 6"), 0);
}

TEST(FolderPicker, ShowsTheMenuFolderRelativeToTheStartMenu) {
    const std::wstring start_menu = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    Picker menu(start_menu + L"\\Programs\\Vantorel", L"Plankwise 6", start_menu);
    menu.Normalize();
    EXPECT_EQ(menu.Path(), L"Programs\\Vantorel\\Plankwise 6");

    Picker root(start_menu, L"", start_menu);
    EXPECT_EQ(root.RelativeToRootParent(), L"");
}

TEST(FolderPicker, TypedTextIsQualifiedOrRefusedWithTheSystemError) {
    Picker drive(L"", L"Plankwise 6");
    ASSERT_EQ(drive.ValidateTyped(L"  D:  "), S_OK);
    EXPECT_EQ(drive.Path(), L"D:\\");

    Picker typed(L"", L"Plankwise 6");
    ASSERT_EQ(typed.ValidateTyped(L"C:\\Tools\\Plank\\"), S_OK);
    EXPECT_EQ(typed.Path(), L"C:\\Tools\\Plank");

    EXPECT_EQ(Picker(L"", L"x").ValidateTyped(L"C:\\a*b"), HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME));
    EXPECT_EQ(Picker(L"", L"x").ValidateTyped(L"C:\\" + std::wstring(257, L'y')),
              HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
}

TEST(FolderPicker, TypedMenuFolderMustStayInsideTheStartMenu) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring start_menu = temp;
    start_menu.pop_back();

    Picker inside(L"", L"Plankwise 6", start_menu);
    ASSERT_EQ(inside.ValidateTyped(L"Programs\\Vantorel\\Plankwise 6"), S_OK);
    EXPECT_EQ(inside.Path(), start_menu + L"\\Programs\\Vantorel\\Plankwise 6");

    EXPECT_EQ(Picker(L"", L"Plankwise 6", start_menu).ValidateTyped(L"..\\..\\Temp"),
              HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME));
}

BOOL CALLBACK find_own_box(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (process == ::GetCurrentProcessId() && std::wstring(name) == L"#32770" &&
        ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The message box of this process, read and closed by another thread.
std::wstring answer_error_box() {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND box = nullptr;
        ::EnumWindows(&find_own_box, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) {
            wchar_t buffer[512] = {};
            ::GetDlgItemTextW(box, 0xFFFF, buffer, 512);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return buffer;
        }
        ::Sleep(20);
    }
    return {};
}

std::wstring system_text(DWORD code) {
    wchar_t text[512] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     text, 512, nullptr);
    std::wstring trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == L'\n' || trimmed.back() == L'\r')) {
        trimmed.pop_back();
    }
    return trimmed;
}

// Wine's browse dialog never reports typed text as failed validation, so the
// callback hears BFFM_VALIDATEFAILEDW from the test.
TEST(FolderPicker, TypedTextThatFailsValidationKeepsTheDialogOpenThroughSeam) {
    Picker picker(L"C:\\Program Files\\Vantorel\\Plankwise 6", L"Plankwise 6");
    std::wstring shown;
    std::thread reader([&] { shown = answer_error_box(); });
    const int result =
        picker.OnBrowseMessage(nullptr, BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(L"C:\\a*b"));
    reader.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, system_text(ERROR_BAD_PATHNAME));
    EXPECT_EQ(picker.Path(), L"C:\\Program Files\\Vantorel\\Plankwise 6");

    EXPECT_EQ(
        picker.OnBrowseMessage(nullptr, BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(L"D:")), 0);
    EXPECT_EQ(picker.Path(), L"D:\\");
}

} // namespace
} // namespace vt
