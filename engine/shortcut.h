// Shell shortcuts: one link file pointing at an installed program.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

// Writes "<folder>\<name>.lnk" pointing at `target`, with the target's folder as
// working folder; no arguments, description, icon or hot key. Without a name the
// target's file name without extension is used. True when the file was saved;
// its path is then stored in `shortcut_path`. An existing file of that name is
// replaced.
bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const wchar_t* name,
                    std::wstring& shortcut_path);

// The all-users desktop folder, else the user's own; empty when the shell gives
// neither.
[[nodiscard]] std::wstring DesktopFolder(HWND owner);

namespace details {
// How DesktopFolder asks the shell (SHGetSpecialFolderPathW); tests play a
// machine without an all-users desktop through it.
using special_folder_query = BOOL (*)(HWND owner, wchar_t* path, int csidl);
special_folder_query SetDesktopFolderQuery(special_folder_query query) noexcept;
} // namespace details

} // namespace vt
