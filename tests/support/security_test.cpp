// Privileges, access lists and group membership through the advapi32 binding.
#include "scratch_folder.h"
#include "support/security.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <vector>

namespace {

std::wstring sid_text(PSID sid) {
    wchar_t* text = nullptr;
    ::ConvertSidToStringSidW(sid, &text);
    std::wstring result = text != nullptr ? text : L"";
    ::LocalFree(text);
    return result;
}

TEST(WellKnownSids, FollowTheIndexTable) {
    EXPECT_EQ(sid_text(vt::WellKnownSid(0).get()), L"S-1-1-0");
    EXPECT_EQ(sid_text(vt::WellKnownSid(1).get()), L"S-1-5-32-544");
    EXPECT_EQ(sid_text(vt::WellKnownSid(2).get()), L"S-1-5-32-545");
    EXPECT_EQ(sid_text(vt::WellKnownSid(3).get()), L"S-1-5-11");
    EXPECT_EQ(sid_text(vt::WellKnownSid(7).get()), L"S-1-1-0");
    const vt::WellKnownSid token_user(5);
    EXPECT_TRUE(vt::advapi::IsValidSid(token_user.get()));
    EXPECT_TRUE(sid_text(token_user.get()).starts_with(L"S-1-5-21-"));
}

TEST(Binding, FailuresAreThrownAsHresults) {
    EXPECT_EQ(vt::advapi::HresultFromWin32(ERROR_ACCESS_DENIED), static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(vt::advapi::HresultFromWin32(0), 0);
    LUID luid{};
    try {
        vt::advapi::LookupPrivilegeValueW(nullptr, L"SeNoSuchPrivilege", &luid);
        FAIL() << "no exception";
    } catch (HRESULT hr) {
        EXPECT_EQ(hr, vt::advapi::HresultFromWin32(ERROR_NO_SUCH_PRIVILEGE));
    }
    EXPECT_FALSE(vt::advapi::IsValidSid(nullptr));
}

TEST(Privileges, AnUnknownPrivilegeCannotBeSet) {
    EXPECT_FALSE(vt::SetPrivilege(L"SeNoSuchPrivilege", true));
}

TEST(Privileges, TheBackupPrivilegeCanBeSwitchedOnAndOff) {
    EXPECT_TRUE(vt::SetPrivilege(L"SeBackupPrivilege", true));
    EXPECT_TRUE(vt::SetPrivilege(L"SeBackupPrivilege", false));
}

TEST(Membership, TheInstallingUserIsAnAdministrator) {
    EXPECT_TRUE(vt::IsUserAdmin());
}

TEST(SingleEntryList, HoldsExactlyOneEntry) {
    const vt::WellKnownSid everyone(0);
    const auto list = vt::SingleAceDacl(everyone.get(), 0x1F0001);
    auto* acl = static_cast<PACL>(list.get());
    EXPECT_EQ(acl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(::GetAce(acl, 0, &ace));
    EXPECT_EQ(static_cast<ACCESS_ALLOWED_ACE*>(ace)->Mask, 0x1F0001u);
    EXPECT_EQ(static_cast<ACE_HEADER*>(ace)->AceType, ACCESS_ALLOWED_ACE_TYPE);
}

struct Entry {
    std::wstring sid;
    DWORD mask;
    BYTE flags;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> entries_of(PSECURITY_DESCRIPTOR sd) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ::GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted);
    std::vector<Entry> entries;
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        ::GetAce(acl, i, &ace);
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        entries.push_back({sid_text(&allowed->SidStart), allowed->Mask, allowed->Header.AceFlags});
    }
    return entries;
}

// A descriptor from its text form, freed at the end of the test.
class Descriptor {
public:
    explicit Descriptor(const wchar_t* sddl) {
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd_,
                                                               nullptr);
    }
    ~Descriptor() { ::LocalFree(sd_); }
    PSECURITY_DESCRIPTOR get() const { return sd_; }

private:
    PSECURITY_DESCRIPTOR sd_ = nullptr;
};

SECURITY_DESCRIPTOR_CONTROL control_of(PSECURITY_DESCRIPTOR sd) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(sd, &control, &revision);
    return control;
}

// Wine keeps no access lists on files, so the list that GrantAccess writes is
// checked as it is built, in memory.
TEST(GrantingUsersInMemoryAsWineKeepsNoFileLists, ReplacesTheirEntryBetweenExplicitAndInherited) {
    const Descriptor old(L"D:AI(A;;FR;;;WD)(A;;FR;;;BU)(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    ASSERT_NE(old.get(), nullptr);
    const vt::WellKnownSid users(vt::WellKnownSid::Users);
    const auto granted = vt::BuildUsersGrant(old.get(), users.get(), 0x0013019F);
    const auto entries = entries_of(granted.descriptor.get());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].sid, L"S-1-1-0");
    EXPECT_EQ(entries[1], (Entry{L"S-1-5-32-545", 0x0013019F, 0}));
    EXPECT_EQ(entries[2].sid, L"S-1-5-32-544");
    EXPECT_EQ(entries[2].flags & INHERITED_ACE, INHERITED_ACE);
    EXPECT_EQ(control_of(granted.descriptor.get()) &
                  (SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED),
              SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED);
}

TEST(GrantingUsersInMemoryAsWineKeepsNoFileLists, AProtectedListStaysProtected) {
    const Descriptor old(L"D:P(A;;FA;;;BA)");
    const vt::WellKnownSid users(vt::WellKnownSid::Users);
    const auto granted = vt::BuildUsersGrant(old.get(), users.get(), 0x0013019F);
    EXPECT_EQ(entries_of(granted.descriptor.get()),
              (std::vector<Entry>{{L"S-1-5-32-544", FILE_ALL_ACCESS, 0},
                                  {L"S-1-5-32-545", 0x0013019F, 0}}));
    EXPECT_EQ(control_of(granted.descriptor.get()) & SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

TEST(GrantingUsersInMemoryAsWineKeepsNoFileLists, ANullListBecomesTheUsersEntryAlone) {
    SECURITY_DESCRIPTOR old;
    ::InitializeSecurityDescriptor(&old, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&old, TRUE, nullptr, FALSE);
    const vt::WellKnownSid users(vt::WellKnownSid::Users);
    const auto granted = vt::BuildUsersGrant(&old, users.get(), 0x0013019F);
    EXPECT_EQ(entries_of(granted.descriptor.get()),
              (std::vector<Entry>{{L"S-1-5-32-545", 0x0013019F, 0}}));
}

TEST(GrantingUsers, AnExistingFileIsGranted) {
    vt::test::ScratchFolder folder;
    const std::wstring file = folder / L"materials.dat";
    vt::test::write_file(file, "x");
    EXPECT_TRUE(vt::GrantAccess(file, 0x0013019F));
}

TEST(GrantingUsers, AMissingFileIsAFailureNotAnException) {
    vt::test::ScratchFolder folder;
    EXPECT_FALSE(vt::GrantAccess(folder / L"absent", 0x0013019F));
}

} // namespace
