// instance_helper: plays another process of the application.
//   instance_helper hold-mutex ID       takes the instance mutex and ends while holding it
//   instance_helper register ID EVENT   registers in the running-instance counter,
//                                       signals EVENT and waits until it is reset
#include "app/instance_objects.h"

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"hold-mutex") {
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, vt::InstanceMutexName(argv[2]).c_str());
        if (mutex == nullptr || ::WaitForSingleObject(mutex, 5000) != WAIT_OBJECT_0) {
            return 1;
        }
        ::ExitProcess(0); // without releasing: the mutex is abandoned
    }
    if (argc >= 4 && std::wstring(argv[1]) == L"register") {
        vt::RunningInstanceCounter counter(argv[2]);
        counter.Register();
        HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, argv[3]);
        if (event == nullptr) {
            return 1;
        }
        ::SetEvent(event);
        while (::WaitForSingleObject(event, 0) == WAIT_OBJECT_0) {
            ::Sleep(20);
        }
        return 0;
    }
    return 2;
}
