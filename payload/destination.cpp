#include "payload/destination.h"

#include "payload/compress_error.h"

#include <windows.h>
#include <shlobj.h>

#include <boost/filesystem/path.hpp>

#include <array>
#include <atomic>
#include <vector>

namespace vt {
namespace {

void ask_the_shell(int csidl, wchar_t* buffer) {
    // The status is not examined: the answer is the buffer's content.
    (void)::SHGetFolderPathW(::GetActiveWindow(), csidl & ~CSIDL_FLAG_CREATE, nullptr,
                             SHGFP_TYPE_CURRENT, buffer);
}

std::atomic<details::shell_folder_query> current_query{&ask_the_shell};

bool is_separator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The special folder of each token, with its second choice where it has one.
struct TokenFolder {
    std::wstring_view token;
    int csidl;
    bool fallback;
    int fallback_csidl;
};

constexpr std::array token_folders{
    TokenFolder{L"<ProgramFiles>", CSIDL_PROGRAM_FILES, false, 0},
    TokenFolder{L"<ProgramCommon>", CSIDL_PROGRAM_FILES_COMMON, false, 0},
    TokenFolder{L"<CommonData>", CSIDL_COMMON_APPDATA, true, CSIDL_APPDATA},
    TokenFolder{L"<UserData>", CSIDL_APPDATA, false, 0},
    TokenFolder{L"<CommonDocuments>", CSIDL_COMMON_DOCUMENTS, true, CSIDL_PERSONAL},
    TokenFolder{L"<Documents>", CSIDL_PERSONAL, false, 0},
    TokenFolder{L"<CommonDesktop>", CSIDL_COMMON_DESKTOPDIRECTORY, true, CSIDL_DESKTOPDIRECTORY},
    TokenFolder{L"<Desktop>", CSIDL_DESKTOPDIRECTORY, false, 0},
    TokenFolder{L"<WinDir>", CSIDL_WINDOWS, false, 0},
    TokenFolder{L"<System>", CSIDL_SYSTEM, false, 0},
};

std::wstring all_users_desktop() {
    return shell_folder(CSIDL_COMMON_DESKTOPDIRECTORY, true, CSIDL_DESKTOPDIRECTORY);
}

std::wstring sample_base(const std::wstring& sample_folder) {
    if (sample_folder.empty()) {
        return all_users_desktop();
    }
    const boost::filesystem::path sample(sample_folder);
    if (sample.has_root_name() && sample.has_root_directory()) {
        return sample_folder;
    }
    return join_path(all_users_desktop(), sample_folder);
}

std::wstring token_base(const PayloadFolders& folders, const std::wstring& token) {
    if (token == L"<InstallPath>") {
        return folders.install_folder;
    }
    if (token == L"<Temporary>") {
        return folders.temp_folder.empty() ? folders.install_folder : folders.temp_folder;
    }
    if (token == L"<SamplePath>") {
        return sample_base(folders.sample_folder);
    }
    for (const auto& entry : token_folders) {
        if (entry.token == token) {
            return shell_folder(entry.csidl, entry.fallback, entry.fallback_csidl);
        }
    }
    return {};
}

} // namespace

namespace details {
shell_folder_query set_shell_folder_query(shell_folder_query query) noexcept {
    return current_query.exchange(query != nullptr ? query : &ask_the_shell);
}
} // namespace details

std::wstring shell_folder(int csidl, bool allow_fallback, int fallback_csidl) {
    std::array<wchar_t, MAX_PATH> buffer{};
    const auto query = current_query.load();
    query(csidl, buffer.data());
    if (buffer[0] == L'\0' && allow_fallback) {
        buffer.fill(L'\0');
        query(fallback_csidl, buffer.data());
    }
    if (buffer[0] == L'\0') {
        throw_compress_error(compress_error::unexpected_error);
    }
    buffer.back() = L'\0';
    return buffer.data();
}

std::wstring join_path(std::wstring base, std::wstring_view component) {
    const bool glue = !base.empty() && !is_separator(base.back()) && base.back() != L':' &&
                      !(component.size() > 0 && is_separator(component.front()));
    if (glue) {
        base += L'\\';
    }
    base += component;
    return base;
}

std::wstring file_name_of(const std::wstring& path) {
    return boost::filesystem::path(path).filename().wstring();
}

std::wstring resolve_destination(const PayloadFolders& folders, const std::wstring& destination) {
    // The components as the path class iterates them under Windows rules: root name
    // and root directory of their own, repeated separators folded, a trailing
    // separator giving a final ".".
    std::vector<std::wstring> components;
    const boost::filesystem::path path(destination);
    for (const auto& component : path) {
        components.push_back(component.wstring());
    }
    if (components.empty()) {
        return destination;
    }
    const std::wstring& first = components.front();
    if (first.empty() || first.front() != L'<' || first.back() != L'>') {
        return destination;
    }
    std::wstring result = token_base(folders, first);
    for (std::size_t i = 1; i < components.size(); ++i) {
        result = join_path(std::move(result), components[i]);
    }
    return result;
}

} // namespace vt
