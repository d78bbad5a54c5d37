// The steps after the files: the DirectX stand-in, the registration run, the
// shortcut options, a payload without an uninstaller, a temporary path too long.
#include "install_page_fixture.h"
#include "small_product.h"

#include "support/product_constants.h"

#include <algorithm>

namespace vt::test {
namespace {

class PostInstallSteps : public InstallPageTest {
protected:
    // The small product with the DirectX setup library stand-in.
    void UseProductWithRuntimeSetup() {
        ArchiveBuilder archive = SmallProduct();
        archive.add({L"DSETUP.dll", L"<Temporary>", 5, BuildFile(L"sample\\DSETUP.dll"), {}});
        UsePayload(archive.compressed());
    }

    [[nodiscard]] int Count(RecordEntryKind kind) const {
        const auto& entries = session.installRecord.currentEntries;
        return static_cast<int>(
            std::count_if(entries.begin(), entries.end(),
                          [kind](const RecordEntry& e) { return e.kind == kind; }));
    }

    [[nodiscard]] bool Logged(const std::wstring& line) const {
        return Log().find(L"\r\n" + line + L"\r\n") != std::wstring::npos;
    }

    static void Setup(const wchar_t* name, const wchar_t* value) {
        ::SetEnvironmentVariableW(name, value);
    }
};

const std::wstring directx_line = L"Mise \u00E0 jour de DirectX...";

TEST_F(PostInstallSteps, TheRuntimeSetupRunsWhenTheLibraryIsCurrentEnough) {
    Setup(L"VT_DSETUP_RESULT", L"1"); // success, restart advised
    UseProductWithRuntimeSetup();
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(directx_line + L"OK")) << Log();
    ASSERT_EQ(Count(RecordEntryKind::RuntimeUpdate), 1);
    const auto& entries = session.installRecord.currentEntries;
    const auto runtime = std::find_if(entries.begin(), entries.end(), [](const RecordEntry& e) {
        return e.kind == RecordEntryKind::RuntimeUpdate;
    });
    EXPECT_EQ(runtime->path, directx_line);
    EXPECT_TRUE(runtime->succeeded);
}

TEST_F(PostInstallSteps, TheRuntimeSetupIsSkippedForAnOlderRevisionOrWithoutTheLibrary) {
    Setup(L"VT_DSETUP_REVISION", L"386");
    UseProductWithRuntimeSetup();
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(Log().find(L"DirectX"), std::wstring::npos);
    EXPECT_EQ(Count(RecordEntryKind::RuntimeUpdate), 0);
    // The line after the shortcuts is the registry's.
    EXPECT_NE(Log().find(L"Shortcuts Creation...OK\r\nRegistry Data Writing..."),
              std::wstring::npos);

    UsePayload(SmallProduct().compressed()); // no library at all
    session.installRecord.currentEntries.clear();
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(Count(RecordEntryKind::RuntimeUpdate), 0);
}

TEST_F(PostInstallSteps, AFailingSetupIsReportedAndTheRunGoesOn) {
    Setup(L"VT_DSETUP_RESULT", L"-9");
    UseProductWithRuntimeSetup();
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(directx_line + L"Failed")) << Log();
    EXPECT_TRUE(Logged(L"Installation Data Writing...OK")) << Log();
}

TEST_F(PostInstallSteps, AnUpdateAfterASuccessfulSetupSkipsItButAReinstallationRunsItAgain) {
    RecordEntry earlier;
    earlier.kind = RecordEntryKind::RuntimeUpdate;
    earlier.path = directx_line;
    earlier.succeeded = true;
    session.installRecord.earlierEntries.push_back(earlier);
    UseProductWithRuntimeSetup();

    session.existingInstall = ExistingInstall::OlderVersion;
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(Log().find(L"DirectX"), std::wstring::npos);

    session.existingInstall = ExistingInstall::SameVersion;
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(directx_line + L"OK")) << Log();
}

TEST_F(PostInstallSteps, TheSetupKeepsTheWindowResponsiveThroughItsProgress) {
    // The stand-in posts a message to the page before each progress callback and
    // fails when the callback left it waiting.
    Setup(L"VT_DSETUP_PROGRESS", L"20");
    Setup(L"VT_DSETUP_CHECK_DISPATCH", L"1");
    UseProductWithRuntimeSetup();
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(directx_line + L"OK")) << Log();
}

