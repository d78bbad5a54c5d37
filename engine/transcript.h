// What the steps of an installation run tell the person watching: the install
// page's status line and log, and the dispatching that keeps it alive.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

class Transcript {
public:
    virtual ~Transcript() = default;
    virtual void SetStatus(const std::wstring& text) = 0;
    // Appends to the log: plain texts unchanged (no line end added), headings
    // and empty texts as a framed full-width line.
    virtual void AppendLog(const std::wstring& text, bool heading = false) = 0;
    // Dispatches the thread's pending window messages.
    virtual void DispatchPendingMessages() = 0;
    // The window that owns what the steps show.
    [[nodiscard]] virtual HWND Window() const = 0;
};

} // namespace vt
