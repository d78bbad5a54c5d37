// Picking a folder through the shell's browse dialog: the product's own folder
// name is appended below whatever folder the user picks, and a typed folder is
// checked before the dialog closes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace vt {

class FolderPicker {
public:
    FolderPicker() = default;
    ~FolderPicker();
    FolderPicker(const FolderPicker&) = delete;
    FolderPicker& operator=(const FolderPicker&) = delete;

    // The chosen folder, empty when the user cancelled.
    std::wstring PickFolder(const std::wstring& initial, const std::wstring& subfolder,
                            const std::wstring& title);

    struct MenuChoice {
        std::wstring folder;      // empty when the user cancelled
        std::wstring without_sub; // the choice without the appended subfolder
        std::wstring relative;    // the choice relative to the Start menu
    };
    // The same in a tree rooted at the all-users Programs menu.
    MenuChoice PickMenuFolder(const std::wstring& initial, const std::wstring& subfolder,
                              const std::wstring& title);

    // The state, for the browse dialog's callback and for tests.
    [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }
    void SetPath(std::wstring path) { path_ = std::move(path); }
    void SetSubfolder(std::wstring subfolder) { subfolder_ = std::move(subfolder); }
    void SetRootParent(std::wstring root_parent) {
        root_parent_ = std::move(root_parent);
        root_parent_known_ = true;
    }
    // Appends the part of the subfolder that the path does not already end with,
    // then makes the path relative to the root's parent when there is one.
    void Normalize();
    // How many trailing components of the path equal the components of `p`:
    // all of p's, or 0.
    [[nodiscard]] int EndsWith(const std::wstring& p) const;
    // The path without the trailing subfolder.
    [[nodiscard]] std::wstring WithoutSubfolder() const;
    // The path relative to the root's parent.
    [[nodiscard]] std::wstring RelativeToRootParent();
    // Checks a folder typed into the dialog's edit box; on success the path is
    // that folder, otherwise the error to show (ERROR_BAD_PATHNAME, or the error
    // of a step that failed).
    [[nodiscard]] HRESULT ValidateTyped(const std::wstring& typed);

    // What the browse dialog tells its callback (BFFM_*); the callback's result.
    int OnBrowseMessage(HWND dialog, UINT message, LPARAM lparam);

private:
    bool Browse(const std::wstring& initial, const std::wstring& subfolder);
    void Reset();
    const std::wstring& RootParent();
    void ShowError(HWND window, HRESULT code) const;
    static int CALLBACK Callback(HWND window, UINT message, LPARAM lparam, LPARAM data);

    std::wstring path_;
    std::wstring subfolder_;
    std::wstring title_;
    PIDLIST_ABSOLUTE root_ = nullptr;
    std::wstring root_parent_;
    bool root_parent_known_ = false;
    bool com_initialized_ = false;
    bool dialog_ready_ = false;
    bool validated_ = false;
    HWND edit_ = nullptr;
    HWND owner_ = nullptr;
};

} // namespace vt
