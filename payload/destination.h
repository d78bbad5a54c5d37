// Destination folders: the tokens an archive entry's destination begins with,
// resolved to the folders of this machine, user and installation.
#pragma once

#include <string>
#include <string_view>

namespace vt {

// The folders that the caller of the extraction supplies; any may be empty.
struct PayloadFolders {
    std::wstring install_folder; // the product's installation folder
    std::wstring sample_folder;  // absolute, or a folder name on the all-users desktop
    std::wstring temp_folder;    // the temporary work folder of the installation
};

// The destination with its leading token replaced by a real folder. A destination
// without a token is returned unchanged; an unknown token resolves to an empty base.
// Raises std::system_error (compress_error::unexpected_error) when a special
// folder cannot be determined.
[[nodiscard]] std::wstring resolve_destination(const PayloadFolders& folders,
                                               const std::wstring& destination);

// A shell special folder (a CSIDL number), with an optional second choice.
// Raises std::system_error (compress_error::unexpected_error) when neither gives a path.
[[nodiscard]] std::wstring shell_folder(int csidl, bool allow_fallback = false,
                                        int fallback_csidl = 0);

// Joins a path component to a base: a backslash goes between them unless the base
// is empty, ends with a separator or a drive colon, or the component begins with a
// separator.
[[nodiscard]] std::wstring join_path(std::wstring base, std::wstring_view component);

// The last component of a path (the whole string when it has no folder part).
[[nodiscard]] std::wstring file_name_of(const std::wstring& path);

namespace details {
// How shell_folder asks the shell: fills the buffer of MAX_PATH characters. Tests
// replace it to play a machine without some special folder.
using shell_folder_query = void (*)(int csidl, wchar_t* buffer);
shell_folder_query set_shell_folder_query(shell_folder_query query) noexcept;
} // namespace details

} // namespace vt
