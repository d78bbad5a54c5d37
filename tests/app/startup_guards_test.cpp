// What the start-up relies on: the instance mutex says why it could not be
// taken, the earlier record is "none" only when there is none, and the real
// installer passes its common-controls check only with its manifest.
#include "app/existing_install.h"
#include "app/install_session.h"
#include "app/instance_objects.h"
#include "process.h"
#include "scratch_folder.h"
#include "support/product_constants.h"
#include "support/registry.h"
#include "support/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring unique_id(const wchar_t* what) {
    return std::wstring(L"PlankwiseGuards-") + what + L"-" +
           std::to_wstring(::GetCurrentProcessId());
}

TEST(InstanceMutexFailures, HeldElsewhereIsBusyAndAnythingElseIsTheRealError) {
    const std::wstring id = unique_id(L"held");
    vt::InstanceMutex mine(id);
    ASSERT_TRUE(mine.TryAcquire());
    EXPECT_EQ(mine.FailureCode(), 0u);
    DWORD theirs_code = 0;
    std::thread other([&] {
        vt::InstanceMutex theirs(id);
        EXPECT_FALSE(theirs.TryAcquire());
        theirs_code = theirs.FailureCode();
    });
    other.join();
    EXPECT_EQ(theirs_code, static_cast<DWORD>(ERROR_BUSY));

    // Another kind of object already carries the mutex's name: the mutex cannot
    // be created, and that is what the start-up must report, not "busy".
    const std::wstring clash = unique_id(L"clash");
    const vt::unique_kernel event(
        ::CreateEventW(nullptr, TRUE, FALSE, vt::InstanceMutexName(clash).c_str()));
    ASSERT_TRUE(event);
    vt::InstanceMutex blocked(clash);
    EXPECT_FALSE(blocked.TryAcquire());
    EXPECT_FALSE(blocked.Owned());
    EXPECT_EQ(blocked.FailureCode(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(InstanceMutexFailures, ASecondTakeAfterTheRegistrationRunFailsWhileAnotherHoldsIt) {
    const std::wstring id = unique_id(L"retake");
    vt::InstanceMutex mine(id);
    ASSERT_TRUE(mine.TryAcquire());
    mine.Release(); // the registration run's window
    const vt::unique_kernel taken(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const vt::unique_kernel leave(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread intruder([&] {
        vt::InstanceMutex theirs(id);
        theirs.TryAcquire();
        ::SetEvent(taken.get());
        ::WaitForSingleObject(leave.get(), 20000);
    });
    ::WaitForSingleObject(taken.get(), 20000);
    EXPECT_FALSE(mine.TryAcquire());
    EXPECT_FALSE(mine.Owned());
    EXPECT_EQ(mine.FailureCode(), static_cast<DWORD>(ERROR_BUSY));
    mine.Release(); // not owned: nothing of the other holder's is released
    ::SetEvent(leave.get());
    intruder.join();
    // The intruder ended while holding it: abandoned, so it can be taken again.
    EXPECT_TRUE(mine.TryAcquire());
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // scratch paths are ASCII
}

// The lookup of the earlier record on the registry and the disk. It changes the
// product's keys: ctest runs it alone with the other registry tests.
class EarlierRecord : public ::testing::Test {
protected:
    void TearDown() override {
        if (const auto key = vt::OpenKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey)) {
            ::SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr);
        }
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
    }
    void register_uninstaller(const std::wstring& command) {
        const auto key = vt::CreateKey(HKEY_LOCAL_MACHINE, vt::product::UninstallKey);
        ::RegSetValueExW(key.get(), L"UninstallString", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * 2));
    }
    vt::test::ScratchFolder folder;
};

TEST_F(EarlierRecord, IsLoadedWithItsFoldersForAnUpdate) {
    const std::wstring app = folder / L"App";
    const std::wstring menu = folder / L"Menu";
    ::CreateDirectoryW(app.c_str(), nullptr);
    ::CreateDirectoryW(menu.c_str(), nullptr);
    vt::test::write_file(folder / L"Uninstall.ulog",
                         "// Uninstall Log File v1\r\n//\r\n// Install Plankwise 6.05\r\n"
                         "// Install Path : " +
                             narrow(app) + "\r\n// Shortcut Path : " + narrow(menu) + "\r\n//\r\n");
    register_uninstaller(folder / L"Uninstall.exe");
    vt::InstallSession session(unique_id(L"session"));
    session.existingInstall = vt::ExistingInstall::OlderVersion;
    EXPECT_EQ(vt::LoadEarlierRecord(session), 0u);
    EXPECT_EQ(session.installFolder, app);
    EXPECT_EQ(session.shortcutFolder, menu);

    vt::InstallSession fresh(unique_id(L"fresh"));
    fresh.existingInstall = vt::ExistingInstall::NoInstall;
    EXPECT_EQ(vt::LoadEarlierRecord(fresh), 0u);
    EXPECT_EQ(fresh.installFolder, L"");
}

TEST_F(EarlierRecord, NoneIsNoneButAnUnreadableUninstallKeyIsAnError) {
    vt::InstallSession session(unique_id(L"none"));
    session.existingInstall = vt::ExistingInstall::SameVersion;
    EXPECT_EQ(vt::LoadEarlierRecord(session), 0u); // no key, no record anywhere

    register_uninstaller(folder / L"Uninstall.exe");
    // An access list that admits nobody: the key exists but cannot be read.
    EXPECT_EQ(
        ::SetNamedSecurityInfoW(
            const_cast<wchar_t*>((std::wstring(L"MACHINE\\") + vt::product::UninstallKey).c_str()),
            SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
            nullptr, nullptr, nullptr, nullptr),
        static_cast<DWORD>(ERROR_SUCCESS));
    ACL empty{};
    ASSERT_TRUE(::InitializeAcl(&empty, sizeof empty, ACL_REVISION));
    EXPECT_EQ(
        ::SetNamedSecurityInfoW(
            const_cast<wchar_t*>((std::wstring(L"MACHINE\\") + vt::product::UninstallKey).c_str()),
            SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
            nullptr, nullptr, &empty, nullptr),
        static_cast<DWORD>(ERROR_SUCCESS));
    vt::InstallSession denied(unique_id(L"denied"));
    denied.existingInstall = vt::ExistingInstall::SameVersion;
    EXPECT_EQ(vt::LoadEarlierRecord(denied), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(EarlierRecord, ARecordPathThatCannotBeLookedAtIsAnError) {
    // A record whose folder is reached through a device name: the lookup fails
    // with an error that is not "not there".
    register_uninstaller(L"\\\\.\\NoSuchDevice\\Uninstall.exe");
    vt::InstallSession session(unique_id(L"device"));
    session.existingInstall = vt::ExistingInstall::SameVersion;
    const DWORD code = vt::LoadEarlierRecord(session);
    EXPECT_NE(code, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(code, 0u);
}

// The installer's own program, started as a person would start it.
std::wstring installer() {
    return vt::test::own_folder() + L"\\..\\app\\PlankwiseSetup.exe";
}

struct Start {
    std::wstring refusal;
    unsigned long exit_code = 0;
};

Start start(const std::wstring& program) {
    vt::test::RunningProcess process(program, {});
    Start result;
    if (HWND box =
            static_cast<HWND>(vt::test::find_window_of(process.Id(), L"#32770", nullptr, 3000))) {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 256);
        result.refusal = text;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    result.exit_code = process.Wait();
    return result;
}

// A resource of a module, copied out.
struct Resource {
    std::wstring type; // "#N" for a number, as the resource functions take it
    std::wstring name;
    WORD language = 0;
    std::vector<char> data;
};

std::wstring resource_key(LPCWSTR id) {
    return IS_INTRESOURCE(id) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(id))
                              : std::wstring(id);
}

LPCWSTR resource_id(const std::wstring& key) {
    return key[0] == L'#' ? MAKEINTRESOURCEW(std::stoi(key.substr(1))) : key.c_str();
}

struct ResourceWalk {
    std::vector<Resource>* all;
    std::wstring type;
    std::wstring name;
};

BOOL CALLBACK copy_language(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                            LONG_PTR context) {
    auto* walk = reinterpret_cast<ResourceWalk*>(context);
    HRSRC found = ::FindResourceExW(module, type, name, language);
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    walk->all->push_back({walk->type, walk->name, language,
                          std::vector<char>(bytes, bytes + ::SizeofResource(module, found))});
    return TRUE;
}

BOOL CALLBACK copy_name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context) {
    reinterpret_cast<ResourceWalk*>(context)->name = resource_key(name);
    ::EnumResourceLanguagesW(module, type, name, &copy_language, context);
    return TRUE;
}

BOOL CALLBACK copy_type(HMODULE module, LPWSTR type, LONG_PTR context) {
    reinterpret_cast<ResourceWalk*>(context)->type = resource_key(type);
    ::EnumResourceNamesW(module, type, &copy_name, context);
    return TRUE;
}

std::vector<Resource> resources_of(HMODULE module) {
    std::vector<Resource> all;
    ResourceWalk walk{&all, {}, {}};
    ::EnumResourceTypesW(module, &copy_type, reinterpret_cast<LONG_PTR>(&walk));
    return all;
}

TEST(CommonControls, TheInstallerPassesWithItsManifestAndStopsWithoutIt) {
    // A copy of the installer with every resource but its manifest.
    vt::test::ScratchFolder folder;
    const std::wstring bare = folder / L"PlankwiseSetup.exe";
    ASSERT_TRUE(::CopyFileW(installer().c_str(), bare.c_str(), FALSE));
    std::vector<Resource> kept;
    {
        const vt::unique_module module(
            ::LoadLibraryExW(installer().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module);
        kept = resources_of(module.get());
    }
    const auto manifest =
        std::erase_if(kept, [](const Resource& r) { return r.type == resource_key(RT_MANIFEST); });
    ASSERT_EQ(manifest, 1u);
    ASSERT_GT(kept.size(), 10u);
    HANDLE update = ::BeginUpdateResourceW(bare.c_str(), TRUE);
    ASSERT_NE(update, nullptr);
    for (Resource& r : kept) {
        ASSERT_TRUE(::UpdateResourceW(update, resource_id(r.type), resource_id(r.name), r.language,
                                      r.data.data(), static_cast<DWORD>(r.data.size())));
    }
    ASSERT_TRUE(::EndUpdateResourceW(update, FALSE));
    {
        const vt::unique_module module(
            ::LoadLibraryExW(bare.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module);
        ASSERT_EQ(::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
    }

    const Start without = start(bare);
    EXPECT_EQ(without.refusal, L"Initialization Error");
    EXPECT_EQ(without.exit_code, static_cast<unsigned long>(-11));

    // With its manifest the installer gets as far as its wizard.
    vt::test::RunningProcess with(installer(), {});
    HWND window = static_cast<HWND>(vt::test::find_window_of(with.Id(), L"#32770", nullptr, 10000));
    ASSERT_NE(window, nullptr);
    wchar_t caption[256] = {};
    ::GetWindowTextW(window, caption, 256);
    EXPECT_NE(std::wstring(caption), L"Initialization Error");
    EXPECT_NE(::GetDlgItem(window, 1005), nullptr); // the wizard's picture panel
}

} // namespace
