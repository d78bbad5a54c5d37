#include "wizard/end_page.h"

#include "lang/localized_string.h"

namespace vt {

CDlgEnd::~CDlgEnd() {
    Destroy();
}

void CDlgEnd::DoDataExchange(fw::DataExchange& exchange) {
    if (!exchange.Saving() && session_.installCompleted) {
        ::SetDlgItemTextW(Handle(), ResultId, LocalizedString(1120).c_str());
    }
}

void CDlgEnd::RefreshTexts() {
    ::SetDlgItemTextW(Handle(), ResultId, L"");
    ::SetDlgItemTextW(Handle(), StatusId, LocalizedString(1107, {LocalizedString(1004)}).c_str());
}

void CDlgEnd::Grow(int dx, int dy) {
    ShiftControl(ResultId, 0, 0, dx, dy);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

} // namespace vt
