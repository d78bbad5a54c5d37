// A quick installation on a clean machine in English, as a person does it.
#include "wizard_fixture.h"

#include "installed_product.h"

#include <shlobj.h>

namespace vt::test {
namespace {

std::wstring registry_text(const wchar_t* key, const wchar_t* value) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"(none)";
    }
    return text;
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using QuickInstallation = WizardTest;

TEST_F(QuickInstallation, EveryPageReadsRightAndTheProductEndsUpInstalled) {
    Start();
    EXPECT_EQ(driver::Text(wizard), L"Installer \u2013 Plankwise 6.07");

    // The start page.
    EXPECT_EQ(PageText(ids::Situation), L"'Plankwise 6.07' Installation.");
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Next' to continue.");
    EXPECT_EQ(PageText(ids::Copyright),
              L"The 'Plankwise 6.07' software is protected by Copyright.");
    EXPECT_EQ(PageText(ids::LanguageLabel), L"Select Installation Langage");
    EXPECT_EQ(ButtonText(ids::Next), L"Next  >");
    EXPECT_EQ(ButtonText(ids::Back), L"<  Back");
    EXPECT_EQ(ButtonText(ids::Exit), L"Cancel");
    EXPECT_FALSE(ButtonEnabled(ids::Back));
    EXPECT_TRUE(ButtonEnabled(ids::Next));

    // The mode page, quick installation preselected.
    Next();
    EXPECT_EQ(PageText(ids::ModeGroup), L"Installation Method");
    EXPECT_EQ(PageText(ids::Quick), L"Quick Installation (Recommended)");
    EXPECT_EQ(PageText(ids::Advanced), L"Advanced Installation");
    EXPECT_TRUE(driver::Checked(Page(), ids::Quick));
    EXPECT_FALSE(driver::Checked(Page(), ids::Advanced));
    EXPECT_TRUE(ButtonEnabled(ids::Back));

    // Quick mode passes over the folder and shortcut pages, both ways.
    Next();
    EXPECT_NE(::GetDlgItem(Page(), ids::Log), nullptr) << "not the install page";
    EXPECT_EQ(ButtonText(ids::Next), L"Install");
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Install' to start Installation.");
    const std::wstring summary = PageText(ids::Log);
    EXPECT_NE(summary.find(L"Installation Folder: \"" + DefaultInstallFolder() + L"\"."),
              std::wstring::npos)
        << summary;
    EXPECT_NE(summary.find(L"Creating a Shortcut on the Desktop."), std::wstring::npos);
    Back();
    EXPECT_NE(::GetDlgItem(Page(), ids::Quick), nullptr) << "Back did not lead to the mode page";
    Next();

    ASSERT_TRUE(Install());
    EXPECT_EQ(ButtonText(ids::Exit), L"Exit");
    EXPECT_EQ(ButtonText(ids::Next), L"Next  >");
    EXPECT_FALSE(ButtonEnabled(ids::Back));
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Next' to continue.");
    const std::wstring log = PageText(ids::Log);
    EXPECT_NE(log.find(L"Installation Data Writing...OK"), std::wstring::npos) << log;

    // The end page; Back leads to the transcript and Next to the end again.
    Next();
    EXPECT_EQ(PageText(ids::Result), L"Installation is complete.");
    EXPECT_EQ(PageText(ids::Status), L"Click on 'Exit' to exit Installation.");
    EXPECT_FALSE(ButtonEnabled(ids::Next));
    EXPECT_TRUE(ButtonEnabled(ids::Back));
    Back();
    EXPECT_NE(::GetDlgItem(Page(), ids::Log), nullptr);
    Next();
    EXPECT_EQ(PageText(ids::Result), L"Installation is complete.");

    // The about box from the system menu, then Exit without a question.
    ::PostMessageW(wizard, WM_SYSCOMMAND, 16, 0);
    HWND about = WaitForMessageBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(driver::Text(about), L"About 'Installer'");
    EXPECT_EQ(driver::ItemText(about, 1019), L"Install 2.03");
    EXPECT_EQ(driver::ItemText(about, IDOK), L"OK");
    Answer(about, IDOK);
    EXPECT_TRUE(ExitWithoutQuestion());

    // The machine: every file in place with the built content (temporary ones
    // gone), the shortcuts, the registration and the record.
    const std::wstring folder = DefaultInstallFolder();
    const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    int checked = 0;
    for (const ManifestEntry& entry : SampleManifest()) {
        const std::wstring name = entry.file.substr(entry.file.find_last_of(L'\\') + 1);
        std::wstring target;
        if (entry.destination == L"<InstallPath>") {
            target = folder + L"\\" + name;
        } else if (entry.destination.starts_with(L"<InstallPath>\\")) {
            target = folder + entry.destination.substr(13) + L"\\" + name;
        } else if (entry.destination == L"<SamplePath>") {
            target = desktop + L"\\Plankwise Examples\\" + name;
        } else {
            continue;
        }
        if (entry.kind == 5) {
            EXPECT_FALSE(exists(target)) << target;
            continue;
        }
        ASSERT_TRUE(exists(target)) << target;
        EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(entry.file)) << target;
        ++checked;
    }
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(exists(DefaultShortcutFolder() + L"\\Plankwise 6.07.lnk"));
    EXPECT_TRUE(exists(DefaultShortcutFolder() + L"\\Uninstall Plankwise.lnk"));
    EXPECT_TRUE(exists(desktop + L"\\Plankwise 6.07.lnk"));
    EXPECT_EQ(registry_text(L"Software\\Vantorel", L"Plankwise 6 Path"),
              folder + L"\\Plankwise.exe");
    EXPECT_EQ(registry_text(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plankwise 6",
                            L"DisplayName"),
              L"Plankwise 6.07");
    const std::string record = ReadWholeFile(folder + L"\\Uninstall.ulog");
    ASSERT_GT(record.size(), 2u);
    EXPECT_EQ(record.substr(0, 2), std::string("\xFF\xFE"));
}

} // namespace
} // namespace vt::test
