// Works the installer's windows from another process, as a person would: finds
// windows and controls, reads their texts, presses buttons and picks list items
// through window messages, and waits on windows to change, never for a fixed
// time. The GUI tests and the walk of `make run` use it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vt::driver {

// The installer (or another program) started as a child process; ended at
// destruction if still running.
class InstallerProcess {
public:
    // A program of the build with its command-line arguments; `environment`:
    // "NAME=value" entries added to this process's environment.
    InstallerProcess(const std::wstring& program, const std::vector<std::wstring>& environment = {},
                     const std::wstring& arguments = {});
    ~InstallerProcess();
    InstallerProcess(const InstallerProcess&) = delete;
    InstallerProcess& operator=(const InstallerProcess&) = delete;

    [[nodiscard]] DWORD Id() const noexcept { return id_; }
    [[nodiscard]] HANDLE Handle() const noexcept { return process_; }
    [[nodiscard]] bool Running() const;
    // Waits for the end; the exit code, or STILL_ACTIVE after the timeout.
    DWORD Wait(DWORD timeout_ms = 30000);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Waits until `ready` gives true, waking on every change of the desktop's windows
// (and at the latest every few milliseconds); false after the timeout or when
// the process has ended first.
// The wake-ups cost the watched program a call to the window server for each
// change it makes; a measurement turns them off and waits by the clock alone.
void WakeOnWindowEvents(bool wake) noexcept;
bool WaitUntil(const std::function<bool()>& ready, DWORD timeout_ms = 20000,
               HANDLE process = nullptr);

// The visible top-level window of the process whose class is "#32770" and which
// holds a control with the id (0: any dialog); waits for it. Null when none came.
HWND WaitForDialog(DWORD process_id, int with_control = 0, DWORD timeout_ms = 20000);
// A visible dialog of the process other than those given, such as a message box.
HWND WaitForOtherDialog(DWORD process_id, std::vector<HWND> except, DWORD timeout_ms = 20000);

// The texts of windows and controls.
std::wstring Text(HWND window);
std::wstring ItemText(HWND dialog, int id);
// The text of a message box (its static with the message).
std::wstring MessageBoxText(HWND box);
bool Enabled(HWND dialog, int id);
bool Checked(HWND dialog, int id);

// Presses a button as a click does: its parent hears BN_CLICKED. Returns at once;
// wait for what the press does.
void Press(HWND dialog, int id);
// Clicks a check box or radio button (it changes its own state and tells its
// parent), when it is not already in the state wanted.
void SetCheck(HWND dialog, int id, bool checked);
// Types text into an edit control.
void Type(HWND dialog, int id, const std::wstring& text);
// Picks the item of a combo box whose data is `data`; the parent hears
// CBN_SELCHANGE. False when there is no such item.
bool PickByData(HWND dialog, int id, LPARAM data);
// The data of a combo box's items, in list order.
std::vector<LPARAM> ComboItemData(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);

// The wizard's page that is shown: its visible child dialog.
HWND VisiblePage(HWND wizard);
// Presses a button of the wizard and waits for another page to be shown; that
// page, or null when none came.
HWND PressForNextPage(HWND wizard, int id, DWORD timeout_ms = 20000);

// Waits until the window has handled everything sent to it so far.
void Settle(HWND window);
// Saves what the screen shows of the window (with its frame) as a 24-bit BMP.
bool Capture(HWND window, const std::wstring& path);

} // namespace vt::driver
