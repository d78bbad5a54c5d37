#include "framework/controls.h"

namespace vt::fw {

bool ImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    list_.reset(::ImageList_Create(cx, cy, flags, initial, grow));
    return static_cast<bool>(list_);
}

int ImageList::Add(HICON icon) {
    return ::ImageList_AddIcon(list_.get(), icon);
}

int ImageList::Count() const {
    return list_ ? ::ImageList_GetImageCount(list_.get()) : 0;
}

void ComboBoxEx::SetImageList(const ImageList& images) {
    ::SendMessageW(window_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
}

int ComboBoxEx::InsertItem(int index, const std::wstring& text, int image, LPARAM data) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.iSelectedImage = image;
    item.lParam = data;
    return static_cast<int>(
        ::SendMessageW(window_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ComboBoxEx::ResetContent() {
    ::SendMessageW(window_, CB_RESETCONTENT, 0, 0);
}

int ComboBoxEx::Count() const {
    return static_cast<int>(::SendMessageW(window_, CB_GETCOUNT, 0, 0));
}

int ComboBoxEx::CurrentSelection() const {
    return static_cast<int>(::SendMessageW(window_, CB_GETCURSEL, 0, 0));
}

void ComboBoxEx::SetCurrentSelection(int index) {
    ::SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::optional<LPARAM> ComboBoxEx::ItemData(int index) const {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (index < 0 ||
        ::SendMessageW(window_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
        return std::nullopt;
    }
    return item.lParam;
}

std::wstring ComboBoxEx::ItemText(int index) const {
    wchar_t buffer[260] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buffer;
    item.cchTextMax = 260;
    ::SendMessageW(window_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

} // namespace vt::fw
