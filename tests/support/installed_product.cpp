#include "installed_product.h"

#include "support/product_constants.h"

#include <boost/filesystem/operations.hpp>

#include <windows.h>
#include <shlobj.h>

namespace vt::test {

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

std::wstring BuildPath(const std::wstring& relative) {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring folder = own;
    folder.erase(folder.find_last_of(L'\\'));
    folder.erase(folder.find_last_of(L'\\'));
    return folder + L"\\" + relative;
}

void RemoveTree(const std::wstring& path) {
    namespace fs = boost::filesystem;
    boost::system::error_code error;
    for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
         it.increment(error)) {
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(path, error);
}

void RemoveInstalledProduct(const std::wstring& install_folder,
                            const std::wstring& shortcut_folder) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, product::UninstallKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, product::MakerKey);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pwproj");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Vantorel.Plankwise.Project");
    RemoveTree(SpecialFolder(CSIDL_COMMON_APPDATA) + L"\\Vantorel");
    RemoveTree(SpecialFolder(CSIDL_APPDATA) + L"\\Vantorel");
    const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    RemoveTree(desktop + L"\\Plankwise Examples");
    ::DeleteFileW((desktop + L"\\Plankwise 6.07.lnk").c_str());
    if (!install_folder.empty()) {
        RemoveTree(install_folder);
    }
    if (!shortcut_folder.empty()) {
        RemoveTree(shortcut_folder);
    }
}

} // namespace vt::test
