#include "framework/dialog.h"

#include "framework/application.h"
#include "support/format_inserts.h"
#include "support/message_box.h"

#include "framework/callback_boundary.h"

#include <algorithm>
#include <vector>

namespace vt::fw {
namespace {

// Ends a data exchange whose validation failed.
struct ExchangeFailed {};

HINSTANCE module_instance() {
    const Application* application = Application::Current();
    return application != nullptr && application->Instance() != nullptr
               ? application->Instance()
               : ::GetModuleHandleW(nullptr);
}

std::wstring window_text(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

bool is_radio_button(HWND control) {
    if ((::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
        return true;
    }
    wchar_t class_name[16] = {};
    ::GetClassNameW(control, class_name, 16);
    const auto type = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(class_name, L"Button") == 0 &&
           (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

} // namespace

void DataExchange::Text(int id, std::wstring& value, std::size_t max_length) {
    HWND control = dialog_.Item(id);
    if (!save_) {
        if (max_length > 0) {
            ::SendMessageW(control, EM_LIMITTEXT, max_length, 0);
        }
        ::SetWindowTextW(control, value.c_str());
        return;
    }
    std::wstring text = window_text(control);
    if (max_length > 0 && text.size() > max_length) {
        ShowMessage(
            FormatInserts(L"Enter no more than %1 characters.", {std::to_wstring(max_length)}),
            MB_ICONEXCLAMATION);
        Fail(id);
    }
    value = std::move(text);
}

void DataExchange::Check(int id, bool& value) {
    if (save_) {
        value = ::IsDlgButtonChecked(dialog_.Handle(), id) == BST_CHECKED;
    } else {
        ::CheckDlgButton(dialog_.Handle(), id, value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DataExchange::Radio(int first_id, int& index) {
    // The group: the radio buttons from the first one to the next control with
    // WS_GROUP; labels and other controls in between do not count.
    std::vector<HWND> buttons;
    for (HWND control = dialog_.Item(first_id); control != nullptr;) {
        if (is_radio_button(control)) {
            buttons.push_back(control);
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
        if (control == nullptr || (::GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) != 0) {
            break;
        }
    }
    if (save_) {
        index = -1;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (::SendMessageW(buttons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
                index = static_cast<int>(i);
            }
        }
    } else {
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            ::SendMessageW(buttons[i], BM_SETCHECK,
                           static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void DataExchange::Fail(int id) {
    HWND control = dialog_.Item(id);
    if (control != nullptr) {
        ::SetFocus(control);
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
    throw ExchangeFailed{};
}

Dialog::~Dialog() {
    // The derived parts are gone by now: the window hears nothing more from here
    // on, and what its destruction sends goes to the system's dialog procedure.
    Detach();
    Destroy();
}

void Dialog::Detach() noexcept {
    if (window_ != nullptr && ::IsWindow(window_)) {
        ::SetWindowLongPtrW(window_, DWLP_USER, 0);
    }
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    if (owner == nullptr && Application::Current() != nullptr) {
        owner = Application::Current()->SafeOwner();
    }
    return ::DialogBoxParamW(module_instance(), MAKEINTRESOURCEW(template_id_), owner, &Procedure,
                             reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
    modal_ = false;
    return ::CreateDialogParamW(module_instance(), MAKEINTRESOURCEW(template_id_), parent,
                                &Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
    if (!modal_ && window_ != nullptr && ::IsWindow(window_)) {
        ::DestroyWindow(window_);
    }
    window_ = nullptr;
}

bool Dialog::UpdateData(bool save) {
    DataExchange exchange(*this, save);
    try {
        DoDataExchange(exchange);
        return true;
    } catch (const ExchangeFailed&) {
        return false;
    }
}

void Dialog::EndDialog(INT_PTR result) {
    if (modal_) {
        ::EndDialog(window_, result);
    }
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool Dialog::OnCommand(WORD, WORD, HWND) {
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

namespace details {
namespace {
DialogDispatchObserver dispatch_observer = nullptr;
}
void SetDialogDispatchObserver(DialogDispatchObserver observer) noexcept {
    dispatch_observer = observer;
}
} // namespace details

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lparam);
        ::SetWindowLongPtrW(window, DWLP_USER, lparam);
        dialog->window_ = window;
    }
    auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    if (details::dispatch_observer != nullptr) {
        details::dispatch_observer(dialog, message);
    }
    // Nothing may leave this procedure: an error ends the dialog (and the modal
    // dialog that holds it, for a page) after it has been shown.
    INT_PTR handled = FALSE;
    try {
        handled = dialog->Handle(message, wparam, lparam);
    } catch (...) {
        ReportUnexpectedError(std::current_exception());
        HWND root = ::GetAncestor(window, GA_ROOT);
        ::EndDialog(root != nullptr ? root : window, -1);
        handled = TRUE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->window_ = nullptr;
    }
    return handled;
}

bool Dialog::ReturnsResultDirectly(UINT message) noexcept {
    // The messages whose answer the system takes from the procedure's return value
    // rather than from DWLP_MSGRESULT.
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

bool Dialog::CommandRunning(WORD id) const noexcept {
    return std::find(running_commands_.begin(), running_commands_.end(), id) !=
           running_commands_.end();
}

INT_PTR Dialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog() ? TRUE : FALSE;
    }
    if (message == WM_COMMAND) {
        const WORD id = LOWORD(wparam);
        const WORD code = HIWORD(wparam);
        // A handler that dispatches messages while it works is not entered again
        // by its own command (a second press of its button while it runs).
        if (code == BN_CLICKED && CommandRunning(id)) {
            return TRUE;
        }
        running_commands_.push_back(id);
        struct Finished {
            std::vector<WORD>& running;
            ~Finished() { running.pop_back(); }
        } finished{running_commands_};
        if (OnCommand(id, code, reinterpret_cast<HWND>(lparam))) {
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wparam, lparam, result)) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace vt::fw
