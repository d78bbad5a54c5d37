// The whole installation run on the install page, with the sample product's
// payload embedded in this test program as the installer carries it: files,
// shortcuts, DirectX stand-in, registration, registration run and record file.
#include "install_page_fixture.h"

#include "payload/destination.h"
#include "payload/crc32.h"
#include "record/install_record.h"
#include "support/product_constants.h"
#include "support/text_conversion.h"

#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

namespace vt::test {
namespace {

struct ManifestEntry {
    int kind = 0;
    std::wstring destination;
    std::wstring file;
};

// The sample payload's manifest, as the build packed it.
std::vector<ManifestEntry> sample_manifest() {
    std::istringstream text(BuildFile(L"sample\\payload_files\\manifest.txt"));
    std::vector<ManifestEntry> entries;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        std::wstring file = NarrowToWide(line.substr(tab2 + 1));
        file.erase(0, file.find_last_of(L"\\/") + 1);
        entries.push_back({std::stoi(line.substr(0, tab1)),
                           NarrowToWide(line.substr(tab1 + 1, tab2 - tab1 - 1)), file});
    }
    return entries;
}

std::vector<std::wstring> lines_of(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool is_dashes(const std::wstring& line) {
    return line.size() > 10 && line.find_first_not_of(L'-') == std::wstring::npos;
}

bool is_heading(const std::wstring& line, const std::wstring& text) {
    const auto at = line.find(L" " + text + L" ");
    if (at == std::wstring::npos || at == 0) {
        return false;
    }
    const std::wstring left = line.substr(0, at);
    const std::wstring right = line.substr(at + text.size() + 2);
    return is_dashes(L"----------" + left) && is_dashes(L"----------" + right) &&
           (right.size() == left.size() || right.size() == left.size() + 1);
}

std::wstring shortcut_target(const std::wstring& link) {
    ::CoInitialize(nullptr);
    std::wstring target;
    IShellLinkW* shell_link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&shell_link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(
                shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
                wchar_t path[MAX_PATH] = {};
                shell_link->GetPath(path, MAX_PATH, nullptr, 0);
                target = path;
            }
            file->Release();
        }
        shell_link->Release();
    }
    ::CoUninitialize();
    return target;
}

using InstallationRun = InstallPageTest;

