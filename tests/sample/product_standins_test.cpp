// The product's stand-ins as the installer meets them: the main program's
// registration run and its named objects, and the uninstaller on a record.
#include "app/instance_objects.h"
#include "process.h"
#include "record/install_record.h"
#include "scratch_folder.h"
#include "support/product_constants.h"
#include "support/registry.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring sample(const wchar_t* name) {
    return vt::test::own_folder() + L"\\..\\sample\\" + name;
}

TEST(ProductStandIn, TheRegistrationRunEndsWithMinusTenAndLeavesTheAssociation) {
    const auto result =
        vt::test::run_process(sample(L"Plankwise.exe"), {L"/Register", L"/Background"});
    EXPECT_EQ(result.exit_code, static_cast<unsigned long>(-10));
    const auto key = vt::OpenKey(HKEY_CLASSES_ROOT, L".pwproj");
    ASSERT_TRUE(key);
    std::wstring value;
    EXPECT_TRUE(vt::ReadString(key.get(), L"", value));
    EXPECT_EQ(value, L"Vantorel.Plankwise.Project");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pwproj");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Vantorel.Plankwise.Project");
}

HWND product_window() {
    for (int i = 0; i < 200; ++i) {
        if (HWND window = ::FindWindowW(L"VantorelPlankwiseStandIn", L"Plankwise 6.07")) {
            return window;
        }
        ::Sleep(50);
    }
    return nullptr;
}

TEST(ProductStandIn, WhileItRunsItHoldsTheMutexAndCounts) {
    vt::RunningInstanceCounter counter(vt::product::ApplicationIdDefault);
    counter.Register();
    const long before = counter.Count();
    vt::test::RunningProcess product(sample(L"Plankwise.exe"), {});
    HWND window = product_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(counter.Count(), before + 1);
    vt::InstanceMutex mutex(vt::product::ApplicationIdDefault);
    EXPECT_FALSE(mutex.TryAcquire());
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(product.Wait(), 0u);
    EXPECT_EQ(counter.Count(), before);
    EXPECT_TRUE(mutex.TryAcquire()); // abandoned or released: free again
}

