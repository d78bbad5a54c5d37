#include "support/advapi.h"

#include <bit>
#include <new>

namespace vt::advapi {
namespace {

// The module and the functions are looked up once and kept for the process.
HMODULE library() {
    static HMODULE module = nullptr;
    if (module == nullptr) {
        module = ::GetModuleHandleW(L"advapi32.dll");
        if (module == nullptr) {
            module = ::LoadLibraryExW(L"advapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        }
        if (module == nullptr) {
            module = ::LoadLibraryExW(L"advapi32.dll", nullptr, 0);
        }
        if (module == nullptr) {
            ThrowHresult(E_UNEXPECTED);
        }
    }
    return module;
}

template <class Fn>
Fn bind(const char* name, FARPROC& slot) {
    if (slot == nullptr) {
        slot = ::GetProcAddress(library(), name);
        if (slot == nullptr) {
            ThrowHresult(E_NOTIMPL);
        }
    }
    return std::bit_cast<Fn>(slot);
}

void check(BOOL ok) {
    if (!ok) {
        ThrowLastError();
    }
}

// A size query succeeds when the call asks for a bigger buffer.
void check_size_query(BOOL ok, bool query) {
    if (!ok && !(query && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER)) {
        ThrowLastError();
    }
}

} // namespace

void ThrowHresult(HRESULT hr) {
    throw hr;
}

HRESULT HresultFromWin32(DWORD error) noexcept {
    const auto value = static_cast<HRESULT>(error);
    return value <= 0
               ? value
               : static_cast<HRESULT>((error & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

void ThrowLastError() {
    ThrowHresult(HresultFromWin32(::GetLastError()));
}

Buffer::Buffer(std::size_t bytes) : size_(bytes) {
    try {
        data_ = std::make_unique<std::uint64_t[]>((bytes + 7) / 8);
    } catch (const std::bad_alloc&) {
        ThrowHresult(E_OUTOFMEMORY);
    }
}

void OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    static FARPROC slot;
    check(bind<decltype(&::OpenProcessToken)>("OpenProcessToken", slot)(process, access, token));
}

void OpenThreadToken(HANDLE thread, DWORD access, BOOL open_as_self, PHANDLE token) {
    static FARPROC slot;
    const auto fn = bind<decltype(&::OpenThreadToken)>("OpenThreadToken", slot);
    if (fn(thread, access, open_as_self, token)) {
        return;
    }
    if (::GetLastError() != ERROR_NO_TOKEN) {
        ThrowLastError();
    }
    OpenProcessToken(::GetCurrentProcess(), access, token);
}

void GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS type, void* info, DWORD size,
                         DWORD* needed) {
    static FARPROC slot;
    const auto fn = bind<decltype(&::GetTokenInformation)>("GetTokenInformation", slot);
    check_size_query(fn(token, type, info, size, needed), info == nullptr);
}

void LookupPrivilegeValueW(const wchar_t* system, const wchar_t* name, LUID* luid) {
    static FARPROC slot;
    check(bind<decltype(&::LookupPrivilegeValueW)>("LookupPrivilegeValueW", slot)(system, name,
                                                                                  luid));
}

void AdjustTokenPrivileges(HANDLE token, BOOL disable_all, TOKEN_PRIVILEGES* state, DWORD size,
                           TOKEN_PRIVILEGES* previous, DWORD* previous_size) {
    static FARPROC slot;
    const auto fn = bind<decltype(&::AdjustTokenPrivileges)>("AdjustTokenPrivileges", slot);
    ::SetLastError(0);
    const BOOL ok = fn(token, disable_all, state, size, previous, previous_size);
    if (!ok || ::GetLastError() != 0) {
        ThrowLastError();
    }
}

void AllocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD a0, DWORD a1,
                              DWORD a2, DWORD a3, DWORD a4, DWORD a5, DWORD a6, DWORD a7,
                              PSID* sid) {
    static FARPROC slot;
    check(bind<decltype(&::AllocateAndInitializeSid)>("AllocateAndInitializeSid", slot)(
        authority, count, a0, a1, a2, a3, a4, a5, a6, a7, sid));
}

void CopySid(DWORD size, PSID destination, PSID source) {
    static FARPROC slot;
    check(bind<decltype(&::CopySid)>("CopySid", slot)(size, destination, source));
}

bool IsValidSid(PSID sid) {
    if (sid == nullptr) {
        return false;
    }
    static FARPROC slot;
    return bind<decltype(&::IsValidSid)>("IsValidSid", slot)(sid) != FALSE;
}

DWORD GetLengthSid(PSID sid) {
    static FARPROC slot;
    return bind<decltype(&::GetLengthSid)>("GetLengthSid", slot)(sid);
}

bool EqualSid(PSID a, PSID b) {
    static FARPROC slot;
    return bind<decltype(&::EqualSid)>("EqualSid", slot)(a, b) != FALSE;
}

void FreeSid(PSID sid) noexcept {
    try {
        static FARPROC slot;
        bind<decltype(&::FreeSid)>("FreeSid", slot)(sid);
    } catch (HRESULT) {
        // Missing from the library: nothing to do.
    }
}

void LookupAccountNameW(const wchar_t* system, const wchar_t* account, PSID sid, DWORD* sid_size,
                        wchar_t* domain, DWORD* domain_size, SID_NAME_USE* use) {
    static FARPROC slot;
    const auto fn = bind<decltype(&::LookupAccountNameW)>("LookupAccountNameW", slot);
    check_size_query(fn(system, account, sid, sid_size, domain, domain_size, use), sid == nullptr);
}

void GetAce(PACL acl, DWORD index, void** ace) {
    static FARPROC slot;
    check(bind<decltype(&::GetAce)>("GetAce", slot)(acl, index, ace));
}

void AddAce(PACL acl, DWORD revision, DWORD start, void* aces, DWORD size) {
    static FARPROC slot;
    check(bind<decltype(&::AddAce)>("AddAce", slot)(acl, revision, start, aces, size));
}

void AddAccessAllowedAce(PACL acl, DWORD mask, PSID sid) {
    static FARPROC slot;
    check(bind<decltype(&::AddAccessAllowedAce)>("AddAccessAllowedAce", slot)(acl, ACL_REVISION,
                                                                              mask, sid));
}

void InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR sd, DWORD revision) {
    static FARPROC slot;
    check(bind<decltype(&::InitializeSecurityDescriptor)>("InitializeSecurityDescriptor",
                                                          slot)(sd, revision));
}

void InitializeAcl(PACL acl, DWORD size, DWORD revision) {
    static FARPROC slot;
    check(bind<decltype(&::InitializeAcl)>("InitializeAcl", slot)(acl, size, revision));
}

void GetAclInformation(PACL acl, void* info, DWORD size, ACL_INFORMATION_CLASS type) {
    static FARPROC slot;
    check(bind<decltype(&::GetAclInformation)>("GetAclInformation", slot)(acl, info, size, type));
}

void GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR sd, BOOL* present, PACL* dacl,
                               BOOL* defaulted) {
    static FARPROC slot;
    check(bind<decltype(&::GetSecurityDescriptorDacl)>("GetSecurityDescriptorDacl",
                                                       slot)(sd, present, dacl, defaulted));
}

void SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR sd, BOOL present, PACL dacl, BOOL defaulted) {
    static FARPROC slot;
    check(bind<decltype(&::SetSecurityDescriptorDacl)>("SetSecurityDescriptorDacl",
                                                       slot)(sd, present, dacl, defaulted));
}

