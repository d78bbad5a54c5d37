#include "framework/application.h"

#include "framework/callback_boundary.h"
#include "support/message_box.h"

namespace vt::fw {
namespace {

Application* current_application = nullptr;

std::wstring application_name() {
    return current_application != nullptr ? current_application->Name() : std::wstring();
}

HWND safe_owner() {
    return current_application != nullptr ? current_application->SafeOwner() : nullptr;
}

} // namespace

Application::Application() {
    current_application = this;
    SetMessageBoxHost(BaseMessageBoxHost());
}

MessageBoxHost Application::BaseMessageBoxHost() {
    MessageBoxHost host;
    host.application_name = &application_name;
    host.safe_owner = &safe_owner;
    return host;
}

Application::~Application() {
    if (current_application == this) {
        current_application = nullptr;
        SetMessageBoxHost({});
    }
}

Application* Application::Current() noexcept {
    return current_application;
}

int Application::Run(HINSTANCE instance) {
    instance_ = instance;
    // InitInstance runs the whole program (its modal dialogs); whatever escapes
    // it ends the program with the error shown.
    GuardCallback(false, [this] { return InitInstance(); });
    const int code = GuardCallback(ExitUnexpectedError, [this] { return ExitInstance(); });
    return UnexpectedErrorReported() ? ExitUnexpectedError : code;
}

HWND Application::SafeOwner() const {
    HWND window =
        main_window_ != nullptr && ::IsWindow(main_window_) ? main_window_ : ::GetActiveWindow();
    if (window == nullptr) {
        return nullptr;
    }
    HWND root = ::GetAncestor(window, GA_ROOTOWNER);
    return ::GetLastActivePopup(root != nullptr ? root : window);
}

bool Application::PreTranslateMessage(MSG& message) {
    HWND main = main_window_;
    return main != nullptr && ::IsDialogMessageW(main, &message);
}

void Application::PumpPendingMessages() {
    PumpThreadMessages(this);
}

void Application::PumpThreadMessages(Application* application) {
    // Every PeekMessageW is a round trip to the window server under some systems;
    // the queue status is cheap and says whether anything waits at all.
    if (HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0) {
        return;
    }
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (application == nullptr || !application->PreTranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace vt::fw
