// A stand-in of the DirectX setup library for the sample payload and the tests:
// the three exports the installer uses, with their arguments and calling
// convention. What it reports is chosen through the environment:
//   VT_DSETUP_VERSION    version, hexadecimal (default 00040009)
//   VT_DSETUP_REVISION   revision, hexadecimal (default 00000387)
//   VT_DSETUP_RESULT     result of DirectXSetupW, decimal (default 0)
//   VT_DSETUP_PROGRESS   how many progress callbacks (reason 18) it makes (default 5)
//   VT_DSETUP_CHECK_DISPATCH  when set, a message is posted to the parent window
//                        before each progress callback, and the setup fails (-5)
//                        when the callback did not dispatch it
#include <windows.h>

#include <cwchar>

using DSetupCallback = DWORD(WINAPI*)(DWORD reason, DWORD message_type, LPSTR message, LPSTR name,
                                      void* info);

namespace {

DSetupCallback registered = nullptr;

DWORD setting(const wchar_t* name, DWORD fallback, int base) {
    wchar_t value[32] = {};
    if (::GetEnvironmentVariableW(name, value, 32) == 0) {
        return fallback;
    }
    return static_cast<DWORD>(std::wcstoul(value, nullptr, base));
}

} // namespace

extern "C" {

__declspec(dllexport) INT WINAPI DirectXSetupGetVersion(DWORD* version, DWORD* revision) {
    if (version != nullptr) {
        *version = setting(L"VT_DSETUP_VERSION", 0x00040009, 16);
    }
    if (revision != nullptr) {
        *revision = setting(L"VT_DSETUP_REVISION", 0x00000387, 16);
    }
    return 1;
}

__declspec(dllexport) INT WINAPI DirectXSetupSetCallback(DSetupCallback callback) {
    registered = callback;
    return 0;
}

__declspec(dllexport) INT WINAPI DirectXSetupW(HWND window, LPWSTR, DWORD) {
    const DWORD steps = setting(L"VT_DSETUP_PROGRESS", 5, 10);
    const bool check_dispatch = setting(L"VT_DSETUP_CHECK_DISPATCH", 0, 10) != 0;
    char message[] = "Installing DirectX components";
    char name[] = "DirectX";
    for (DWORD i = 0; i < steps && registered != nullptr; ++i) {
        if (check_dispatch) {
            ::PostMessageW(window, WM_NULL, 0, 0);
        }
        registered(18, 0, message, name, nullptr);
        MSG left;
        if (check_dispatch && ::PeekMessageW(&left, window, WM_NULL, WM_NULL, PM_NOREMOVE)) {
            return -5; // the parent's messages waited through the callback
        }
        ::Sleep(10);
    }
    return static_cast<INT>(setting(L"VT_DSETUP_RESULT", 0, 10));
}

} // extern "C"
