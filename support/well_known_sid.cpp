#include "support/security.h"

#include "support/unique_handle.h"

#define SECURITY_WIN32
#include <security.h>

#include <cstring>
#include <vector>

namespace vt {

WellKnownSid::WellKnownSid(int index) {
    switch (index) {
    case Administrators:
        from_authority(SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID,
                       DOMAIN_ALIAS_RID_ADMINS);
        break;
    case Users:
        from_authority(SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID,
                       DOMAIN_ALIAS_RID_USERS);
        break;
    case AuthenticatedUsers:
        from_authority(SECURITY_NT_AUTHORITY, 1, SECURITY_AUTHENTICATED_USER_RID);
        break;
    case CurrentAccount: {
        ULONG name_size = 0;
        ::GetUserNameExW(NameSamCompatible, nullptr, &name_size);
        std::vector<wchar_t> name(name_size + 1);
        if (!::GetUserNameExW(NameSamCompatible, name.data(), &name_size)) {
            advapi::ThrowLastError();
        }
        DWORD sid_size = 0, domain_size = 0;
        SID_NAME_USE use{};
        advapi::LookupAccountNameW(nullptr, name.data(), nullptr, &sid_size, nullptr, &domain_size,
                                   &use);
        advapi::Buffer sid(sid_size);
        std::vector<wchar_t> domain(domain_size + 1);
        advapi::LookupAccountNameW(nullptr, name.data(), sid.get(), &sid_size, domain.data(),
                                   &domain_size, &use);
        if (use != SidTypeUser) {
            advapi::ThrowHresult(E_UNEXPECTED);
        }
        copy_of(sid.get());
        break;
    }
    case TokenUser: {
        unique_kernel token;
        advapi::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put());
        DWORD size = 0;
        advapi::GetTokenInformation(token.get(), ::TokenUser, nullptr, 0, &size);
        advapi::Buffer info(size);
        advapi::GetTokenInformation(token.get(), ::TokenUser, info.get(), size, &size);
        copy_of(static_cast<TOKEN_USER*>(info.get())->User.Sid);
        break;
    }
    case Everyone:
    default:
        from_authority(SECURITY_WORLD_SID_AUTHORITY, 1, SECURITY_WORLD_RID);
        break;
    }
}

WellKnownSid::~WellKnownSid() {
    if (from_free_sid_) {
        advapi::FreeSid(sid_);
    }
}

void WellKnownSid::from_authority(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD a0,
                                  DWORD a1) {
    advapi::AllocateAndInitializeSid(&authority, count, a0, a1, 0, 0, 0, 0, 0, 0, &sid_);
    from_free_sid_ = true;
}

void WellKnownSid::copy_of(PSID source) {
    const DWORD size = advapi::GetLengthSid(source);
    copy_ = std::make_unique<std::uint64_t[]>((size + 7) / 8);
    advapi::CopySid(size, copy_.get(), source);
    sid_ = copy_.get();
}

} // namespace vt
