// What the benchmarks measure with: a precise clock and the process's peak
// working set.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vt::bench {

inline double now_seconds() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline SIZE_T peak_working_set() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// Runs this program again with the arguments (after its own quoted path), in a
// process of its own so that its peak working set is its own; its exit code.
inline int run_self(const std::wstring& arguments) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    DWORD code = 1;
    if (::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::WaitForSingleObject(info.hProcess, INFINITE);
        ::GetExitCodeProcess(info.hProcess, &code);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    return static_cast<int>(code);
}

// The middle value (the upper one of an even count); 0 for none.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace vt::bench