TEST(UninstallerStandIn, RemovesWhatTheRecordListsAndNothingElse) {
    vt::test::ScratchFolder folder;
    const std::wstring app = folder / L"Plankwise";
    vt::InstallRecord record;
    record.AddFile(app + L"\\Uninstall.exe", 2, false);
    ::CopyFileW(sample(L"Uninstall.exe").c_str(), (app + L"\\Uninstall.exe").c_str(), FALSE);
    record.CommitLast(true);
    record.AddFile(app + L"\\Plankwise.exe", 1, false);
    vt::test::write_file(app + L"\\Plankwise.exe", "program");
    ::SetFileAttributesW((app + L"\\Plankwise.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    record.CommitLast(true);
    record.AddFile(app + L"\\Lang\\PlankwiseDE.dll", 0, false);
    vt::test::write_file(app + L"\\Lang\\PlankwiseDE.dll", "de");
    record.CommitLast(true);
    record.AddFile(folder / L"Shared\\materials.dat", 3, true);
    vt::test::write_file(folder / L"Shared\\materials.dat", "m");
    record.CommitLast(true);
    vt::test::write_file(folder / L"Shared\\user-notes.txt", "someone else's");
    ASSERT_TRUE(record.Write(app + L"\\Uninstall.ulog", app, L""));

    vt::test::RunningProcess uninstaller(app + L"\\Uninstall.exe", {});
    std::wstring question;
    if (HWND box = static_cast<HWND>(vt::test::find_dialog_of(uninstaller.Id(), 20000))) {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 256);
        question = text;
        ::PostMessageW(box, WM_COMMAND, IDYES, 0);
    }
    EXPECT_EQ(question, L"Do you want to remove Plankwise 6.07 and all of its components?");
    EXPECT_EQ(uninstaller.Wait(), 0u);
    EXPECT_FALSE(vt::test::file_exists(app + L"\\Plankwise.exe"));
    EXPECT_FALSE(vt::test::folder_exists(app + L"\\Lang"));
    EXPECT_FALSE(vt::test::file_exists(app + L"\\Uninstall.ulog"));
    EXPECT_FALSE(vt::test::file_exists(folder / L"Shared\\materials.dat"));
    EXPECT_TRUE(vt::test::file_exists(folder / L"Shared\\user-notes.txt"));
    EXPECT_TRUE(vt::test::folder_exists(folder / L"Shared"));
}

TEST(UninstallerStandIn, DoesNothingWhenTheUserSaysNo) {
    vt::test::ScratchFolder folder;
    vt::InstallRecord record;
    record.AddFile(folder / L"kept.dll", 0, false);
    vt::test::write_file(folder / L"kept.dll", "k");
    record.CommitLast(true);
    ASSERT_TRUE(record.Write(folder / L"Uninstall.ulog", folder.path(), L""));
    ::CopyFileW(sample(L"Uninstall.exe").c_str(), (folder / L"Uninstall.exe").c_str(), FALSE);
    vt::test::RunningProcess uninstaller(folder / L"Uninstall.exe", {});
    if (HWND box = static_cast<HWND>(vt::test::find_dialog_of(uninstaller.Id(), 20000))) {
        ::PostMessageW(box, WM_COMMAND, IDNO, 0);
    }
    EXPECT_EQ(uninstaller.Wait(), 1u);
    EXPECT_TRUE(vt::test::file_exists(folder / L"kept.dll"));
    ::SetFileAttributesW((folder / L"Uninstall.ulog").c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace

namespace {

std::wstring payload_tool() {
    return vt::test::own_folder() + L"\\..\\tools\\payload\\payload.exe";
}

TEST(SamplePayload, HoldsTheProductsSeventyFiles) {
    const std::wstring archive = sample(L"sample_payload.bz2");
    const auto listed = vt::test::run_process(payload_tool(), {L"list", archive});
    ASSERT_EQ(listed.exit_code, 0u) << listed.errors;
    int kinds[6] = {};
    int lines = 0;
    for (std::size_t at = 0; at < listed.output.size(); at = listed.output.find('\n', at) + 1) {
        const int kind = listed.output[at] - '0';
        ASSERT_GE(kind, 0);
        ASSERT_LE(kind, 5);
        ++kinds[kind];
        ++lines;
    }
    EXPECT_EQ(lines, 70);
    EXPECT_EQ(kinds[0], 13); // one language library per product language
    EXPECT_EQ(kinds[1], 1);
    EXPECT_EQ(kinds[2], 1);
    EXPECT_EQ(kinds[5], 6); // the DirectX setup files
    EXPECT_NE(listed.output.find("<CommonData>\\Vantorel\\Textures\\Plankwise 6\t"),
              std::string::npos);
    EXPECT_NE(listed.output.find("<UserData>\\Vantorel\\Plankwise 6\t"), std::string::npos);
    EXPECT_NE(listed.output.find("\\Uninstall.exe"), std::string::npos);
    EXPECT_EQ(vt::test::run_process(payload_tool(), {L"verify", archive}).exit_code, 0u);
}

TEST(SamplePayload, ExtractsIntoFilesThatOpenAndRun) {
    vt::test::ScratchFolder folder;
    const auto result = vt::test::run_process(
        payload_tool(), {L"extract", sample(L"sample_payload.bz2"), folder / L"Plankwise",
                         L"--samples", folder / L"Samples", L"--temp", folder / L"Temp"});
    ASSERT_EQ(result.exit_code, 0u) << result.errors;
    // A texture is a 24-bit BMP of its stated size.
    wchar_t common[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    const std::string bmp =
        vt::test::read_file(std::wstring(common) + L"\\Vantorel\\Textures\\Plankwise 6\\Oak1.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24u);
    EXPECT_TRUE(vt::test::read_file(folder / L"Samples\\Sample1.pwproj").starts_with("<?xml"));
    EXPECT_TRUE(vt::test::file_exists(folder / L"Plankwise\\Lang\\PlankwiseDEU.dll"));
    EXPECT_TRUE(vt::test::file_exists(folder / L"Temp\\DSETUP.dll"));
    // The extracted program runs.
    const auto registered =
        vt::test::run_process(folder / L"Plankwise\\Plankwise.exe", {L"/Register", L"/Background"});
    EXPECT_EQ(registered.exit_code, static_cast<unsigned long>(-10));
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pwproj");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Vantorel.Plankwise.Project");
}

} // namespace
