// process_start_probe: runs the process-start checks on a played machine.
//   process_start_probe no-sse2 | old-controls | sound
// A refusal shows its box and ends the process with its exit code; a sound
// machine ends with 0.
#include "app/process_start.h"

#include <windows.h>

#include <string>

namespace {
std::wstring machine;
bool sse2() {
    return machine != L"no-sse2";
}
DWORD controls() {
    return machine == L"old-controls" ? 0x50051 : 0x60000;
}
void leave(UINT code) {
    ::ExitProcess(code);
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    machine = argc > 1 ? argv[1] : L"sound";
    const vt::ProcessStart start({&sse2, &controls, &leave});
    return start.ProcessorChecked() && start.Counter() != nullptr ? 0 : 3;
}
