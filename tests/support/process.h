// Runs a program of the build as a child process and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace vt::test {

struct ProcessResult {
    unsigned long exit_code = 0;
    std::string output; // standard output
    std::string errors; // standard error
};

// Runs `program` with the arguments (quoted as needed) and waits for it. The
// child's environment is this process's with the given "NAME=value" entries
// added or replaced.
ProcessResult run_process(const std::wstring& program, const std::vector<std::wstring>& args,
                          const std::vector<std::wstring>& environment = {});

// A child process that runs while the test drives it; ended at destruction.
class RunningProcess {
public:
    RunningProcess(const std::wstring& program, const std::vector<std::wstring>& args);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    [[nodiscard]] unsigned long Wait(unsigned long timeout_ms = 30000); // the exit code
    [[nodiscard]] unsigned long Id() const noexcept { return id_; }

private:
    void* process_ = nullptr;
    unsigned long id_ = 0;
};

// A visible top-level window of a process with the class and caption (either
// may be null: any), waiting up to the timeout for it to appear; null when none did.
[[nodiscard]] void* find_window_of(unsigned long process_id, const wchar_t* class_name,
                                   const wchar_t* caption, unsigned long timeout_ms = 20000);

// The top-level dialog window (message boxes among them) of a process.
[[nodiscard]] inline void* find_dialog_of(unsigned long process_id,
                                          unsigned long timeout_ms = 20000) {
    return find_window_of(process_id, L"#32770", nullptr, timeout_ms);
}

// The folder of the running test program.
[[nodiscard]] std::wstring own_folder();

} // namespace vt::test