TEST_F(InstallationRun, ANewInstallationPlacesRegistersAndRecordsEverything) {
    ASSERT_TRUE(page->RunInstallation());

    // The transcript.
    const PayloadFolders folders{session.installFolder, L"Plankwise Examples", session.workFolder};
    std::vector<std::wstring> expected_files;
    for (const auto& entry : sample_manifest()) {
        expected_files.push_back(
            join_path(resolve_destination(folders, entry.destination), entry.file));
    }
    ASSERT_EQ(expected_files.size(), 70u);
    const auto lines = lines_of(Log());
    ASSERT_EQ(lines.size(), 5u + 2u + expected_files.size() + 4u) << Log();
    EXPECT_EQ(lines[0], L"'Plankwise 6.07' Installation.");
    EXPECT_TRUE(is_heading(lines[1], L"Installation Options")) << lines[1];
    EXPECT_EQ(lines[2], L"Installation Folder: \"" + session.installFolder + L"\".");
    EXPECT_EQ(lines[3], L"Creating a Shortcut in the Start Menu (Folder \"" +
                            session.shortcutFolder + L"\").");
    EXPECT_EQ(lines[4], L"Creating a Shortcut on the Desktop.");
    EXPECT_TRUE(is_dashes(lines[5])) << lines[5];
    EXPECT_EQ(lines[6], L"Preparing Installation...OK");
    for (std::size_t i = 0; i < expected_files.size(); ++i) {
        const std::wstring& path = expected_files[i];
        const std::wstring shown =
            path.find(L' ') != std::wstring::npos ? L"\"" + path + L"\"" : path;
        EXPECT_EQ(lines[7 + i], L"Copying File  " + shown + L"...OK");
    }
    const std::size_t tail = 7 + expected_files.size();
    EXPECT_EQ(lines[tail], L"Shortcuts Creation...OK");
    EXPECT_EQ(lines[tail + 1], L"Mise \u00E0 jour de DirectX...OK");
    EXPECT_EQ(lines[tail + 2], L"Registry Data Writing...OK");
    EXPECT_EQ(lines[tail + 3], L"Installation Data Writing...OK");
    EXPECT_EQ(Status(), L"Click on 'Next' to continue.");

    // Every file in place with its content; the temporary ones gone with their folder.
    const std::wstring built = L"sample\\payload_files\\";
    for (const auto& entry : sample_manifest()) {
        const std::wstring target =
            join_path(resolve_destination(folders, entry.destination), entry.file);
        if (entry.kind == 5) {
            EXPECT_FALSE(file_exists(target)) << target;
            continue;
        }
        ASSERT_TRUE(file_exists(target)) << target;
        const std::string placed = read_file(target);
        EXPECT_EQ(crc32_of(placed.data(), placed.size()), file_crc32(target));
    }
    EXPECT_FALSE(folder_exists(session.workFolder));
    const std::wstring program = session.installFolder + L"\\Plankwise.exe";
    const std::wstring uninstaller = session.installFolder + L"\\Uninstall.exe";
    EXPECT_EQ(page->MainProgramPath(), program);
    EXPECT_EQ(page->UninstallerPath(), uninstaller);
    EXPECT_NE(::GetFileAttributesW(program.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(::GetFileAttributesW(uninstaller.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // The three shortcuts lead to their programs.
    EXPECT_EQ(shortcut_target(session.shortcutFolder + L"\\Plankwise 6.07.lnk"), program);
    EXPECT_EQ(shortcut_target(session.shortcutFolder + L"\\Uninstall Plankwise.lnk"), uninstaller);
    EXPECT_EQ(shortcut_target(DesktopFolder() + L"\\Plankwise 6.07.lnk"), program);

    // The uninstall entry, the program path and the product's own registration.
    const std::wstring key = product::UninstallKey;
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayName"), L"Plankwise 6.07");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"UninstallString"), uninstaller);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayIcon"), program + L",0");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayVersion"), L"6.7.0.2");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"Publisher"), L"Vantorel");
    for (const wchar_t* link : {L"URLInfoAbout", L"HelpLink", L"URLUpdateInfo"}) {
        EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, link),
                  L"https://www.vantorel.com/plankwise");
    }
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"HelpTelephone"), L"+33 4 72 60 18 40");
    EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, key, L"NoModify"), 1u);
    EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, key, L"NoRepair"), 1u);
    EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, key, L"VtLanguage"), 1u);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, product::MakerKey, product::ProgramPathValue),
              program);
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".pwproj", L""), L"Vantorel.Plankwise.Project");
    EXPECT_TRUE(session.instanceMutex.Owned());

    // The record file next to the uninstaller.
    InstallRecord record;
    record.Load((session.installFolder + L"\\Uninstall.ulog").c_str());
    EXPECT_EQ(record.previousInstallFolder, session.installFolder);
    EXPECT_EQ(record.previousShortcutFolder, session.shortcutFolder);
    std::map<RecordEntryKind, int> kinds;
    for (const RecordEntry& entry : record.earlierEntries) {
        ++kinds[entry.kind];
        EXPECT_TRUE(entry.succeeded) << WideToNarrow(entry.path);
    }
    EXPECT_EQ(kinds[RecordEntryKind::File], 64);
    EXPECT_EQ(kinds[RecordEntryKind::MenuShortcut], 1);
    EXPECT_EQ(kinds[RecordEntryKind::UninstallShortcut], 1);
    EXPECT_EQ(kinds[RecordEntryKind::DesktopShortcut], 1);
    EXPECT_EQ(kinds[RecordEntryKind::UninstallKey], 1);
    EXPECT_EQ(kinds[RecordEntryKind::RegistrationRun], 1);
    EXPECT_EQ(kinds[RecordEntryKind::RuntimeUpdate], 1);
    EXPECT_GE(kinds[RecordEntryKind::Folder], 3);
}

} // namespace
} // namespace vt::test
