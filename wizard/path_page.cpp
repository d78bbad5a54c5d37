#include "wizard/path_page.h"

#include "lang/localized_string.h"
#include "support/product_constants.h"
#include "wizard/folder_picker.h"

namespace vt {

CDlgPath::~CDlgPath() {
    Destroy();
}

bool CDlgPath::OnInitDialog() {
    Page::OnInitDialog();
    // An existing installation is reinstalled or updated in its own folder.
    if (session_.existingInstall != ExistingInstall::NoInstall) {
        ::EnableWindow(Item(PromptId), FALSE);
        ::EnableWindow(Item(BrowseId), FALSE);
        ::SendMessageW(Item(FolderId), EM_SETREADONLY, TRUE, 0);
    }
    return true;
}

void CDlgPath::DoDataExchange(fw::DataExchange& exchange) {
    if (!exchange.Saving()) {
        folder_ = session_.installFolder;
    }
    exchange.Text(FolderId, folder_, MAX_PATH);
    if (exchange.Saving()) {
        session_.installFolder = folder_;
    }
}

bool CDlgPath::OnCommand(WORD id, WORD code, HWND) {
    if (id == BrowseId && code == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return false;
}

void CDlgPath::OnBrowse() {
    UpdateData(true);
    FolderPicker picker;
    const std::wstring chosen = picker.PickFolder(session_.installFolder, product::UninstallKeyName,
                                                  LocalizedString(1111, {product::Word}));
    if (!chosen.empty()) {
        session_.installFolder = chosen;
        UpdateData(false);
    }
}

void CDlgPath::RefreshTexts() {
    ::SetDlgItemTextW(Handle(), GroupId, LocalizedString(1010).c_str());
    ::SetDlgItemTextW(Handle(), PromptId, LocalizedString(1111, {product::Word}).c_str());
    ::SetDlgItemTextW(Handle(), BrowseId, LocalizedString(1008).c_str());
    ::SetDlgItemTextW(Handle(), StatusId, LocalizedString(1106, {LocalizedString(1006)}).c_str());
}

void CDlgPath::Grow(int dx, int dy) {
    ShiftControl(GroupId, 0, 0, dx, 0);
    ShiftControl(PromptId, 0, 0, dx, 0);
    ShiftControl(FolderId, 0, 0, dx, 0);
    ShiftControl(BrowseId, dx, 0, 0, 0);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

} // namespace vt
