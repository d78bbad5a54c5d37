#include "wizard_fixture.h"

#include "installed_product.h"

#include <shlobj.h>

#include <fstream>
#include <filesystem>
#include <sstream>

namespace vt::test {

std::wstring InstallerPath() {
    return BuildPath(L"app\\PlankwiseSetup.exe");
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<ManifestEntry> SampleManifest() {
    std::ifstream in(std::filesystem::path(BuildPath(L"sample\\payload_files\\manifest.txt")));
    std::vector<ManifestEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        std::string file = line.substr(tab2 + 1);
        for (char& c : file) {
            c = c == '/' ? '\\' : c;
        }
        entries.push_back({std::stoi(line.substr(0, tab1)),
                           std::wstring(line.begin() + static_cast<long>(tab1) + 1,
                                        line.begin() + static_cast<long>(tab2)),
                           L"Z:" + std::wstring(file.begin(), file.end())});
    }
    return entries;
}

std::wstring WizardTest::DefaultInstallFolder() const {
    return SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Vantorel\\Plankwise 6";
}

std::wstring WizardTest::DefaultShortcutFolder() const {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Vantorel\\Plankwise 6";
}

void WizardTest::SetUp() {
    RemoveInstalledProduct(DefaultInstallFolder(), DefaultShortcutFolder());
}

void WizardTest::TearDown() {
    process.reset();
    RemoveInstalledProduct(DefaultInstallFolder(), DefaultShortcutFolder());
    for (const std::wstring& folder : extra_folders) {
        RemoveTree(folder);
    }
}

void WizardTest::Start(const std::vector<std::wstring>& environment) {
    process = std::make_unique<driver::InstallerProcess>(InstallerPath(), environment);
    wizard = driver::WaitForDialog(process->Id(), 1005);
    ASSERT_NE(wizard, nullptr) << "the wizard did not appear";
}

HWND WizardTest::Page() const {
    return driver::VisiblePage(wizard);
}

std::wstring WizardTest::PageText(int id) const {
    return driver::ItemText(Page(), id);
}

std::wstring WizardTest::ButtonText(int id) const {
    return driver::ItemText(wizard, id);
}

bool WizardTest::ButtonEnabled(int id) const {
    return driver::Enabled(wizard, id);
}

void WizardTest::Next() {
    ASSERT_NE(driver::PressForNextPage(wizard, ids::Next), nullptr)
        << "Next did not change the page";
}

void WizardTest::Back() {
    ASSERT_NE(driver::PressForNextPage(wizard, ids::Back), nullptr)
        << "Back did not change the page";
}

bool WizardTest::Install() {
    driver::Press(wizard, ids::Next);
    // The buttons are disabled while the run lasts; Exit comes back at its end.
    driver::WaitUntil([&] { return !ButtonEnabled(ids::Exit); }, 5000);
    EXPECT_TRUE(
        driver::WaitUntil([&] { return ButtonEnabled(ids::Exit); }, 120000, process->Handle()))
        << "the installation did not end";
    return ButtonText(ids::Next) != L"Install";
}

bool WizardTest::ExitWithoutQuestion() {
    driver::Press(wizard, ids::Exit);
    bool ended = false;
    driver::WaitUntil(
        [&] {
            ended = !process->Running();
            return ended || driver::WaitForOtherDialog(process->Id(), {wizard}, 0) != nullptr;
        },
        20000, process->Handle());
    return ended;
}

HWND WizardTest::WaitForMessageBox(DWORD timeout_ms) const {
    return driver::WaitForOtherDialog(process->Id(), {wizard}, timeout_ms);
}

void WizardTest::Answer(HWND box, int button) const {
    driver::Press(box, button);
    driver::WaitUntil([&] { return !::IsWindow(box); });
}

void WizardTest::InstallQuickly() {
    Start();
    Next();
    Next();
    ASSERT_TRUE(Install());
    ASSERT_TRUE(ExitWithoutQuestion());
    process.reset();
}

} // namespace vt::test
