// The shipped installer started as a person starts it and worked through its
// windows from this process; the machine cleaned before and after each test.
#pragma once

#include "installed_product.h"
#include "wizard_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vt::test {

// Control ids of the host and its pages.
namespace ids {
inline constexpr int Next = IDOK, Exit = IDCANCEL, Back = 3;
inline constexpr int Situation = 1016, Status = 1003, Copyright = 1020, LanguageLabel = 1022,
                     Languages = 1023;
inline constexpr int Quick = 1018, Advanced = 1019, ModeGroup = 1021;
inline constexpr int Folder = 1007, Browse = 1006, FolderPrompt = 1009;
inline constexpr int MenuOption = 1011, DesktopOption = 1010;
inline constexpr int Log = 1015, Result = 1016;
} // namespace ids

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the installer and waits for its wizard.
    void Start(const std::vector<std::wstring>& environment = {});
    // The page shown now, and its texts.
    [[nodiscard]] HWND Page() const;
    [[nodiscard]] std::wstring PageText(int id) const;
    [[nodiscard]] std::wstring ButtonText(int id) const;
    [[nodiscard]] bool ButtonEnabled(int id) const;
    // Presses Next or Back and waits for another page to show.
    void Next();
    void Back();
    // Presses Install and waits for the run to end; true when it succeeded.
    bool Install();
    // Presses Exit; waits for the process to end (true) or for a question (false).
    bool ExitWithoutQuestion();
    // A message box of the installer other than the wizard; null when none came.
    [[nodiscard]] HWND WaitForMessageBox(DWORD timeout_ms = 10000) const;
    // Answers a message box and waits for it to go.
    void Answer(HWND box, int button) const;
    // A quick installation from start to Exit.
    void InstallQuickly();

    [[nodiscard]] std::wstring DefaultInstallFolder() const;
    [[nodiscard]] std::wstring DefaultShortcutFolder() const;

    std::unique_ptr<driver::InstallerProcess> process;
    HWND wizard = nullptr;
    std::vector<std::wstring> extra_folders; // removed after the test
};

// The shipped installer of this build.
[[nodiscard]] std::wstring InstallerPath();
[[nodiscard]] std::string ReadWholeFile(const std::wstring& path);

// The sample payload's entries as its manifest lists them: kind, destination
// token and the built file.
struct ManifestEntry {
    int kind;
    std::wstring destination;
    std::wstring file; // a Windows path
};
[[nodiscard]] std::vector<ManifestEntry> SampleManifest();

} // namespace vt::test
