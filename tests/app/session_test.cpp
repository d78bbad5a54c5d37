// The installer session: languages of real users, version detection against
// stand-in executables, the named objects shared with other processes, and the
// checks at process start.
#include "app/existing_install.h"
#include "app/install_app.h"
#include "app/instance_objects.h"
#include "app/process_start.h"
#include "app/version_info.h"
#include "lang/change_language.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "process.h"
#include "scratch_folder.h"
#include "support/product_constants.h"
#include "support/registry.h"
#include "support/security.h"
#include "support/string_resource.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace {

using vt::ExistingInstall;

std::wstring helper(const wchar_t* name) {
    return vt::test::own_folder() + L"\\" + name;
}

TEST(Languages, RightToLeftLanguages) {
    EXPECT_TRUE(vt::IsRightToLeft(vt::Hebrew));
    EXPECT_FALSE(vt::IsRightToLeft(vt::English));
    EXPECT_FALSE(vt::IsRightToLeft(vt::Greek));
}

TEST(Languages, TheLanguageSetsAreThoseOfTheProduct) {
    EXPECT_TRUE(vt::InSet(vt::ProductLanguages, vt::Vietnamese));
    EXPECT_FALSE(vt::InSet(vt::ProductLanguages, vt::Danish));
    EXPECT_FALSE(vt::InSet(vt::TranslatedLanguages, vt::Dutch));
    EXPECT_TRUE(vt::InSet(vt::TranslatedLanguages, vt::Romanian));
    EXPECT_EQ(vt::LanguageOfLangId(0x0804), vt::ChineseSimplified);
    EXPECT_EQ(vt::LanguageOfLangId(0x1004), vt::ChineseSimplified); // Singapore
    EXPECT_EQ(vt::LanguageOfLangId(0x0404), -1);                    // Taiwan
}

// The test program carries the installer's string table.
TEST(Messages, EveryTranslatedBlockLacksOnly1131) {
    const UINT ids[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011,
                        1012, 1013, 1014, 1015, 1016, 1017, 1018, 1100, 1101, 1102, 1103, 1104,
                        1105, 1106, 1107, 1108, 1109, 1110, 1111, 1112, 1113, 1114, 1115, 1117,
                        1118, 1119, 1120, 1121, 1122, 1123, 1124, 1125, 1126, 1127, 1129};
    for (int language = 0; language < vt::LanguageCount; ++language) {
        const UINT offset = vt::TableOffset(language);
        for (UINT id : ids) {
            const std::wstring text = vt::LoadStringResource(id + offset);
            if (vt::InSet(vt::TranslatedLanguages, language)) {
                EXPECT_FALSE(text.empty() || text == L"#")
                    << "language " << language << " id " << id;
            } else {
                EXPECT_EQ(text, L"#") << "language " << language << " id " << id;
            }
        }
        EXPECT_EQ(vt::LoadStringResource(1131 + offset) == L"#", language != vt::French);
    }
}

