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

// Runs `program` with the arguments (quoted as needed) and waits for it.
ProcessResult run_process(const std::wstring& program, const std::vector<std::wstring>& args);

// The folder of the running test program.
[[nodiscard]] std::wstring own_folder();

} // namespace vt::test
