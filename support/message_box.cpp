#include "support/message_box.h"

#include "support/string_resource.h"

namespace vt {
namespace {

MessageBoxHost current_host;

HWND default_owner() {
    HWND active = ::GetActiveWindow();
    if (active == nullptr) {
        return nullptr;
    }
    HWND root = ::GetAncestor(active, GA_ROOTOWNER);
    return ::GetLastActivePopup(root != nullptr ? root : active);
}

std::wstring executable_name() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const auto dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

} // namespace

void SetMessageBoxHost(const MessageBoxHost& host) noexcept {
    current_host = host;
}

UINT MessageBoxTypeWithIcon(UINT type) noexcept {
    if ((type & MB_ICONMASK) != 0) {
        return type;
    }
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return type | MB_ICONEXCLAMATION;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return type | MB_ICONQUESTION;
    default:
        return type;
    }
}

std::wstring MessageBoxCaption() {
    std::wstring caption;
    if (current_host.application_name != nullptr) {
        caption = current_host.application_name();
    }
    if (caption.empty() && current_host.version_caption != nullptr) {
        caption = current_host.version_caption();
    }
    return caption.empty() ? executable_name() : caption;
}

int ShowMessage(const std::wstring& text, UINT type) {
    type = MessageBoxTypeWithIcon(type);
    HWND owner = current_host.safe_owner != nullptr ? current_host.safe_owner() : default_owner();
    if (owner != nullptr) {
        if ((::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
            type |= MB_RTLREADING;
        }
    } else if (current_host.ui_right_to_left != nullptr && current_host.ui_right_to_left()) {
        type |= MB_RTLREADING;
    }
    return ::MessageBoxW(owner, text.c_str(), MessageBoxCaption().c_str(), type);
}

int ShowMessage(UINT string_id, UINT type) {
    return ShowMessage(LoadStringResource(string_id), type);
}

} // namespace vt
