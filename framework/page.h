// A wizard page: a child dialog stacked in its host's page area, with the two
// operations the host needs besides data exchange.
#pragma once

#include "framework/dialog.h"

namespace vt::fw {

class Page : public Dialog {
public:
    using Dialog::Dialog;

    // Sets every text of the page in the current language.
    virtual void RefreshTexts() = 0;
    // The host made the page wider by `dx` and higher by `dy` (either may be
    // negative): the page stretches or moves its controls to match.
    virtual void Grow(int dx, int dy) = 0;

protected:
    // Moves a control of the page by (dx, dy) and changes its size by (grow_x,
    // grow_y), without redrawing; a missing control is left alone.
    void ShiftControl(int id, int dx, int dy, int grow_x, int grow_y) const;
};

// The same for any child window of `parent`.
void ShiftChildWindow(HWND parent, HWND child, int dx, int dy, int grow_x, int grow_y);

} // namespace vt::fw
