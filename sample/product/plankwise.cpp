// A stand-in of the product's main program, Plankwise 6.07, for the sample payload
// and the tests.
//   Plankwise.exe                          shows its window until it is closed,
//                                          holding the instance mutex and registered
//                                          in the running-instance counter
//   Plankwise.exe /Register /Background    registers its file association and ends
//                                          with -10 (another code when that fails)
#include "app/instance_objects.h"
#include "sample/product/association.h"

#include <windows.h>

#include <string>

namespace {

constexpr int registered_exit_code = -10;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT area;
        ::GetClientRect(window, &area);
        ::DrawTextW(dc, L"Plankwise 6.07 \u2013 stand-in of the product", -1, &area,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::EndPaint(window, &paint);
        return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

int run_window(HINSTANCE instance) {
    const std::wstring id = vt::ApplicationId();
    vt::InstanceMutex mutex(id);
    mutex.TryAcquire();
    vt::RunningInstanceCounter counter(id);
    counter.Register();

    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"VantorelPlankwiseStandIn";
    ::RegisterClassW(&window_class);
    HWND window = ::CreateWindowW(window_class.lpszClassName, L"Plankwise 6.07",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  480, 240, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
    const std::wstring arguments = command_line != nullptr ? command_line : L"";
    if (arguments.find(L"/Register") != std::wstring::npos &&
        arguments.find(L"/Background") != std::wstring::npos) {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        return vt::sample::RegisterAssociation(self) ? registered_exit_code : 1;
    }
    try {
        return run_window(instance);
    } catch (...) {
        return 2;
    }
}
