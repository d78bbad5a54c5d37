#include "engine/shortcut.h"

#include "support/unique_handle.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace vt {
namespace {

BOOL real_special_folder(HWND owner, wchar_t* path, int csidl) {
    return ::SHGetSpecialFolderPathW(owner, path, csidl, FALSE);
}

details::special_folder_query special_folder = &real_special_folder;

// COM for this thread, for as long as the object lives.
class ComApartment {
public:
    ComApartment() : result_(::CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (Ready()) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    [[nodiscard]] bool Ready() const noexcept { return result_ == S_OK || result_ == S_FALSE; }

private:
    HRESULT result_;
};

// An interface pointer, released at the end.
template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface* operator->() const noexcept { return pointer_; }
    [[nodiscard]] void** put() noexcept { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

} // namespace

bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const wchar_t* name,
                    std::wstring& shortcut_path) {
    // The working folder: the target without its file name.
    wchar_t working[MAX_PATH] = {};
    if (target.empty() || target.size() >= MAX_PATH) {
        return false;
    }
    target.copy(working, MAX_PATH - 1);
    if (!::PathRemoveFileSpecW(working) || working[0] == L'\0') {
        return false;
    }
    // The link's file name.
    std::wstring link_name;
    if (name != nullptr) {
        link_name = name;
    } else {
        wchar_t file[MAX_PATH] = {};
        std::wstring(::PathFindFileNameW(target.c_str())).copy(file, MAX_PATH - 1);
        ::PathRemoveExtensionW(file);
        link_name = file;
    }
    wchar_t link[MAX_PATH] = {};
    if (folder.size() >= MAX_PATH) {
        return false;
    }
    folder.copy(link, MAX_PATH - 1);
    if (!::PathAppendW(link, link_name.c_str()) || ::wcslen(link) + 4 >= MAX_PATH) {
        return false;
    }
    ::wcscat(link, L".lnk");

    const ComApartment com;
    if (!com.Ready()) {
        return false;
    }
    ComPointer<IShellLinkW> shell_link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shell_link.put()))) {
        return false;
    }
    shell_link->SetPath(target.c_str());
    shell_link->SetWorkingDirectory(working);
    ComPointer<IPersistFile> file;
    if (FAILED(shell_link->QueryInterface(IID_IPersistFile, file.put())) ||
        FAILED(file->Save(link, TRUE))) {
        return false;
    }
    shortcut_path = link;
    return true;
}

std::wstring DesktopFolder(HWND owner) {
    wchar_t path[MAX_PATH] = {};
    if (special_folder(owner, path, CSIDL_COMMON_DESKTOPDIRECTORY) ||
        special_folder(owner, path, CSIDL_DESKTOPDIRECTORY)) {
        return path;
    }
    return {};
}

details::special_folder_query details::SetDesktopFolderQuery(special_folder_query query) noexcept {
    const special_folder_query previous = special_folder;
    special_folder = query != nullptr ? query : &real_special_folder;
    return previous;
}

} // namespace vt