TEST_F(PostInstallSteps, ARegistrationRunThatDoesNotEndWithMinusTenIsAFailure) {
    ArchiveBuilder archive;
    // A main program that ends with 0 when started with " /Register /Background".
    archive.add(
        {L"Plankwise.exe", L"<InstallPath>", 1, BuildFile(L"tests\\process_start_probe.exe"), {}});
    archive.add({L"Uninstall.exe", L"<InstallPath>", 2, BuildFile(L"sample\\Uninstall.exe"), {}});
    UsePayload(archive.compressed());
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(L"Registry Data Writing...Failed")) << Log();
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, product::UninstallKey, L"DisplayName"),
              L"Plankwise 6.07");
    const auto& entries = session.installRecord.currentEntries;
    const auto run = std::find_if(entries.begin(), entries.end(), [](const RecordEntry& e) {
        return e.kind == RecordEntryKind::RegistrationRun;
    });
    ASSERT_NE(run, entries.end());
    EXPECT_FALSE(run->succeeded);
    EXPECT_TRUE(session.instanceMutex.Owned());
}

TEST_F(PostInstallSteps, AMainProgramThatCannotStartLeavesTheMutexOwnedAgain) {
    ArchiveBuilder archive;
    archive.add({L"Plankwise.exe", L"<InstallPath>", 1, "not a program", {}});
    archive.add({L"Uninstall.exe", L"<InstallPath>", 2, BuildFile(L"sample\\Uninstall.exe"), {}});
    UsePayload(archive.compressed());
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(L"Registry Data Writing...Failed")) << Log();
    EXPECT_TRUE(session.instanceMutex.Owned());
}

TEST_F(PostInstallSteps, AProgramPathWithASpaceIsStartedQuoted) {
    // The install folder "...\Plankwise 6" has a space: the product stand-in
    // registers its association only when it was started at all.
    UsePayload(SmallProduct().compressed());
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_TRUE(Logged(L"Registry Data Writing...OK")) << Log();
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".pwproj", L""), L"Vantorel.Plankwise.Project");
}

TEST_F(PostInstallSteps, WithoutShortcutOptionsThereIsNoShortcutLineNorEntry) {
    session.createMenuShortcut = false;
    session.createDesktopShortcut = false;
    UsePayload(SmallProduct().compressed());
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(Log().find(L"Shortcuts Creation"), std::wstring::npos);
    EXPECT_EQ(Count(RecordEntryKind::MenuShortcut) + Count(RecordEntryKind::UninstallShortcut) +
                  Count(RecordEntryKind::DesktopShortcut),
              0);
    EXPECT_FALSE(folder_exists(session.shortcutFolder));
}

TEST_F(PostInstallSteps, APayloadWithoutUninstallerStillCompletes) {
    ArchiveBuilder archive;
    archive.add({L"Plankwise.exe", L"<InstallPath>", 1, BuildFile(L"sample\\Plankwise.exe"), {}});
    UsePayload(archive.compressed());
    ASSERT_TRUE(page->RunInstallation());
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, product::UninstallKey, L"UninstallString"), L"");
    EXPECT_TRUE(Logged(L"Shortcuts Creation...Failed")) << Log();
    EXPECT_TRUE(Logged(L"Installation Data Writing...Failed")) << Log();
    EXPECT_TRUE(file_exists(session.shortcutFolder + L"\\Plankwise 6.07.lnk"));
    EXPECT_FALSE(file_exists(session.installFolder + L"\\Uninstall.ulog"));
}

TEST_F(PostInstallSteps, ATemporaryPathOf247CharactersFailsBeforeAnythingIsTouched) {
    std::wstring temporary = scratch.path() + L"\\";
    while (temporary.size() < 246) {
        temporary += L"t";
    }
    temporary += L"\\"; // 247 characters with its separator
    ::CreateDirectoryW(temporary.c_str(), nullptr);
    wchar_t previous[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", previous, MAX_PATH);
    ::SetEnvironmentVariableW(L"TMP", temporary.c_str());
    UsePayload(SmallProduct().compressed());
    const bool result = page->RunInstallation();
    ::SetEnvironmentVariableW(L"TMP", previous);
    EXPECT_FALSE(result);
    EXPECT_EQ(Status().rfind(L"Installation failed (Error Code ", 0), 0u) << Status();
    EXPECT_NE(Status().find(L" (GetTempPath))."), std::wstring::npos) << Status();
    EXPECT_FALSE(folder_exists(session.installFolder));
    EXPECT_TRUE(session.installRecord.currentEntries.empty());
}

} // namespace
} // namespace vt::test
