#include "wizard_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vt::driver {
namespace {

struct FindDialog {
    DWORD process_id;
    int control;
    const std::vector<HWND>& except;
    HWND found;
};

BOOL CALLBACK find_dialog(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<FindDialog*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != find->process_id || !::IsWindowVisible(window) ||
        std::find(find->except.begin(), find->except.end(), window) != find->except.end()) {
        return TRUE;
    }
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wcscmp(name, L"#32770") != 0) {
        return TRUE;
    }
    if (find->control != 0 && ::GetDlgItem(window, find->control) == nullptr) {
        return TRUE;
    }
    find->found = window;
    return FALSE;
}

HWND find_dialog_now(DWORD process_id, int control, const std::vector<HWND>& except) {
    FindDialog find{process_id, control, except, nullptr};
    ::EnumWindows(&find_dialog, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Any change of a window anywhere wakes the waiting thread.
void CALLBACK window_changed(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

struct EventHook {
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &window_changed, 0, 0,
                                           WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    ~EventHook() {
        if (hook != nullptr) {
            ::UnhookWinEvent(hook);
        }
    }
};

} // namespace

InstallerProcess::InstallerProcess(const std::wstring& program,
                                   const std::vector<std::wstring>& environment,
                                   const std::wstring& arguments) {
    // The environment block: this process's, with the given entries added.
    std::vector<std::wstring> entries;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
            entries.emplace_back(entry);
        }
        ::FreeEnvironmentStringsW(block);
    }
    for (const std::wstring& added : environment) {
        const std::wstring name = added.substr(0, added.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& e) {
            return _wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(added);
    }
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block += L'\0';
    }
    block += L'\0';

    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty()) {
        command += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &startup, &info)) {
        return;
    }
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    ::WaitForInputIdle(process_, 10000);
}

InstallerProcess::~InstallerProcess() {
    if (process_ == nullptr) {
        return;
    }
    if (Running()) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 10000);
    }
    ::CloseHandle(process_);
}

bool InstallerProcess::Running() const {
    return process_ != nullptr && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD InstallerProcess::Wait(DWORD timeout_ms) {
    if (process_ == nullptr) {
        return static_cast<DWORD>(-1);
    }
    ::WaitForSingleObject(process_, timeout_ms);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_, &code);
    return code;
}

namespace {
std::atomic<bool> wake_on_events{true};
}

void WakeOnWindowEvents(bool wake) noexcept {
    wake_on_events = wake;
}

bool WaitUntil(const std::function<bool()>& ready, DWORD timeout_ms, HANDLE process) {
    static thread_local std::unique_ptr<EventHook> hook;
    if (wake_on_events && !hook) {
        hook = std::make_unique<EventHook>();
    } else if (!wake_on_events && hook) {
        hook.reset();
    }
    const ULONGLONG end = ::GetTickCount64() + timeout_ms;
    for (;;) {
        if (ready()) {
            return true;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) {
            return false;
        }
        // Woken by a window event (delivered as a message to this thread) or by
        // the end of the process; a short ceiling covers changes that send none.
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(end - now, 25));
        const DWORD count = process != nullptr ? 1 : 0;
        const DWORD woke = ::MsgWaitForMultipleObjects(count, &process, FALSE, wait, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        if (count == 1 && woke == WAIT_OBJECT_0) {
            return ready();
        }
    }
}

HWND WaitForDialog(DWORD process_id, int with_control, DWORD timeout_ms) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find_dialog_now(process_id, with_control, {})) != nullptr; },
              timeout_ms);
    return found;
}

HWND WaitForOtherDialog(DWORD process_id, std::vector<HWND> except, DWORD timeout_ms) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find_dialog_now(process_id, 0, except)) != nullptr; },
              timeout_ms);
    return found;
}

std::wstring Text(HWND window) {
    if (window == nullptr) {
        return {};
    }
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(std::min<std::size_t>(got, length));
    return text;
}

std::wstring ItemText(HWND dialog, int id) {
    return Text(::GetDlgItem(dialog, id));
}

std::wstring MessageBoxText(HWND box) {
    return ItemText(box, 0xFFFF);
}

bool Enabled(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && ::IsWindowEnabled(control);
}

bool Checked(HWND dialog, int id) {
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void SetCheck(HWND dialog, int id, bool checked) {
    if (Checked(dialog, id) != checked) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000,
                              &ignored);
    }
}

void Type(HWND dialog, int id, const std::wstring& text) {
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<LPARAM> ComboItemData(HWND dialog, int id) {
    // An extended combo box answers CB_GETITEMDATA with the data of its item.
    HWND combo = ::GetDlgItem(dialog, id);
    std::vector<LPARAM> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        items.push_back(::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    }
    return items;
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

bool PickByData(HWND dialog, int id, LPARAM data) {
    HWND combo = ::GetDlgItem(dialog, id);
    const std::vector<LPARAM> items = ComboItemData(dialog, id);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == data) {
            ::SendMessageW(combo, CB_SETCURSEL, i, 0);
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(combo));
            return true;
        }
    }
    return false;
}

HWND VisiblePage(HWND wizard) {
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (std::wcscmp(name, L"#32770") == 0 && ::IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

HWND PressForNextPage(HWND wizard, int id, DWORD timeout_ms) {
    HWND before = VisiblePage(wizard);
    HWND now = nullptr;
    Press(wizard, id);
    WaitUntil([&] { return (now = VisiblePage(wizard)) != nullptr && now != before; }, timeout_ms);
    return now != before ? now : nullptr;
}

void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool Capture(HWND window, const std::wstring& path) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle(window);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD image_size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + image_size;
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), image_size);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return static_cast<bool>(out);
}

} // namespace vt::driver