void GetSecurityDescriptorControl(PSECURITY_DESCRIPTOR sd, SECURITY_DESCRIPTOR_CONTROL* control,
                                  DWORD* revision) {
    static FARPROC slot;
    check(bind<decltype(&::GetSecurityDescriptorControl)>("GetSecurityDescriptorControl",
                                                          slot)(sd, control, revision));
}

void SetSecurityDescriptorControl(PSECURITY_DESCRIPTOR sd, SECURITY_DESCRIPTOR_CONTROL mask,
                                  SECURITY_DESCRIPTOR_CONTROL bits) {
    static FARPROC slot;
    check(bind<decltype(&::SetSecurityDescriptorControl)>("SetSecurityDescriptorControl",
                                                          slot)(sd, mask, bits));
}

void CheckTokenMembership(HANDLE token, PSID sid, BOOL* is_member) {
    static FARPROC slot;
    check(bind<decltype(&::CheckTokenMembership)>("CheckTokenMembership", slot)(token, sid,
                                                                                is_member));
}

void GetFileSecurityW(const wchar_t* path, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR sd,
                      DWORD size, DWORD* needed) {
    static FARPROC slot;
    const auto fn = bind<decltype(&::GetFileSecurityW)>("GetFileSecurityW", slot);
    check_size_query(fn(path, what, sd, size, needed), sd == nullptr);
}

void SetFileSecurityW(const wchar_t* path, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR sd) {
    static FARPROC slot;
    check(bind<decltype(&::SetFileSecurityW)>("SetFileSecurityW", slot)(path, what, sd));
}

} // namespace vt::advapi
