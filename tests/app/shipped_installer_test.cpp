// The shipped program as a file: one executable of this build's width that needs
// no library of the compiler, with its manifest, version and payload inside.
#include "app/version_info.h"
#include "installed_product.h"
#include "scratch_folder.h"
#include "support/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring installer() {
    return vt::test::BuildPath(L"app\\PlankwiseSetup.exe");
}

WORD machine_of(const std::string& image) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    return nt->FileHeader.Machine;
}

std::string resource_bytes(HMODULE module, LPCWSTR type, LPCWSTR name) {
    HRSRC found = ::FindResourceW(module, name, type);
    if (found == nullptr) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string(bytes, ::SizeofResource(module, found));
}

TEST(ShippedInstaller, IsOneProgramOfThisWidthWithItsResourcesAndPayload) {
    const std::string image = vt::test::read_file(installer());
    ASSERT_GT(image.size(), 4096u);
    // The width of the test program: PE32 for the 32-bit build.
    const std::string own =
        vt::test::read_file(vt::test::BuildPath(L"tests\\app_startup_tests.exe"));
    EXPECT_EQ(machine_of(image), machine_of(own));
    // Statically linked: no run-time library of the compiler to ship beside it.
    for (const char* library : {"libstdc++-6.dll", "libgcc_s", "libwinpthread-1.dll"}) {
        EXPECT_EQ(image.find(library), std::string::npos) << library;
    }

    const vt::unique_module module(
        ::LoadLibraryExW(installer().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    const std::string manifest = resource_bytes(module.get(), RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("requireAdministrator"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_EQ(resource_bytes(module.get(), MAKEINTRESOURCEW(260), MAKEINTRESOURCEW(134)),
              vt::test::read_file(vt::test::BuildPath(L"sample\\sample_payload.bz2")));
    for (WORD dialog : {100, 102, 132, 133, 134, 135, 136, 137}) {
        EXPECT_NE(::FindResourceW(module.get(), MAKEINTRESOURCEW(dialog), RT_DIALOG), nullptr)
            << dialog;
    }
    EXPECT_NE(::FindResourceW(module.get(), MAKEINTRESOURCEW(137), RT_BITMAP), nullptr);
    for (WORD icon = 141; icon <= 158; ++icon) {
        EXPECT_NE(::FindResourceW(module.get(), MAKEINTRESOURCEW(icon), RT_GROUP_ICON), nullptr)
            << icon;
    }

    const vt::VersionInfo version = vt::VersionInfo::OfFile(installer());
    EXPECT_EQ(version.Version(), 0x0002000300000002ull);
    EXPECT_EQ(version.String(L"ProductName"), L"Install");
    EXPECT_EQ(version.String(L"ProductVersion"), L"2.03");
    EXPECT_EQ(version.String(L"ApplicationId"), L"Plankwise6");
    EXPECT_FALSE(version.String(L"LegalCopyright").empty());
}

} // namespace
