#include "app/instance_objects.h"

#include "app/version_info.h"
#include "support/security.h"
#include "support/win32_error.h"

namespace vt {
namespace {

constexpr DWORD mutex_full_access = 0x1F0001;
constexpr DWORD semaphore_full_access = 0x1F0003;

// A security descriptor whose list admits Everyone with the given access.
class EveryoneDescriptor {
public:
    explicit EveryoneDescriptor(DWORD access)
        : everyone_(WellKnownSid::Everyone), list_(SingleAceDacl(everyone_.get(), access)) {
        ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorDacl(&descriptor_, TRUE, static_cast<PACL>(list_.get()), FALSE);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = &descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

private:
    WellKnownSid everyone_;
    advapi::Buffer list_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

} // namespace

std::wstring ApplicationId() {
    const VersionInfo own = VersionInfo::OfRunningExecutable();
    std::wstring id = own.String(L"ApplicationId");
    if (id.empty()) {
        id = own.String(L"ProductName");
    }
    if (id.empty()) {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        id = path;
        id.erase(0, id.find_last_of(L"\\/") + 1);
        id = id.substr(0, id.find_last_of(L'.'));
    }
    return id;
}

std::wstring InstanceMutexName(const std::wstring& application_id) {
    return L"Global\\" + application_id + L".{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
}

std::wstring RunningInstanceCounterName(const std::wstring& application_id) {
    return L"Global\\" + application_id + L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
}

InstanceMutex::InstanceMutex(const std::wstring& application_id) {
    try {
        EveryoneDescriptor security(mutex_full_access);
        handle_.reset(::CreateMutexW(security.attributes(), FALSE,
                                     InstanceMutexName(application_id).c_str()));
    } catch (HRESULT) {
        handle_.reset(::CreateMutexW(nullptr, FALSE, InstanceMutexName(application_id).c_str()));
    }
    if (!handle_) {
        creation_error_ = ::GetLastError();
    }
}

InstanceMutex::~InstanceMutex() {
    if (owned_) {
        Release();
    }
}

bool InstanceMutex::TryAcquire() {
    if (!handle_) {
        owned_ = false;
        failure_ =
            creation_error_ != 0 ? creation_error_ : static_cast<DWORD>(ERROR_INVALID_HANDLE);
        return false;
    }
    const DWORD result = ::WaitForSingleObject(handle_.get(), 0);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (owned_) {
        failure_ = 0;
    } else if (result == WAIT_TIMEOUT) {
        failure_ = ERROR_BUSY;
    } else {
        failure_ = ::GetLastError();
    }
    return owned_;
}

void InstanceMutex::Release() {
    if (owned_) {
        ::ReleaseMutex(handle_.get());
    }
    owned_ = false;
}

RunningInstanceCounter::RunningInstanceCounter(const std::wstring& application_id) {
    try {
        EveryoneDescriptor security(semaphore_full_access);
        handle_.reset(::CreateSemaphoreW(security.attributes(), 0, 0x7FFFFFFF,
                                         RunningInstanceCounterName(application_id).c_str()));
    } catch (HRESULT) {
        ThrowWin32Error(ERROR_INVALID_SECURITY_DESCR);
    }
    if (!handle_) {
        ThrowWin32Error(::GetLastError());
    }
}

RunningInstanceCounter::~RunningInstanceCounter() {
    long taken = 0;
    for (; taken < added_; ++taken) {
        if (::WaitForSingleObject(handle_.get(), 0) != WAIT_OBJECT_0) {
            if (taken > 0) {
                ::ReleaseSemaphore(handle_.get(), taken, nullptr);
            }
            break;
        }
    }
}

void RunningInstanceCounter::Register() {
    if (!::ReleaseSemaphore(handle_.get(), 1, nullptr)) {
        ThrowWin32Error(::GetLastError());
    }
    ++added_;
}

long RunningInstanceCounter::Count() {
    LONG previous = 0;
    if (::ReleaseSemaphore(handle_.get(), 1, &previous)) {
        ::WaitForSingleObject(handle_.get(), 0);
    }
    return previous;
}

} // namespace vt
