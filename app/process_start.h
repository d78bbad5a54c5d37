// The checks at process start, before the application's instance initialisation:
// processor, process-wide library set-up, application identity. A failed check
// shows one message box and ends the process.
#pragma once

#include "app/instance_objects.h"

#include <windows.h>

#include <memory>
#include <string>

namespace vt {

// What the checks ask of the machine; tests play other machines through it.
struct ProcessStartPlatform {
    bool (*has_sse2)() = nullptr;                 // IsProcessorFeaturePresent(SSE2)
    DWORD (*common_controls_version)() = nullptr; // major << 16 | minor of comctl32
    void (*exit_process)(UINT code) = nullptr;    // ends the process
};

[[nodiscard]] ProcessStartPlatform RealProcessStartPlatform();

// Exit codes and texts of the refusals.
inline constexpr UINT ExitIncompatibleProcessor = 1;
inline constexpr UINT ExitInitializationError = static_cast<UINT>(-11);
inline constexpr wchar_t IncompatibleProcessorText[] =
    L"This Version is not compatible with your Configuration.\n\n"
    L"Cette version n'est pas compatible avec votre configuration.\n\n"
    L"Diese Version ist nicht mit Ihrer Konfiguration kompatibel.";
inline constexpr wchar_t InitializationErrorText[] = L"Initialization Error";

// The state that the checks leave for the rest of the process.
class ProcessStart {
public:
    // Runs the checks in order; a refusal ends the process through the platform.
    explicit ProcessStart(const ProcessStartPlatform& platform = RealProcessStartPlatform());

    [[nodiscard]] bool ProcessorChecked() const noexcept { return processor_checked_; }
    [[nodiscard]] const std::wstring& ApplicationIdentity() const noexcept { return identity_; }
    [[nodiscard]] RunningInstanceCounter* Counter() const noexcept { return counter_.get(); }

private:
    bool processor_checked_ = false;
    std::wstring identity_;
    std::unique_ptr<RunningInstanceCounter> counter_;
};

// The checks of this process (the installer constructs them statically).
[[nodiscard]] const ProcessStart* CurrentProcessStart() noexcept;
void SetCurrentProcessStart(const ProcessStart* start) noexcept;

// RunningInstanceCount of this process's counter; 0 without one.
[[nodiscard]] long RunningInstanceCount();

} // namespace vt
