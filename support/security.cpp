#include "support/security.h"

#include "support/unique_handle.h"

#include <cstring>

namespace vt {
namespace {

constexpr BYTE inherited_ace_flag = INHERITED_ACE; // 0x10

// The identifier stored right after an entry's header and mask.
PSID sid_of(void* ace) {
    return &static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
}

// Copies entries [first, last) of `from` to the end of `to`, leaving out those for `skip`.
void copy_entries(PACL from, DWORD first, DWORD last, PACL to, PSID skip) {
    for (DWORD i = first; i < last; ++i) {
        void* ace = nullptr;
        advapi::GetAce(from, i, &ace);
        if (advapi::EqualSid(sid_of(ace), skip)) {
            continue;
        }
        advapi::AddAce(to, ACL_REVISION, MAXDWORD, ace, static_cast<ACE_HEADER*>(ace)->AceSize);
    }
}

} // namespace

bool SetPrivilege(const wchar_t* name, bool enable) noexcept {
    try {
        unique_kernel token;
        advapi::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                 token.put());
        LUID luid{};
        advapi::LookupPrivilegeValueW(nullptr, name, &luid);
        TOKEN_PRIVILEGES request{};
        request.PrivilegeCount = 1;
        request.Privileges[0].Luid = luid;
        request.Privileges[0].Attributes = 0;
        TOKEN_PRIVILEGES previous{};
        DWORD previous_size = sizeof previous;
        advapi::AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof request, &previous,
                                      &previous_size);
        previous.PrivilegeCount = 1;
        previous.Privileges[0].Luid = luid;
        if (enable) {
            previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
        } else {
            previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
        }
        advapi::AdjustTokenPrivileges(token.get(), FALSE, &previous, previous_size, nullptr,
                                      nullptr);
        return true;
    } catch (HRESULT) {
        return false;
    }
}

GrantedDescriptor BuildUsersGrant(PSECURITY_DESCRIPTOR old_descriptor, PSID users, DWORD mask) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL old_acl = nullptr;
    advapi::GetSecurityDescriptorDacl(old_descriptor, &present, &old_acl, &defaulted);
    ACL_SIZE_INFORMATION info{0, sizeof(ACL), 0};
    if (present && old_acl != nullptr) {
        advapi::GetAclInformation(old_acl, &info, sizeof info, AclSizeInformation);
    } else {
        old_acl = nullptr; // no list, or a null one that grants everything
    }

    const DWORD size = info.AclBytesInUse + advapi::GetLengthSid(users) + 8;
    GrantedDescriptor granted{advapi::Buffer(size), advapi::Buffer(SECURITY_DESCRIPTOR_MIN_LENGTH)};
    auto* new_acl = static_cast<PACL>(granted.acl.get());
    advapi::InitializeAcl(new_acl, size, ACL_REVISION);

    DWORD first_inherited = info.AceCount;
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* ace = nullptr;
        advapi::GetAce(old_acl, i, &ace);
        if ((static_cast<ACE_HEADER*>(ace)->AceFlags & inherited_ace_flag) != 0) {
            first_inherited = i;
            break;
        }
    }
    copy_entries(old_acl, 0, first_inherited, new_acl, users);
    advapi::AddAccessAllowedAce(new_acl, mask, users);
    copy_entries(old_acl, first_inherited, info.AceCount, new_acl, users);

    PSECURITY_DESCRIPTOR descriptor = granted.descriptor.get();
    advapi::InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION);
    advapi::SetSecurityDescriptorDacl(descriptor, TRUE, new_acl, FALSE);

    // The inheritance state carries over; without the control functions it is skipped.
    try {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        advapi::GetSecurityDescriptorControl(old_descriptor, &control, &revision);
        if ((control & SE_DACL_AUTO_INHERITED) != 0) {
            advapi::SetSecurityDescriptorControl(descriptor,
                                                 SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED,
                                                 SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED);
        } else if ((control & SE_DACL_PROTECTED) != 0) {
            advapi::SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        }
    } catch (HRESULT hr) {
        if (hr != E_NOTIMPL) {
            throw;
        }
    }
    return granted;
}

bool GrantAccess(const std::wstring& path, DWORD mask) noexcept {
    try {
        const WellKnownSid users(WellKnownSid::Users);
        DWORD needed = 0;
        advapi::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
        advapi::Buffer old_descriptor(needed);
        advapi::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, old_descriptor.get(),
                                 needed, &needed);
        const GrantedDescriptor granted = BuildUsersGrant(old_descriptor.get(), users.get(), mask);
        advapi::SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, granted.descriptor.get());
        return true;
    } catch (HRESULT) {
        return false;
    }
}

bool IsUserAdmin() noexcept {
    try {
        const WellKnownSid administrators(WellKnownSid::Administrators);
        BOOL member = FALSE;
        advapi::CheckTokenMembership(nullptr, administrators.get(), &member);
        return member != FALSE;
    } catch (HRESULT) {
        return false;
    }
}

advapi::Buffer SingleAceDacl(PSID sid, DWORD mask) {
    const DWORD size = advapi::GetLengthSid(sid) + 16;
    advapi::Buffer list(size);
    advapi::InitializeAcl(static_cast<PACL>(list.get()), size, ACL_REVISION);
    advapi::AddAccessAllowedAce(static_cast<PACL>(list.get()), mask, sid);
    return list;
}

} // namespace vt
