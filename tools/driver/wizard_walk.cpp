// Walks the installer through a quick installation as a person would: start
// page, mode page, install page, Install, the end page, the about box, Exit. It
// saves a picture of every step and says where the product ended up.
//
//   wizard_walk <installer> <picture folder> <name prefix>
#include "wizard_driver.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace vt::driver;

constexpr int next_id = IDOK;
constexpr int exit_id = IDCANCEL;
constexpr int log_id = 1015;

std::wstring folder;
std::wstring prefix;
int picture = 0;

// A line on standard output, in UTF-8.
void say(const std::wstring& text) {
    const std::wstring line = text + L"\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(),
                          size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void capture(HWND window, const std::wstring& name) {
    const std::wstring path =
        folder + L"\\" + prefix + L"-" + std::to_wstring(++picture) + L"-" + name + L".bmp";
    if (!Capture(window, path)) {
        say(L"wizard_walk: could not save " + path);
    }
}

[[noreturn]] void fail(const std::wstring& why) {
    say(L"wizard_walk: " + why);
    std::exit(1);
}

// A Windows path with the Unix path Wine keeps it at, when there is one.
std::wstring shown(const std::wstring& path) {
    using unix_name_t = char*(CDECL*)(const wchar_t*);
    static const auto unix_name = reinterpret_cast<unix_name_t>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unix_name == nullptr) {
        return path;
    }
    char* name = unix_name(path.c_str());
    if (name == nullptr) {
        return path;
    }
    std::wstring result = path + L"  (" + std::wstring(name, name + std::strlen(name)) + L")";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

std::wstring registry_text(const wchar_t* key, const wchar_t* value) {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return text;
}

std::wstring special_folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

void next_page(HWND wizard, const std::wstring& name) {
    if (PressForNextPage(wizard, next_id) == nullptr) {
        fail(L"the wizard did not leave its page for the " + name + L" page");
    }
    capture(wizard, name);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        say(L"usage: wizard_walk <installer> <picture folder> <name prefix>");
        return 2;
    }
    folder = argv[2];
    prefix = argv[3];
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);

    InstallerProcess installer(argv[1]);
    HWND wizard = WaitForDialog(installer.Id(), 1005);
    if (wizard == nullptr) {
        fail(L"the wizard did not appear");
    }
    say(L"wizard: " + Text(wizard));
    capture(wizard, L"start");
    next_page(wizard, L"mode");
    next_page(wizard, L"install");

    say(L"pressing " + ItemText(wizard, next_id));
    Press(wizard, next_id);
    // The run ends when Exit is enabled again.
    WaitUntil([&] { return !Enabled(wizard, exit_id); }, 5000);
    if (!WaitUntil([&] { return Enabled(wizard, exit_id); }, 300000, installer.Handle())) {
        fail(L"the installation did not end");
    }
    capture(wizard, L"installed");
    const std::wstring log = ItemText(VisiblePage(wizard), log_id);
    if (log.find(L"Installation is complete.") == std::wstring::npos && !Enabled(wizard, next_id)) {
        say(log);
        fail(L"the installation failed");
    }
    next_page(wizard, L"end");

    ::PostMessageW(wizard, WM_SYSCOMMAND, 16, 0);
    if (HWND about = WaitForOtherDialog(installer.Id(), {wizard}, 10000)) {
        capture(about, L"about");
        Press(about, IDOK);
        WaitUntil([&] { return !::IsWindow(about); });
    }
    Press(wizard, exit_id);
    installer.Wait(30000);

    const std::wstring product = registry_text(L"Software\\Vantorel", L"Plankwise 6 Path");
    say(L"The product: " + shown(product));
    std::wstring record =
        registry_text(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plankwise 6",
                      L"UninstallString");
    if (!record.empty() && record.front() == L'"') {
        record = record.substr(1, record.find(L'"', 1) - 1);
    }
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"Uninstall.ulog";
    say(L"The installation record: " + shown(record));
    say(L"The start-menu shortcuts: " +
        shown(special_folder(CSIDL_COMMON_PROGRAMS) + L"\\Vantorel\\Plankwise 6"));
    say(L"The desktop shortcut: " +
        shown(special_folder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Plankwise 6.07.lnk"));
    return 0;
}
