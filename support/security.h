// Privileges, access lists and group membership, on the advapi32 binding.
#pragma once

#include "support/advapi.h"

#include <windows.h>

#include <string>

namespace vt {

// A security identifier chosen by index; owns its memory.
//   0 (and any index not listed) Everyone       S-1-1-0
//   1 Administrators S-1-5-32-544              2 Users  S-1-5-32-545
//   3 Authenticated Users S-1-5-11             4 the current user's account
//   5 the user of the calling thread's token (or of the process token)
// Construction throws the binding's HRESULT values.
class WellKnownSid {
public:
    enum Index : int {
        Everyone = 0,
        Administrators = 1,
        Users = 2,
        AuthenticatedUsers = 3,
        CurrentAccount = 4,
        TokenUser = 5,
    };

    explicit WellKnownSid(int index);
    WellKnownSid(const WellKnownSid&) = delete;
    WellKnownSid& operator=(const WellKnownSid&) = delete;
    ~WellKnownSid();

    [[nodiscard]] PSID get() const noexcept { return sid_; }
    [[nodiscard]] DWORD length() const { return advapi::GetLengthSid(sid_); }

private:
    void from_authority(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD a0, DWORD a1 = 0);
    void copy_of(PSID source);

    PSID sid_ = nullptr;
    bool from_free_sid_ = false; // built by AllocateAndInitializeSid, else copied to the heap
    std::unique_ptr<std::uint64_t[]> copy_;
};

// Switches a privilege of the current process on or off; false on any failure.
bool SetPrivilege(const wchar_t* name, bool enable) noexcept;

// Adds an access-allowed entry for Users with the mask to the object's access
// list: after the explicit entries of others, before the inherited ones; earlier
// entries for Users are replaced. False after any failure (the object keeps its
// former list).
bool GrantAccess(const std::wstring& path, DWORD mask) noexcept;

// The descriptor that GrantAccess writes, built from the object's current one: the
// new access list and an absolute descriptor that refers to it.
struct GrantedDescriptor {
    advapi::Buffer acl;
    advapi::Buffer descriptor;
};
[[nodiscard]] GrantedDescriptor BuildUsersGrant(PSECURITY_DESCRIPTOR old_descriptor, PSID users,
                                                DWORD mask);

// Whether the calling thread's user belongs to Administrators; false when the
// check itself fails.
[[nodiscard]] bool IsUserAdmin() noexcept;

// A new access list with exactly one access-allowed entry for the identifier.
[[nodiscard]] advapi::Buffer SingleAceDacl(PSID sid, DWORD mask);

} // namespace vt
