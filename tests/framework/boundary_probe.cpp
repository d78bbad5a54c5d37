// boundary_probe: a program of the dialog framework whose handler throws.
//   boundary_probe win32|message|hresult   a dialog whose OK handler throws that
//   boundary_probe callback                an enumeration callback that throws
// The error reaches the system's frames only through the framework's boundary,
// which shows it and ends the program with the unexpected-error exit code.
#include "framework/application.h"
#include "framework/callback_boundary.h"
#include "framework/dialog.h"
#include "support/win32_error.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

std::wstring mode;

[[noreturn]] void fail() {
    if (mode == L"win32") {
        vt::ThrowWin32Error(ERROR_ACCESS_DENIED);
    }
    if (mode == L"hresult") {
        throw static_cast<HRESULT>(E_OUTOFMEMORY);
    }
    throw std::runtime_error("The handler failed");
}

class ThrowingDialog : public vt::fw::Dialog {
public:
    ThrowingDialog() : Dialog(500) {}

protected:
    void OnOK() override { fail(); }
};

BOOL CALLBACK throwing_enumeration(HWND, LPARAM) {
    return vt::fw::GuardCallback(FALSE, []() -> BOOL { fail(); });
}

class ProbeApplication : public vt::fw::Application {
protected:
    bool InitInstance() override {
        SetName(L"Boundary probe");
        if (mode == L"callback") {
            ::EnumWindows(&throwing_enumeration, 0);
            return false;
        }
        ThrowingDialog dialog;
        dialog.DoModal();
        return false;
    }
};

ProbeApplication application;

} // namespace

int wmain(int argc, wchar_t** argv) {
    mode = argc > 1 ? argv[1] : L"";
    return application.Run(::GetModuleHandleW(nullptr));
}
