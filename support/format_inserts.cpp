#include "support/format_inserts.h"

#include <windows.h>

#include <vector>

namespace vt {

std::wstring FormatInserts(const std::wstring& format,
                           std::initializer_list<std::wstring> inserts) {
    if (format.empty()) {
        return {};
    }
    // Nine arguments at most; the ones not given are empty.
    std::vector<DWORD_PTR> arguments;
    for (const auto& insert : inserts) {
        arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
    }
    arguments.resize(9, reinterpret_cast<DWORD_PTR>(L""));
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        format.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&text), 0,
        reinterpret_cast<va_list*>(arguments.data()));
    if (length == 0 || text == nullptr) {
        return format;
    }
    std::wstring result(text, length);
    ::LocalFree(text);
    return result;
}

} // namespace vt
