#include "support/error_text.h"

#include "support/string_resource.h"

namespace vt {
namespace {

// FormatMessageW allocates the text with LocalAlloc.
struct local_text {
    wchar_t* text = nullptr;
    ~local_text() {
        if (text != nullptr) {
            ::LocalFree(text);
        }
    }
};

bool format_system_message(DWORD code, DWORD language, std::wstring& out) {
    local_text buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, language & 0xFFFFu, reinterpret_cast<wchar_t*>(&buffer.text), 0, nullptr);
    if (length == 0 || buffer.text == nullptr) {
        return false;
    }
    out.assign(buffer.text, length);
    while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n')) {
        out.pop_back();
    }
    return true;
}

} // namespace

std::wstring SystemMessageText(DWORD code, DWORD language) {
    std::wstring text;
    if (format_system_message(code, language, text)) {
        return text;
    }
    if (::GetLastError() == ERROR_RESOURCE_LANG_NOT_FOUND && format_system_message(code, 0, text)) {
        return text;
    }
    if (code == static_cast<DWORD>(E_FAIL)) {
        return L"Error";
    }
    return SystemMessageText(static_cast<DWORD>(E_FAIL), language);
}

std::wstring ErrorText(DWORD code) {
    if ((code & customer_error_bit) != 0) {
        if ((code & string_id_error_bit) != 0) {
            std::wstring text = LoadStringResource(static_cast<UINT>(code & 0xFFFFu));
            return text.empty() ? SystemMessageText(static_cast<DWORD>(E_FAIL), 0) : text;
        }
        code = static_cast<DWORD>(E_FAIL);
    }
    return SystemMessageText(code, 0);
}

} // namespace vt
