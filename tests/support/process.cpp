#include "process.h"

#include "support/unique_handle.h"

#include <windows.h>

#include <stdexcept>
#include <thread>

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

} // namespace

std::wstring own_folder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

ProcessResult run_process(const std::wstring& program, const std::vector<std::wstring>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    unique_kernel out_read, out_write, err_read, err_write;
    if (!::CreatePipe(out_read.put(), out_write.put(), &inherit, 0) ||
        !::CreatePipe(err_read.put(), err_write.put(), &inherit, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    ::SetHandleInformation(out_read.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(err_read.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring command = quoted(program);
    for (const auto& a : args) {
        command += L" " + quoted(a);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out_write.get();
    startup.hStdError = err_write.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          nullptr, &startup, &info)) {
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

} // namespace vt::test
