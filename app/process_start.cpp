#include "app/process_start.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <exception>
#include <locale>

namespace vt {
namespace {

const ProcessStart* current_start = nullptr;

bool real_has_sse2() {
    return ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
}

DWORD real_common_controls_version() {
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    if (comctl == nullptr) {
        comctl = ::LoadLibraryW(L"comctl32.dll");
    }
    if (comctl == nullptr) {
        return 0;
    }
    const auto get_version = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (get_version == nullptr || FAILED(get_version(&info))) {
        return 0;
    }
    const DWORD version = info.dwMajorVersion << 16 | info.dwMinorVersion;
    // Wine's side-by-side common controls 6.0 report 5.81: a library that the
    // manifest's activation context redirects is the 6.0 assembly it names.
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    if (version < 0x60000 &&
        ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                   L"comctl32.dll", &redirection)) {
        return 0x60000;
    }
    return version;
}

void real_exit_process(UINT code) {
    ::ExitProcess(code);
}

[[noreturn]] void refuse(const ProcessStartPlatform& platform, const wchar_t* text, UINT icon,
                         UINT code) {
    ::MessageBoxW(nullptr, text, nullptr, icon);
    platform.exit_process(code);
    std::terminate(); // an exit function that returns is a programming error
}

} // namespace

ProcessStartPlatform RealProcessStartPlatform() {
    return {&real_has_sse2, &real_common_controls_version, &real_exit_process};
}

ProcessStart::ProcessStart(const ProcessStartPlatform& platform) {
    // 1. The processor.
    if (!platform.has_sse2()) {
        refuse(platform, IncompatibleProcessorText, MB_ICONHAND, ExitIncompatibleProcessor);
    }
    processor_checked_ = true;

    constexpr UINT initialization_box = MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND;
    // 2. Process-wide library set-up: error mode and locale.
    try {
        ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        std::locale::global(std::locale::classic());
    } catch (...) {
        refuse(platform, InitializationErrorText, initialization_box, ExitInitializationError);
    }

    // 3. The application identity: common controls 6.0, the window classes, the
    //    identity, and this process registered in the running-instance counter.
    try {
        if (platform.common_controls_version() < 0x60000) {
            throw std::runtime_error("common controls older than 6.0");
        }
        INITCOMMONCONTROLSEX controls{sizeof controls, 0xC0FF};
        if (!::InitCommonControlsEx(&controls)) {
            throw std::runtime_error("InitCommonControlsEx");
        }
        identity_ = ApplicationId();
        counter_ = std::make_unique<RunningInstanceCounter>(identity_);
        counter_->Register();
    } catch (...) {
        refuse(platform, InitializationErrorText, initialization_box, ExitInitializationError);
    }
}

const ProcessStart* CurrentProcessStart() noexcept {
    return current_start;
}
void SetCurrentProcessStart(const ProcessStart* start) noexcept {
    current_start = start;
}

long RunningInstanceCount() {
    return current_start != nullptr && current_start->Counter() != nullptr
               ? current_start->Counter()->Count()
               : 0;
}

} // namespace vt
