// The product that this installer installs. No dependencies.
#pragma once

#include <cstdint>

namespace vt::product {

inline constexpr wchar_t Word[] = L"Plankwise";
inline constexpr wchar_t Label[] = L"Plankwise";                 // ProductLabel without version
inline constexpr wchar_t LabelWithVersion[] = L"Plankwise 6.07"; // ProductLabel with version
inline constexpr wchar_t UninstallKeyName[] = L"Plankwise 6";
inline constexpr wchar_t MakerFolder[] = L"Vantorel";
inline constexpr wchar_t ApplicationIdDefault[] = L"Plankwise6";

// The file version installed, 6.7.0.2: most significant dword high, least low.
inline constexpr std::uint64_t FileVersion = 0x0006000700000002ull;

// Registry places that the installation writes and the next installer reads.
inline constexpr wchar_t MakerKey[] = L"Software\\Vantorel"; // under HKLM
inline constexpr wchar_t ProgramPathValue[] = L"Plankwise 6 Path";
inline constexpr wchar_t UninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plankwise 6";
inline constexpr wchar_t LanguageValue[] = L"VtLanguage";
inline constexpr wchar_t RecordFileName[] = L"Uninstall.ulog";

} // namespace vt::product
