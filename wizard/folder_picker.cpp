#include "wizard/folder_picker.h"

#include "framework/callback_boundary.h"
#include "lang/language_code.h"
#include "support/error_text.h"

#include <knownfolders.h>
#include <shlwapi.h>

#include <vector>

namespace vt {
namespace {

// The components of a path, without empty ones.
std::vector<std::wstring> components(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

bool valid_path_characters(const std::wstring& text) {
    for (wchar_t c : text) {
        const UINT type = ::PathGetCharTypeW(c);
        if (type == GCT_INVALID || (type & GCT_WILD) != 0) {
            return false;
        }
    }
    return true;
}

std::wstring relative_path(const std::wstring& from, const std::wstring& to) {
    wchar_t relative[MAX_PATH] = {};
    if (from.size() >= MAX_PATH || to.size() >= MAX_PATH ||
        !::PathRelativePathToW(relative, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, to.c_str(),
                               FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    if (std::wstring(relative) == L".") {
        return L".";
    }
    wchar_t canonical[MAX_PATH] = {};
    return ::PathCanonicalizeW(canonical, relative) ? canonical : relative;
}

bool is_directory(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CALLBACK find_captioned_window(HWND window, LPARAM data) {
    if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

HWND first_captioned_window_of_thread() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &find_captioned_window,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND browse_owner() {
    HWND window = ::GetActiveWindow();
    if (window == nullptr) {
        window = first_captioned_window_of_thread();
    }
    HWND owner = window != nullptr ? ::GetAncestor(window, GA_ROOTOWNER) : nullptr;
    return owner != nullptr ? ::GetLastActivePopup(owner) : nullptr;
}

} // namespace

FolderPicker::~FolderPicker() {
    Reset();
}

void FolderPicker::Reset() {
    if (root_ != nullptr) {
        ::CoTaskMemFree(root_);
        root_ = nullptr;
    }
    if (com_initialized_) {
        ::CoUninitialize();
        com_initialized_ = false;
    }
    root_parent_.clear();
    root_parent_known_ = false;
    path_.clear();
    subfolder_.clear();
    title_.clear();
    dialog_ready_ = false;
    validated_ = false;
    edit_ = nullptr;
}

const std::wstring& FolderPicker::RootParent() {
    if (!root_parent_known_) {
        root_parent_known_ = true;
        wchar_t path[MAX_PATH] = {};
        if (root_ != nullptr && ::SHGetPathFromIDListW(root_, path)) {
            ::PathRemoveFileSpecW(path);
            root_parent_ = path;
        }
    }
    return root_parent_;
}

std::wstring FolderPicker::PickFolder(const std::wstring& initial, const std::wstring& subfolder,
                                      const std::wstring& title) {
    Reset();
    title_ = title;
    const bool ok = Browse(initial, subfolder);
    std::wstring result = ok ? path_ : std::wstring();
    Reset();
    return result;
}

FolderPicker::MenuChoice FolderPicker::PickMenuFolder(const std::wstring& initial,
                                                      const std::wstring& subfolder,
                                                      const std::wstring& title) {
    Reset();
    title_ = title;
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_PROGRAMS, &root_);
    MenuChoice choice;
    if (Browse(initial, subfolder)) {
        choice.folder = path_;
        choice.without_sub = WithoutSubfolder();
        choice.relative = RelativeToRootParent();
    }
    Reset();
    return choice;
}

bool FolderPicker::Browse(const std::wstring& initial, const std::wstring& subfolder) {
    owner_ = browse_owner();
    if (!com_initialized_) {
        const HRESULT result = ::CoInitialize(nullptr);
        if (FAILED(result)) {
            ShowError(owner_, result);
            return false;
        }
        com_initialized_ = true;
    }
    dialog_ready_ = false;
    validated_ = false;

    path_.clear();
    if (!initial.empty() && !::PathIsRelativeW(initial.c_str())) {
        path_ = initial;
    } else if (root_ != nullptr) {
        wchar_t root_path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(root_, root_path)) {
            path_ = root_path;
        }
    }
    if (!path_.empty() && path_.back() == L':') {
        path_ += L'\\';
    }
    if (path_.empty()) {
        PWSTR documents = nullptr;
        if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents))) {
            path_ = documents;
        }
        ::CoTaskMemFree(documents);
    }
    subfolder_ = valid_path_characters(subfolder) ? subfolder : std::wstring();
    Normalize();

    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.pidlRoot = root_;
    info.lpszTitle = title_.empty() ? nullptr : title_.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    if (!subfolder_.empty()) {
        info.ulFlags |= BIF_EDITBOX | BIF_VALIDATE;
    }
    info.lpfn = &FolderPicker::Callback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (chosen == nullptr) {
        // A typed folder that was accepted closes the dialog without an item.
        return validated_;
    }
    wchar_t path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListW(chosen, path) != FALSE;
    if (ok && !validated_) {
        path_ = path;
    }
    ::CoTaskMemFree(chosen);
    return ok;
}

int FolderPicker::EndsWith(const std::wstring& p) const {
    const std::vector<std::wstring> mine = components(path_);
    const std::vector<std::wstring> theirs = components(p);
    if (mine.size() < 2 || theirs.empty() || theirs.size() > mine.size()) {
        return 0;
    }
    for (std::size_t i = 1; i <= theirs.size(); ++i) {
        if (::lstrcmpiW(mine[mine.size() - i].c_str(), theirs[theirs.size() - i].c_str()) != 0) {
            return 0;
        }
    }
    return static_cast<int>(theirs.size());
}

void FolderPicker::Normalize() {
    if (subfolder_.empty()) {
        return;
    }
    if (EndsWith(subfolder_) == 0) {
        // The longest leading part of the subfolder that the path already ends with.
        std::vector<std::wstring> leading = components(subfolder_);
        const std::size_t total = leading.size();
        while (!leading.empty()) {
            std::wstring joined;
            for (const std::wstring& part : leading) {
                joined += (joined.empty() ? L"" : L"\\") + part;
            }
            if (EndsWith(joined) != 0) {
                break;
            }
            leading.pop_back();
        }
        std::wstring rest;
        const std::vector<std::wstring> all = components(subfolder_);
        for (std::size_t i = leading.size(); i < total; ++i) {
            rest += (rest.empty() ? L"" : L"\\") + all[i];
        }
        wchar_t appended[MAX_PATH] = {};
        if (path_.size() < MAX_PATH) {
            path_.copy(appended, MAX_PATH - 1);
            if (::PathAppendW(appended, rest.c_str())) {
                path_ = appended;
            }
        }
    }
    if (!RootParent().empty()) {
        const std::wstring relative = relative_path(root_parent_, path_);
        if (!relative.empty()) {
            path_ = relative;
        }
    }
}

std::wstring FolderPicker::WithoutSubfolder() const {
    const int n = subfolder_.empty() ? 0 : EndsWith(subfolder_);
    if (n == 0) {
        return path_;
    }
    std::wstring result = path_;
    while (!result.empty() && (result.back() == L'\\' || result.back() == L'/')) {
        result.pop_back();
    }
    for (int i = 0; i < n; ++i) {
        const std::size_t slash = result.find_last_of(L"\\/");
        result.erase(slash == std::wstring::npos ? 0 : slash);
    }
    return result;
}

std::wstring FolderPicker::RelativeToRootParent() {
    if (RootParent().empty()) {
        return path_;
    }
    const std::wstring relative = relative_path(root_parent_, path_);
    if (relative.empty()) {
        return path_;
    }
    return relative == L"." ? std::wstring() : relative;
}

HRESULT FolderPicker::ValidateTyped(const std::wstring& typed) {
    if (typed.size() >= MAX_PATH) {
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    wchar_t text[MAX_PATH] = {};
    typed.copy(text, MAX_PATH - 1);
    ::PathRemoveBlanksW(text);
    ::PathRemoveBackslashW(text);
    if (text[0] != L'\0' && text[1] == L':' && text[2] == L'\0') {
        text[2] = L'\\';
        text[3] = L'\0';
    }
    if (text[0] == L'\0' && ::GetCurrentDirectoryW(MAX_PATH, text) == 0) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    wchar_t full[MAX_PATH] = {};
    BOOL qualified = FALSE;
    if (!RootParent().empty()) {
        wchar_t previous[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        if (!::SetCurrentDirectoryW(root_parent_.c_str())) {
            return HRESULT_FROM_WIN32(::GetLastError());
        }
        qualified = ::PathSearchAndQualifyW(text, full, MAX_PATH);
        ::SetCurrentDirectoryW(previous);
    } else {
        qualified = ::PathSearchAndQualifyW(text, full, MAX_PATH);
    }
    bool accepted = qualified != FALSE && valid_path_characters(full);
    if (accepted && !root_parent_.empty()) {
        accepted = ::PathCommonPrefixW(root_parent_.c_str(), full, nullptr) ==
                   static_cast<int>(root_parent_.size());
    }
    if (!accepted) {
        return HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME);
    }
    path_ = full;
    validated_ = true;
    return S_OK;
}

void FolderPicker::ShowError(HWND window, HRESULT code) const {
    HWND owner = window != nullptr ? window : owner_;
    bool right_to_left = false;
    if (owner != nullptr) {
        right_to_left = (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    } else {
        right_to_left = IsRightToLeft(LanguageOfLangId(::GetUserDefaultUILanguage()));
    }
    ::MessageBoxW(owner, ErrorText(code).c_str(), nullptr,
                  MB_OK | MB_ICONEXCLAMATION | (right_to_left ? MB_RTLREADING : 0));
}

int CALLBACK FolderPicker::Callback(HWND window, UINT message, LPARAM lparam, LPARAM data) {
    int result = 0;
    fw::GuardCallback([&] {
        result = reinterpret_cast<FolderPicker*>(data)->OnBrowseMessage(window, message, lparam);
    });
    return result;
}

int FolderPicker::OnBrowseMessage(HWND window, UINT message, LPARAM lparam) {
    switch (message) {
    case BFFM_INITIALIZED: {
        dialog_ready_ = true;
        std::wstring candidate = path_;
        bool have_candidate = true;
        if (!RootParent().empty()) {
            wchar_t joined[MAX_PATH] = {};
            have_candidate = ::PathCombineW(joined, root_parent_.c_str(), path_.c_str()) != nullptr;
            candidate = joined;
        }
        bool reached = false;
        if (have_candidate) {
            wchar_t walk[MAX_PATH] = {};
            candidate.copy(walk, MAX_PATH - 1);
            while (!(reached = is_directory(walk))) {
                if (!::PathRemoveFileSpecW(walk)) {
                    break;
                }
            }
            if (reached) {
                ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(walk));
                ::SendMessageW(window, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(walk));
            }
        }
        if (!subfolder_.empty()) {
            edit_ = ::FindWindowExW(window, nullptr, L"Edit", nullptr);
        }
        if (reached && edit_ != nullptr) {
            ::SetWindowTextW(edit_, path_.c_str());
            ::SendMessageW(edit_, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case BFFM_SELCHANGED: {
        if (!dialog_ready_) {
            return 0;
        }
        wchar_t path[MAX_PATH] = {};
        const bool has_path =
            ::SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lparam), path) != FALSE;
        if (has_path) {
            path_ = path;
            Normalize();
        }
        if (edit_ != nullptr) {
            ::SetWindowTextW(edit_, path_.c_str());
            ::SendMessageW(edit_, EM_SETSEL, 0, -1);
        }
        if (subfolder_.empty()) {
            ::SendMessageW(window, BFFM_ENABLEOK, 0, has_path ? TRUE : FALSE);
        }
        return 0;
    }
    case BFFM_VALIDATEFAILEDW: {
        const HRESULT error = ValidateTyped(reinterpret_cast<const wchar_t*>(lparam));
        if (SUCCEEDED(error)) {
            return 0;
        }
        ShowError(window, error);
        return 1;
    }
    default:
        return 0;
    }
}

} // namespace vt
