// A thin binding to the security functions of advapi32.dll, bound at run time.
// Every function has the arguments of its namesake; a failure is thrown as a bare
// HRESULT value: E_UNEXPECTED when advapi32.dll cannot be loaded, E_NOTIMPL when
// the function is missing, E_OUTOFMEMORY for a buffer, and HRESULT_FROM_WIN32 of
// the last error for a failing call.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

namespace vt::advapi {

[[noreturn]] void ThrowHresult(HRESULT hr);
[[nodiscard]] HRESULT HresultFromWin32(DWORD error) noexcept;
[[noreturn]] void ThrowLastError();

// A zeroed, 8-byte aligned buffer; E_OUTOFMEMORY when it cannot be had.
class Buffer {
public:
    explicit Buffer(std::size_t bytes);
    [[nodiscard]] void* get() const noexcept { return data_.get(); }
    [[nodiscard]] std::size_t size() const noexcept { return size_; }

private:
    std::unique_ptr<std::uint64_t[]> data_;
    std::size_t size_;
};

void OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
// For TOKEN_QUERY; a thread without a token falls back to the process token.
void OpenThreadToken(HANDLE thread, DWORD access, BOOL open_as_self, PHANDLE token);
// Asked with no buffer, the size query's ERROR_INSUFFICIENT_BUFFER is success.
void GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS type, void* info, DWORD size,
                         DWORD* needed);
void LookupPrivilegeValueW(const wchar_t* system, const wchar_t* name, LUID* luid);
// Succeeds only when every privilege was assigned (the last error is 0).
void AdjustTokenPrivileges(HANDLE token, BOOL disable_all, TOKEN_PRIVILEGES* state, DWORD size,
                           TOKEN_PRIVILEGES* previous, DWORD* previous_size);
void AllocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD a0, DWORD a1,
                              DWORD a2, DWORD a3, DWORD a4, DWORD a5, DWORD a6, DWORD a7,
                              PSID* sid);
void CopySid(DWORD size, PSID destination, PSID source);
[[nodiscard]] bool IsValidSid(PSID sid);
[[nodiscard]] DWORD GetLengthSid(PSID sid);
[[nodiscard]] bool EqualSid(PSID a, PSID b);
// Skipped silently when advapi32 lacks it.
void FreeSid(PSID sid) noexcept;
void LookupAccountNameW(const wchar_t* system, const wchar_t* account, PSID sid, DWORD* sid_size,
                        wchar_t* domain, DWORD* domain_size, SID_NAME_USE* use);
void GetAce(PACL acl, DWORD index, void** ace);
void AddAce(PACL acl, DWORD revision, DWORD start, void* aces, DWORD size);
// Revision 2, no inheritance flags.
void AddAccessAllowedAce(PACL acl, DWORD mask, PSID sid);
void InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR sd, DWORD revision);
void InitializeAcl(PACL acl, DWORD size, DWORD revision);
void GetAclInformation(PACL acl, void* info, DWORD size, ACL_INFORMATION_CLASS type);
void GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR sd, BOOL* present, PACL* dacl, BOOL* defaulted);
void SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR sd, BOOL present, PACL dacl, BOOL defaulted);
void GetSecurityDescriptorControl(PSECURITY_DESCRIPTOR sd, SECURITY_DESCRIPTOR_CONTROL* control,
                                  DWORD* revision);
void SetSecurityDescriptorControl(PSECURITY_DESCRIPTOR sd, SECURITY_DESCRIPTOR_CONTROL mask,
                                  SECURITY_DESCRIPTOR_CONTROL bits);
void CheckTokenMembership(HANDLE token, PSID sid, BOOL* is_member);
// Asked with no buffer, the size query's ERROR_INSUFFICIENT_BUFFER is success.
void GetFileSecurityW(const wchar_t* path, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR sd,
                      DWORD size, DWORD* needed);
void SetFileSecurityW(const wchar_t* path, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR sd);

} // namespace vt::advapi
