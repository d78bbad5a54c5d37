#include "framework/page.h"

namespace vt::fw {

void ShiftChildWindow(HWND parent, HWND child, int dx, int dy, int grow_x, int grow_y) {
    if (child == nullptr) {
        return;
    }
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ::SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, rect.right - rect.left + grow_x,
                   rect.bottom - rect.top + grow_y, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void Page::ShiftControl(int id, int dx, int dy, int grow_x, int grow_y) const {
    ShiftChildWindow(Handle(), Item(id), dx, dy, grow_x, grow_y);
}

} // namespace vt::fw
