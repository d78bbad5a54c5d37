// hold_file PATH MILLISECONDS EVENT: opens PATH with no sharing, signals the named
// event, keeps the file open for the given time and exits. Plays another process
// that has a freshly written file open.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        return 2;
    }
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (ready != nullptr) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
    ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    ::CloseHandle(file);
    return 0;
}