TEST(Messages, InsertsAndLineBreaks) {
    vt::SetLanguage(vt::English);
    EXPECT_EQ(vt::LocalizedString(1101, {L"Plankwise 6.05", L"Plankwise 6.07"}),
              L"Update from 'Plankwise 6.05' to 'Plankwise 6.07'.");
    EXPECT_EQ(vt::LocalizedString(1110),
              L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?");
    EXPECT_EQ(vt::LocalizedString(1115, {L"C:\\a.dll"}), L"Copying File  C:\\a.dll...");
    EXPECT_EQ(vt::LocalizedTitle(false), L"Installer");
}

// Stand-ins of the product's executable with chosen version resources.
std::wstring standin(const wchar_t* name) {
    return helper(name);
}

TEST(Detection, ComparesTheInstalledVersionWithThisInstallers) {
    vt::SetLanguage(vt::English);
    auto detect = [](const wchar_t* name) {
        return vt::DetectExistingInstall(standin(name));
    };
    EXPECT_EQ(detect(L"standin_6_5_0_0.exe").state, ExistingInstall::OlderVersion);
    EXPECT_EQ(detect(L"standin_6_5_0_0.exe").version_text, L"Plankwise 6.05");
    EXPECT_EQ(detect(L"standin_6_7_0_1.exe").state, ExistingInstall::OlderVersion);
    EXPECT_EQ(detect(L"standin_6_7_0_2.exe").state, ExistingInstall::SameVersion);
    EXPECT_EQ(detect(L"standin_6_7_0_2.exe").version_text, L"");
    EXPECT_EQ(detect(L"standin_6_7_0_3.exe").state, ExistingInstall::NewerVersion);
    EXPECT_EQ(detect(L"standin_7_0_0_0.exe").state, ExistingInstall::NewerVersion);
    EXPECT_EQ(detect(L"standin_7_0_0_0.exe").version_text, L"Plankwise 7.00");
    EXPECT_EQ(detect(L"standin_none.exe").state, ExistingInstall::SameVersion);
    EXPECT_EQ(vt::DetectExistingInstall(L"").state, ExistingInstall::NoInstall);
}

TEST(Detection, APreReleaseIsABetaInEnglishAndABetaWithCircumflexInFrench) {
    const vt::VersionInfo beta = vt::VersionInfo::OfFile(standin(L"standin_beta.exe"));
    vt::SetLanguage(vt::English);
    EXPECT_EQ(vt::VersionDisplayText(beta), L"Plankwise 6.08 beta \u2013 Private");
    vt::SetLanguage(vt::French);
    EXPECT_EQ(vt::VersionDisplayText(beta), L"Plankwise 6.08 b\u00EAta \u2013 Private");
    vt::SetLanguage(vt::English);
}

TEST(VersionResources, StringsOfTheFirstUnicodeTranslation) {
    const vt::VersionInfo info = vt::VersionInfo::OfFile(standin(L"standin_6_7_0_2.exe"));
    EXPECT_EQ(info.Version(), vt::product::FileVersion);
    EXPECT_EQ(info.Translations(), std::vector<std::wstring>{L"040c04b0"});
    EXPECT_EQ(info.String(L"ApplicationId"), L"Plankwise6");
    EXPECT_EQ(info.String(L"LegalCopyright"), L"");
    const vt::VersionInfo none = vt::VersionInfo::OfFile(standin(L"standin_none.exe"));
    EXPECT_EQ(none.Version(), 0u);
    EXPECT_EQ(none.String(L"ProductName"), L"");
}

TEST(VersionResources, TheRunningProgramsOwn) {
    const vt::VersionInfo own = vt::VersionInfo::OfRunningExecutable();
    EXPECT_EQ(own.String(L"ApplicationId"), L"PlankwiseTests");
    EXPECT_EQ(vt::ApplicationId(), L"PlankwiseTests");
}

// The registry tests change HKLM\Software\Vantorel and the uninstall key: ctest
// runs them alone (resource lock).
class InstalledProduct : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
        if (const auto key = vt::OpenKey(HKEY_LOCAL_MACHINE, vt::product::MakerKey)) {
            ::RegDeleteValueW(key.get(), vt::product::ProgramPathValue);
        }
        ::DeleteFileW((vt::test::own_folder() + L"\\Uninstall.ulog").c_str());
    }
    vt::test::ScratchFolder folder;
};

TEST_F(InstalledProduct, IsFoundThroughItsProgramPathAndItsRecordThroughTheUninstaller) {
    const std::wstring product = folder / L"Plankwise.exe";
    ::CopyFileW(standin(L"standin_6_5_0_0.exe").c_str(), product.c_str(), FALSE);
    const auto maker = vt::CreateKey(HKEY_LOCAL_MACHINE, vt::product::MakerKey);
    ::RegSetValueExW(maker.get(), vt::product::ProgramPathValue, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(product.c_str()),
                     static_cast<DWORD>((product.size() + 1) * 2));
    EXPECT_EQ(vt::InstalledProductPath(), product);
    EXPECT_EQ(vt::DetectExistingInstall().state, ExistingInstall::OlderVersion);

    // No record anywhere yet.
    EXPECT_EQ(vt::FindRecordFile(), L"");
    // The record next to the product (third candidate).
    vt::test::write_file(folder / L"Uninstall.ulog", "x");
    EXPECT_EQ(vt::FindRecordFile(), folder / L"Uninstall.ulog");
    // The registered uninstaller's folder comes first.
    vt::test::ScratchFolder other;
    vt::test::write_file(other / L"Uninstall.ulog", "x");
    const auto uninstall = vt::CreateKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
    const std::wstring command = other / L"Uninstall.exe";
    ::RegSetValueExW(uninstall.get(), L"UninstallString", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * 2));
    EXPECT_EQ(vt::FindRecordFile(), other / L"Uninstall.ulog");
    // Its record deleted, the one next to the running installer wins.
    ::DeleteFileW((other / L"Uninstall.ulog").c_str());
    vt::test::write_file(vt::test::own_folder() + L"\\Uninstall.ulog", "x");
    EXPECT_EQ(vt::FindRecordFile(), vt::test::own_folder() + L"\\Uninstall.ulog");
}

