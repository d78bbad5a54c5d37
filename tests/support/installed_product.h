// What an installation of the product leaves on the machine, and its removal, so
// that every test starts on a machine without the product.
#pragma once

#include <string>

namespace vt::test {

[[nodiscard]] std::wstring SpecialFolder(int csidl);
// A file or folder of the build: relative to the folder above the test program's.
[[nodiscard]] std::wstring BuildPath(const std::wstring& relative);
// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::wstring& path);

// Removes the product's registry keys, its shared-data and settings folders,
// its samples, its desktop shortcut and, when given, its installation and
// start-menu folders.
void RemoveInstalledProduct(const std::wstring& install_folder = {},
                            const std::wstring& shortcut_folder = {});

} // namespace vt::test
