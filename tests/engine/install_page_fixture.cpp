#include "install_page_fixture.h"
#include "installed_product.h"

#include "lang/ui_language.h"
#include "support/product_constants.h"
#include "support/registry.h"

#include <shlobj.h>

namespace vt::test {
namespace {

class HostDialog : public fw::Dialog {
public:
    HostDialog() : Dialog(900) {}
};

std::wstring special_folder(int csidl) {
    return SpecialFolder(csidl);
}

} // namespace

void InstallPageTest::SetUp() {
    // What an earlier installation (or another test of this prefix) left.
    RemoveInstallation();
    SetLanguage(English);
    session.installFolder = scratch / L"Plankwise 6";
    session.shortcutFolder = scratch / L"Menu\\Vantorel\\Plankwise 6";
    ASSERT_TRUE(session.instanceMutex.TryAcquire());
    host = std::make_unique<HostDialog>();
    ASSERT_TRUE(host->Create(nullptr));
    page = std::make_unique<CDlgInstall>(session);
    ASSERT_TRUE(page->Create(host->Handle()));
    ::ShowWindow(page->Handle(), SW_SHOW);
    page->UpdateData(false);
    page->RefreshTexts();
}

void InstallPageTest::TearDown() {
    page.reset();
    host.reset();
    RemoveInstallation();
}

void InstallPageTest::RemoveInstallation() {
    RemoveInstalledProduct();
    ::SetEnvironmentVariableW(L"VT_DSETUP_VERSION", nullptr);
    ::SetEnvironmentVariableW(L"VT_DSETUP_REVISION", nullptr);
    ::SetEnvironmentVariableW(L"VT_DSETUP_RESULT", nullptr);
    ::SetEnvironmentVariableW(L"VT_DSETUP_PROGRESS", nullptr);
    ::SetEnvironmentVariableW(L"VT_DSETUP_CHECK_DISPATCH", nullptr);
}

void InstallPageTest::UsePayload(std::string archive) {
    payload_ = std::move(archive);
    page->SetPayloadSource([this] { return std::string_view(payload_); });
}

std::wstring InstallPageTest::Log() const {
    HWND log = page->Item(CDlgInstall::LogId);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(log)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(log, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring InstallPageTest::Status() const {
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(page->Handle(), CDlgInstall::StatusId, text, 1024);
    return text;
}

std::wstring InstallPageTest::DesktopFolder() const {
    return special_folder(CSIDL_COMMON_DESKTOPDIRECTORY);
}

std::wstring InstallPageTest::CommonDataFolder() const {
    return special_folder(CSIDL_COMMON_APPDATA);
}

std::wstring InstallPageTest::SamplesFolder() const {
    return DesktopFolder() + L"\\Plankwise Examples";
}

std::string BuildFile(const std::wstring& relative) {
    return read_file(BuildPath(relative));
}

std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* value) {
    std::wstring text = L"(none)";
    if (const auto opened = OpenKey(root, key)) {
        ReadString(opened.get(), value, text);
    }
    return text;
}

DWORD RegistryNumber(HKEY root, const std::wstring& key, const wchar_t* value) {
    DWORD number = 0xFFFFFFFF;
    DWORD size = sizeof number;
    ::RegGetValueW(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number, &size);
    return number;
}

} // namespace vt::test