TEST(NamedObjects, TheirNamesCarryTheApplicationId) {
    EXPECT_EQ(vt::InstanceMutexName(L"Plankwise6"),
              L"Global\\Plankwise6.{5ead623c-dfcd-474d-8e3c-e6978cac039e}");
    EXPECT_EQ(vt::RunningInstanceCounterName(L"Plankwise6"),
              L"Global\\Plankwise6.{a3526b56-ca7c-4e16-8a26-da7758a378fd}");
}

std::wstring unique_id(const wchar_t* what) {
    return std::wstring(L"PlankwiseTests-") + what + L"-" +
           std::to_wstring(::GetCurrentProcessId());
}

TEST(NamedObjects, AMutexAbandonedByAnEndedProcessCanBeTaken) {
    const std::wstring id = unique_id(L"abandoned");
    vt::InstanceMutex mutex(id);
    ASSERT_EQ(vt::test::run_process(helper(L"instance_helper.exe"), {L"hold-mutex", id}).exit_code,
              0u);
    EXPECT_TRUE(mutex.TryAcquire());
    EXPECT_TRUE(mutex.Owned());
    mutex.Release();
    EXPECT_FALSE(mutex.Owned());
}

TEST(NamedObjects, AMutexHeldElsewhereCannotBeTaken) {
    const std::wstring id = unique_id(L"held");
    vt::InstanceMutex mine(id);
    ASSERT_TRUE(mine.TryAcquire());
    bool other_took = true;
    std::thread other([&] {
        vt::InstanceMutex theirs(id);
        other_took = theirs.TryAcquire();
    });
    other.join();
    EXPECT_FALSE(other_took);
}

