// The languages shared with the installed product, and which of them the product
// and the installer's own texts are offered in.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vt {

enum LanguageCode : std::int32_t {
    French = 0,
    English = 1,
    German = 2,
    Spanish = 3,
    Portuguese = 4,
    Dutch = 5,
    Danish = 6,
    Turkish = 7,
    Bulgarian = 8,
    Romanian = 9,
    ChineseSimplified = 10,
    Italian = 11,
    Czech = 12,
    Norwegian = 13,
    Greek = 14,
    Polish = 15,
    Hebrew = 16,
    Vietnamese = 17,
};

inline constexpr int LanguageCount = 18;

// A set of languages: bit (1 << code) per member.
using LanguageSet = std::uint32_t;
inline constexpr LanguageSet ProductLanguages = 0x34EBF;
inline constexpr LanguageSet TranslatedLanguages =
    (1u << French) | (1u << English) | (1u << German) | (1u << Spanish) | (1u << Portuguese) |
    (1u << Turkish) | (1u << Romanian) | (1u << Italian);

[[nodiscard]] constexpr bool InSet(LanguageSet set, int code) noexcept {
    return code >= 0 && code < LanguageCount && (set & (1u << code)) != 0;
}

// The Windows language identifier of a language (French for an unknown code).
[[nodiscard]] LANGID LanguageId(int code) noexcept;

// The offset of the language's block in the string table.
[[nodiscard]] UINT TableOffset(int code) noexcept;

// The language of a Windows language identifier, or -1.
[[nodiscard]] int LanguageOfLangId(LANGID id) noexcept;

// The user's default language if it is in the set, else English if English is
// in it, else French.
[[nodiscard]] LanguageCode LanguageFromUserDefault(LanguageSet set);

// Whether the language is written right to left.
[[nodiscard]] bool IsRightToLeft(int code);

} // namespace vt
