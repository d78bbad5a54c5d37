// Destination tokens resolved to real folders, with the shell's special folders.
#include "payload/compress_error.h"
#include "payload/destination.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>

namespace {

using vt::resolve_destination;
using vt::shell_folder;

const vt::PayloadFolders folders{L"C:\\Program Files\\Plankwise 6", L"Plankwise Examples",
                                 L"C:\\Temp\\vantorel_{1}"};

TEST(DestinationTokens, InstallPathIsTheInstallFolderExactly) {
    EXPECT_EQ(resolve_destination(folders, L"<InstallPath>"), folders.install_folder);
    EXPECT_EQ(resolve_destination(folders, L"<InstallPath>\\Lang"),
              L"C:\\Program Files\\Plankwise 6\\Lang");
    const vt::PayloadFolders trailing{L"D:\\Plankwise\\", L"", L""};
    EXPECT_EQ(resolve_destination(trailing, L"<InstallPath>\\Lang"), L"D:\\Plankwise\\Lang");
}

TEST(DestinationTokens, TemporaryIsTheWorkFolderOrElseTheInstallFolder) {
    EXPECT_EQ(resolve_destination(folders, L"<Temporary>"), folders.temp_folder);
    const vt::PayloadFolders no_temp{L"C:\\P", L"", L""};
    EXPECT_EQ(resolve_destination(no_temp, L"<Temporary>"), L"C:\\P");
    EXPECT_EQ(resolve_destination(vt::PayloadFolders{}, L"<Temporary>"), L"");
}

TEST(DestinationTokens, SpecialFoldersComeFromTheShell) {
    const std::map<std::wstring, int> tokens{{L"<ProgramFiles>", CSIDL_PROGRAM_FILES},
                                             {L"<ProgramCommon>", CSIDL_PROGRAM_FILES_COMMON},
                                             {L"<CommonData>", CSIDL_COMMON_APPDATA},
                                             {L"<UserData>", CSIDL_APPDATA},
                                             {L"<CommonDocuments>", CSIDL_COMMON_DOCUMENTS},
                                             {L"<Documents>", CSIDL_PERSONAL},
                                             {L"<CommonDesktop>", CSIDL_COMMON_DESKTOPDIRECTORY},
                                             {L"<Desktop>", CSIDL_DESKTOPDIRECTORY},
                                             {L"<WinDir>", CSIDL_WINDOWS},
                                             {L"<System>", CSIDL_SYSTEM}};
    for (const auto& [token, csidl] : tokens) {
        wchar_t expected[MAX_PATH] = {};
        ASSERT_EQ(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
        EXPECT_EQ(resolve_destination(folders, token), expected);
        EXPECT_EQ(resolve_destination(folders, token + L"\\Vantorel\\Materials"),
                  std::wstring(expected) + L"\\Vantorel\\Materials");
    }
}

TEST(DestinationTokens, SamplePathPlacesAFolderNameOnTheAllUsersDesktop) {
    const std::wstring desktop = shell_folder(CSIDL_COMMON_DESKTOPDIRECTORY);
    EXPECT_EQ(resolve_destination(folders, L"<SamplePath>"), desktop + L"\\Plankwise Examples");
    const vt::PayloadFolders absolute{L"", L"D:\\Samples", L""};
    EXPECT_EQ(resolve_destination(absolute, L"<SamplePath>"), L"D:\\Samples");
    EXPECT_EQ(resolve_destination(vt::PayloadFolders{}, L"<SamplePath>"), desktop);
    const vt::PayloadFolders rooted_only{L"", L"\\Samples", L""}; // no drive: not absolute
    EXPECT_EQ(resolve_destination(rooted_only, L"<SamplePath>"), desktop + L"\\Samples");
}

TEST(DestinationTokens, AnUnknownOrLowerCaseTokenGivesTheRestAsARelativePath) {
    EXPECT_EQ(resolve_destination(folders, L"<installpath>\\Lang"), L"Lang");
    EXPECT_EQ(resolve_destination(folders, L"<Nowhere>\\a\\b"), L"a\\b");
}

TEST(DestinationTokens, PathsWithoutATokenAreReturnedUnchanged) {
    EXPECT_EQ(resolve_destination(folders, L"C:\\Data"), L"C:\\Data");
    EXPECT_EQ(resolve_destination(folders, L"Data\\Files"), L"Data\\Files");
    EXPECT_EQ(resolve_destination(folders, L"<InstallPath>Lang"), L"<InstallPath>Lang");
    EXPECT_EQ(resolve_destination(folders, L""), L"");
}

TEST(DestinationTokens, SeparatorsAreFoldedAndATrailingOneGivesADot) {
    EXPECT_EQ(resolve_destination(folders, L"<InstallPath>/Lang//de"),
              L"C:\\Program Files\\Plankwise 6\\Lang\\de");
    EXPECT_EQ(resolve_destination(folders, L"<InstallPath>\\Lang\\"),
              L"C:\\Program Files\\Plankwise 6\\Lang\\.");
}

TEST(PathJoin, InsertsABackslashOnlyWhereNeeded) {
    EXPECT_EQ(vt::join_path(L"C:\\a", L"b"), L"C:\\a\\b");
    EXPECT_EQ(vt::join_path(L"C:\\a\\", L"b"), L"C:\\a\\b");
    EXPECT_EQ(vt::join_path(L"C:", L"b"), L"C:b");
    EXPECT_EQ(vt::join_path(L"", L"b"), L"b");
    EXPECT_EQ(vt::join_path(L"C:\\a", L"\\b"), L"C:\\a\\b");
}

TEST(PathJoin, TheFileNameIsTheLastComponentOfTheSourcePath) {
    EXPECT_EQ(vt::file_name_of(L"D:\\dev\\Plankwise\\bin\\Plankwise.exe"), L"Plankwise.exe");
    EXPECT_EQ(vt::file_name_of(L"Plankwise.exe"), L"Plankwise.exe");
    EXPECT_EQ(vt::file_name_of(L"D:/dev/Uninstall.exe"), L"Uninstall.exe");
}

// Wine always has every special folder; a machine without some is played through
// the shell query seam.
class ShellWithoutSomeFoldersThroughSeam : public ::testing::Test {
protected:
    void SetUp() override { previous_ = vt::details::set_shell_folder_query(&query); }
    void TearDown() override { vt::details::set_shell_folder_query(previous_); }

    static void query(int csidl, wchar_t* buffer) {
        const wchar_t* answer = L"";
        switch (csidl) {
        case CSIDL_APPDATA:
            answer = L"C:\\Users\\ann\\AppData\\Roaming";
            break;
        case CSIDL_DESKTOPDIRECTORY:
            answer = L"C:\\Users\\ann\\Desktop";
            break;
        case CSIDL_PERSONAL:
            answer = L"C:\\Users\\ann\\Documents";
            break;
        default:
            break; // no all-users folders, no system folders
        }
        wcscpy(buffer, answer);
    }

    vt::details::shell_folder_query previous_ = nullptr;
};

TEST_F(ShellWithoutSomeFoldersThroughSeam, CommonFoldersFallBackToTheUsersOwn) {
    EXPECT_EQ(resolve_destination(folders, L"<CommonData>\\Vantorel\\Materials"),
              L"C:\\Users\\ann\\AppData\\Roaming\\Vantorel\\Materials");
    EXPECT_EQ(resolve_destination(folders, L"<CommonDocuments>"), L"C:\\Users\\ann\\Documents");
    EXPECT_EQ(resolve_destination(folders, L"<CommonDesktop>"), L"C:\\Users\\ann\\Desktop");
    EXPECT_EQ(resolve_destination(folders, L"<SamplePath>"),
              L"C:\\Users\\ann\\Desktop\\Plankwise Examples");
}

TEST_F(ShellWithoutSomeFoldersThroughSeam, AFolderWithoutFallbackFailsWithCodeSeven) {
    try {
        (void)resolve_destination(folders, L"<ProgramFiles>\\Vantorel");
        FAIL() << "no exception";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), vt::compress_error::unexpected_error);
    }
    EXPECT_THROW((void)shell_folder(CSIDL_WINDOWS, true, CSIDL_SYSTEM), std::system_error);
}

} // namespace