TEST(NamedObjects, TheCounterCountsTheRegisteredProcesses) {
    const std::wstring id = unique_id(L"counter");
    vt::RunningInstanceCounter counter(id);
    counter.Register();
    EXPECT_EQ(counter.Count(), 1);
    const std::wstring event_name = id + L"-ready";
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
    vt::test::RunningProcess second(helper(L"instance_helper.exe"), {L"register", id, event_name});
    ASSERT_EQ(::WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(counter.Count(), 2);
    ::ResetEvent(ready);
    EXPECT_EQ(second.Wait(), 0u);
    EXPECT_EQ(counter.Count(), 1);
    ::CloseHandle(ready);
}

std::vector<std::pair<std::wstring, DWORD>> access_list_of(HANDLE object) {
    DWORD needed = 0;
    ::GetKernelObjectSecurity(object, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<std::uint64_t> buffer(needed / 8 + 1);
    std::vector<std::pair<std::wstring, DWORD>> entries;
    if (!::GetKernelObjectSecurity(object, DACL_SECURITY_INFORMATION, buffer.data(), needed,
                                   &needed)) {
        return entries;
    }
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ::GetSecurityDescriptorDacl(buffer.data(), &present, &acl, &defaulted);
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        ::GetAce(acl, i, &ace);
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        const vt::WellKnownSid everyone(vt::WellKnownSid::Everyone);
        entries.emplace_back(
            ::EqualSid(&allowed->SidStart, everyone.get()) ? L"Everyone" : L"other", allowed->Mask);
    }
    return entries;
}

TEST(NamedObjects, AdmitEveryoneWithFullAccess) {
    const std::wstring id = unique_id(L"access");
    vt::InstanceMutex mutex(id);
    vt::RunningInstanceCounter counter(id);
    using List = std::vector<std::pair<std::wstring, DWORD>>;
    EXPECT_EQ(access_list_of(mutex.Handle()), (List{{L"Everyone", 0x1F0001}}));
    EXPECT_EQ(access_list_of(counter.Handle()), (List{{L"Everyone", 0x1F0003}}));
}

// The process-start refusals, on played machines: the box is read as a person
// would see it, then dismissed.
struct Refusal {
    std::wstring text;
    unsigned long exit_code;
};

Refusal start_on(const wchar_t* machine) {
    vt::test::RunningProcess probe(helper(L"process_start_probe.exe"), {machine});
    Refusal refusal{};
    if (HWND box = static_cast<HWND>(vt::test::find_dialog_of(probe.Id(), 5000))) {
        wchar_t text[512] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 512);
        refusal.text = text;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    refusal.exit_code = probe.Wait();
    return refusal;
}

TEST(ProcessStartOnPlayedMachines, WithoutSse2TheThreeLanguageBoxEndsTheProcessWithOne) {
    const Refusal refusal = start_on(L"no-sse2");
    EXPECT_EQ(refusal.text, vt::IncompatibleProcessorText);
    EXPECT_EQ(refusal.exit_code, 1u);
}

TEST(ProcessStartOnPlayedMachines, OldCommonControlsEndTheProcessWithMinusEleven) {
    const Refusal refusal = start_on(L"old-controls");
    EXPECT_EQ(refusal.text, L"Initialization Error");
    EXPECT_EQ(refusal.exit_code, static_cast<unsigned long>(-11));
}

TEST(ProcessStartOnPlayedMachines, ASoundMachinePassesSilently) {
    const Refusal refusal = start_on(L"sound");
    EXPECT_EQ(refusal.text, L"");
    EXPECT_EQ(refusal.exit_code, 0u);
}

} // namespace

namespace {

// The start page's language change, with the installer's application object.
TEST(LanguageChange, AGreekChoiceAnnouncesEnglishAndRenamesTheInstaller) {
    vt::CInstallApp app(L"PlankwiseTests-change-" + std::to_wstring(::GetCurrentProcessId()),
                        nullptr);
    vt::SetLanguage(vt::German);
    std::wstring announced;
    std::thread driver([&] {
        if (HWND box =
                static_cast<HWND>(vt::test::find_dialog_of(::GetCurrentProcessId(), 10000))) {
            wchar_t text[512] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 512);
            announced = text;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    vt::ChangeLanguage(vt::Greek);
    driver.join();
    EXPECT_EQ(announced, L"'Plankwise' will be installed in the selected Langage, but the "
                         L"Installer, still under translation,  shall run in English.");
    EXPECT_EQ(vt::CurrentLanguage(), vt::English);
    EXPECT_EQ(vt::Session().appTitle, L"Installer \u2013 Plankwise 6.07");
    EXPECT_EQ(app.Name(), L"Installer \u2013 Plankwise 6.07");

    vt::ChangeLanguage(vt::German); // translated: no box
    EXPECT_EQ(vt::CurrentLanguage(), vt::German);
    EXPECT_EQ(app.Name(), L"Installationsprogramm \u2013 Plankwise 6.07");
    vt::SetLanguage(vt::English);
}

TEST(SessionDefaults, AreThoseOfAFreshInstaller) {
    vt::InstallSession session(L"PlankwiseTests-defaults-" +
                               std::to_wstring(::GetCurrentProcessId()));
    EXPECT_EQ(session.existingInstall, ExistingInstall::NoInstall);
    EXPECT_TRUE(session.createMenuShortcut);
    EXPECT_TRUE(session.createDesktopShortcut);
    EXPECT_FALSE(session.customMode);
    EXPECT_FALSE(session.installCompleted);
    EXPECT_FALSE(session.instanceMutex.Owned());
    EXPECT_TRUE(session.installRecord.currentEntries.empty());
}

} // namespace
