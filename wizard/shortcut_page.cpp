#include "wizard/shortcut_page.h"

#include "lang/localized_string.h"
#include "support/product_constants.h"
#include "wizard/folder_picker.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace vt {

std::wstring StartMenuRelativeText(const std::wstring& start_menu, const std::wstring& folder) {
    wchar_t relative[MAX_PATH] = {};
    if (start_menu.empty() || folder.size() >= MAX_PATH ||
        !::PathRelativePathToW(relative, start_menu.c_str(), FILE_ATTRIBUTE_DIRECTORY,
                               folder.c_str(), FILE_ATTRIBUTE_DIRECTORY)) {
        return folder;
    }
    if (std::wstring(relative) == L".") {
        return {};
    }
    wchar_t canonical[MAX_PATH] = {};
    return ::PathCanonicalizeW(canonical, relative) ? canonical : relative;
}

CDlgShortcut::~CDlgShortcut() {
    Destroy();
}

bool CDlgShortcut::OnInitDialog() {
    wchar_t root[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(nullptr, root, CSIDL_COMMON_STARTMENU, FALSE) ||
        ::SHGetSpecialFolderPathW(nullptr, root, CSIDL_STARTMENU, FALSE)) {
        start_menu_ = root;
    }
    Page::OnInitDialog();
    EnableFolder();
    return true;
}

void CDlgShortcut::EnableFolder() {
    const BOOL enabled = ::IsDlgButtonChecked(Handle(), MenuOptionId) == BST_CHECKED;
    ::EnableWindow(Item(FolderId), enabled);
    ::EnableWindow(Item(BrowseId), enabled);
}

void CDlgShortcut::DoDataExchange(fw::DataExchange& exchange) {
    if (!exchange.Saving()) {
        desktop_ = session_.createDesktopShortcut;
        menu_ = session_.createMenuShortcut;
        relative_ = StartMenuRelativeText(start_menu_, session_.shortcutFolder);
    }
    exchange.Check(DesktopOptionId, desktop_);
    exchange.Check(MenuOptionId, menu_);
    exchange.Text(FolderId, relative_, MAX_PATH);
    if (exchange.Saving()) {
        session_.createDesktopShortcut = desktop_;
        session_.createMenuShortcut = menu_;
        wchar_t combined[MAX_PATH] = {};
        if (::PathCombineW(combined, start_menu_.c_str(), relative_.c_str()) != nullptr) {
            session_.shortcutFolder = combined;
        }
    } else {
        EnableFolder();
    }
}

bool CDlgShortcut::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    if (id == MenuOptionId) {
        EnableFolder();
        return true;
    }
    if (id == BrowseId) {
        OnBrowse();
        return true;
    }
    return false;
}

void CDlgShortcut::OnBrowse() {
    UpdateData(true);
    FolderPicker picker;
    const FolderPicker::MenuChoice choice = picker.PickMenuFolder(
        session_.shortcutFolder, product::UninstallKeyName, LocalizedString(1112));
    if (!choice.folder.empty()) {
        relative_ = choice.relative;
        session_.shortcutFolder = choice.folder;
        UpdateData(false);
    }
}

void CDlgShortcut::RefreshTexts() {
    ::SetDlgItemTextW(Handle(), GroupId, LocalizedString(1009).c_str());
    ::SetDlgItemTextW(Handle(), MenuOptionId, LocalizedString(1112).c_str());
    ::SetDlgItemTextW(Handle(), BrowseId, LocalizedString(1008).c_str());
    ::SetDlgItemTextW(Handle(), DesktopOptionId, LocalizedString(1113).c_str());
    ::SetDlgItemTextW(Handle(), StatusId, LocalizedString(1106, {LocalizedString(1006)}).c_str());
}

void CDlgShortcut::Grow(int dx, int dy) {
    ShiftControl(GroupId, 0, 0, dx, 0);
    ShiftControl(MenuOptionId, 0, 0, dx, 0);
    ShiftControl(FolderId, 0, 0, dx, 0);
    ShiftControl(BrowseId, dx, 0, 0, 0);
    ShiftControl(DesktopOptionId, 0, 0, dx, 0);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

} // namespace vt
