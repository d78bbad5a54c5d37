// The application object of the installer's small window framework: instance
// initialisation, the application's name (the caption of its message boxes), its
// main window and the safe owner of modal boxes.
#pragma once

#include <windows.h>

#include "support/message_box.h"

#include <string>

namespace vt::fw {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object of the process, or null.
    [[nodiscard]] static Application* Current() noexcept;

    // Runs the program: InitInstance, then ExitInstance; returns the exit code.
    int Run(HINSTANCE instance);

    [[nodiscard]] HINSTANCE Instance() const noexcept { return instance_; }
    [[nodiscard]] const std::wstring& Name() const noexcept { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    [[nodiscard]] HWND MainWindow() const noexcept { return main_window_; }
    void SetMainWindow(HWND window) noexcept { main_window_ = window; }
    [[nodiscard]] HICON Icon() const noexcept { return icon_; }
    void SetIcon(HICON icon) noexcept { icon_ = icon; }

    // The owner for a modal message box: the main window's last active popup,
    // else the thread's active window; null when there is none.
    [[nodiscard]] HWND SafeOwner() const;

    // What message boxes take from the application object (its name and the safe
    // owner); an application adds what it knows besides.
    [[nodiscard]] static MessageBoxHost BaseMessageBoxHost();

    // A chance to handle a queued message before it is dispatched.
    virtual bool PreTranslateMessage(MSG& message);

    // Dispatches the thread's pending messages; a quit message is posted again
    // for the main loop and ends the dispatching. Asks the queue first, so a call
    // with nothing pending costs no round trip of the message loop.
    void PumpPendingMessages();
    // The same for any thread: with an application, through its
    // PreTranslateMessage; without one, straight to the windows.
    static void PumpThreadMessages(Application* application);

    // The code that Run returns when ExitInstance keeps it.
    [[nodiscard]] int ExitCode() const noexcept { return exit_code_; }
    void SetExitCode(int code) noexcept { exit_code_ = code; }

protected:
    // Returns false to end the program at once.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return exit_code_; }

private:
    HINSTANCE instance_ = nullptr;
    std::wstring name_;
    HWND main_window_ = nullptr;
    HICON icon_ = nullptr;
    int exit_code_ = 0;
};

} // namespace vt::fw
