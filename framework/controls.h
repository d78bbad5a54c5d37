// Thin wrappers for the common controls that the pages use.
#pragma once

#include "support/unique_handle.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

namespace vt::fw {

using unique_imagelist = unique_handle<HIMAGELIST, &::ImageList_Destroy>;

class ImageList {
public:
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    int Add(HICON icon);
    [[nodiscard]] HIMAGELIST Get() const noexcept { return list_.get(); }
    [[nodiscard]] int Count() const;

private:
    unique_imagelist list_;
};

// An extended combo box (items with images).
class ComboBoxEx {
public:
    ComboBoxEx() = default;
    explicit ComboBoxEx(HWND window) : window_(window) {}
    void Attach(HWND window) noexcept { window_ = window; }
    [[nodiscard]] HWND Handle() const noexcept { return window_; }

    void SetImageList(const ImageList& images);
    int InsertItem(int index, const std::wstring& text, int image, LPARAM data);
    void ResetContent();
    [[nodiscard]] int Count() const;
    [[nodiscard]] int CurrentSelection() const;
    void SetCurrentSelection(int index);
    // The data of an item; none when the item cannot be read (0 is a real value).
    [[nodiscard]] std::optional<LPARAM> ItemData(int index) const;
    [[nodiscard]] std::wstring ItemText(int index) const;

private:
    HWND window_ = nullptr;
};

} // namespace vt::fw
