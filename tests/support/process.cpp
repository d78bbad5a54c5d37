#include "process.h"

#include "support/unique_handle.h"

#include <windows.h>

#include <stdexcept>
#include <cwchar>
#include <thread>
#include <vector>

namespace vt::test {
namespace {

std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

std::string drain(HANDLE pipe) {
    std::string text;
    char block[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, block, sizeof block, &got, nullptr) && got > 0) {
        text.append(block, got);
    }
    return text;
}

std::wstring command_line(const std::wstring& program, const std::vector<std::wstring>& args) {
    std::wstring command = quoted(program);
    for (const auto& a : args) {
        command += L" " + quoted(a);
    }
    return command;
}

std::vector<wchar_t> environment_block(const std::vector<std::wstring>& changes) {
    std::vector<std::wstring> entries;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p != L'\0'; p += wcslen(p) + 1) {
        entries.emplace_back(p);
    }
    ::FreeEnvironmentStringsW(current);
    for (const auto& change : changes) {
        const std::wstring name = change.substr(0, change.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& e) {
            return _wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(change);
    }
    std::vector<wchar_t> block;
    for (const auto& e : entries) {
        block.insert(block.end(), e.begin(), e.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

RunningProcess::RunningProcess(const std::wstring& program, const std::vector<std::wstring>& args) {
    std::wstring command = command_line(program, args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        throw std::runtime_error("CreateProcess failed");
    }
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

RunningProcess::~RunningProcess() {
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_, 99);
    }
    ::CloseHandle(process_);
}

unsigned long RunningProcess::Wait(unsigned long timeout_ms) {
    if (::WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) {
        return 0xDEADu;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD id;
    const wchar_t* class_name;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t cls[64] = {};
    wchar_t text[256] = {};
    ::GetClassNameW(window, cls, 64);
    ::GetWindowTextW(window, text, 256);
    if (owner == search->id && ::IsWindowVisible(window) &&
        (search->class_name == nullptr || wcscmp(cls, search->class_name) == 0) &&
        (search->caption == nullptr || wcscmp(text, search->caption) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void* find_window_of(unsigned long process_id, const wchar_t* class_name, const wchar_t* caption,
                     unsigned long timeout_ms) {
    for (unsigned long waited = 0; waited <= timeout_ms; waited += 50) {
        WindowSearch search{process_id, class_name, caption, nullptr};
        ::EnumWindows(&match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        ::Sleep(50);
    }
    return nullptr;
}

ProcessResult run_process(const std::wstring& program, const std::vector<std::wstring>& args,
                          const std::vector<std::wstring>& environment) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    unique_kernel out_read, out_write, err_read, err_write;
    if (!::CreatePipe(out_read.put(), out_write.put(), &inherit, 0) ||
        !::CreatePipe(err_read.put(), err_write.put(), &inherit, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    ::SetHandleInformation(out_read.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(err_read.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring command = command_line(program, args);
    std::vector<wchar_t> block = environment_block(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out_write.get();
    startup.hStdError = err_write.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                          CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &startup, &info)) {
        throw std::runtime_error("CreateProcess failed");
    }
    unique_kernel process(info.hProcess);
    unique_kernel thread(info.hThread);
    out_write.reset();
    err_write.reset();

    ProcessResult result;
    std::thread errors([&] { result.errors = drain(err_read.get()); });
    result.output = drain(out_read.get());
    errors.join();
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    result.exit_code = code;
    return result;
}

std::wstring own_folder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

} // namespace vt::test
