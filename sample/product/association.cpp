#include "sample/product/association.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace vt::sample {
namespace {

bool set_default(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyW(HKEY_CLASSES_ROOT, key.c_str(), &handle) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status =
        ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

} // namespace

bool RegisterAssociation(const std::wstring& program) {
    const bool done = set_default(ProjectExtension, ProjectClass) &&
                      set_default(ProjectClass, L"Plankwise Project") &&
                      set_default(std::wstring(ProjectClass) + L"\\shell\\open\\command",
                                  L"\"" + program + L"\" \"%1\"");
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return done;
}

void RemoveAssociation() {
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, ProjectExtension);
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, ProjectClass);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace vt::sample
