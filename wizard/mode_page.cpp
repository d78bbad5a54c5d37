#include "wizard/mode_page.h"

#include "lang/localized_string.h"

namespace vt {

CDlgMode::~CDlgMode() {
    Destroy();
}

void CDlgMode::DoDataExchange(fw::DataExchange& exchange) {
    if (!exchange.Saving()) {
        selected_ = session_.customMode ? 1 : 0;
    }
    exchange.Radio(QuickId, selected_);
    if (exchange.Saving()) {
        session_.customMode = selected_ == 1;
    }
}

void CDlgMode::RefreshTexts() {
    ::SetDlgItemTextW(Handle(), GroupId, LocalizedString(1015).c_str());
    ::SetDlgItemTextW(Handle(), QuickId, LocalizedString(1016).c_str());
    ::SetDlgItemTextW(Handle(), AdvancedId, LocalizedString(1017).c_str());
    ::SetDlgItemTextW(Handle(), StatusId, LocalizedString(1106, {LocalizedString(1006)}).c_str());
}

void CDlgMode::Grow(int dx, int dy) {
    ShiftControl(GroupId, 0, 0, dx, 0);
    ShiftControl(QuickId, 0, 0, dx, 0);
    ShiftControl(AdvancedId, 0, 0, dx, 0);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

} // namespace vt
