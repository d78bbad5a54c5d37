#include "lang/language_code.h"

#include "lang/ui_language.h"

#include <array>

namespace vt {
namespace {

struct LanguageRow {
    LANGID id;
    UINT offset;
};

constexpr std::array<LanguageRow, LanguageCount> languages{{
    {0x040C, 0},     // French
    {0x0409, 1000},  // English
    {0x0407, 2000},  // German
    {0x0C0A, 3000},  // Spanish
    {0x0816, 4000},  // Portuguese
    {0x0413, 6000},  // Dutch
    {0x0406, 7000},  // Danish
    {0x041F, 8000},  // Turkish
    {0x0402, 10000}, // Bulgarian
    {0x0418, 11000}, // Romanian
    {0x0804, 9000},  // Chinese (Simplified)
    {0x0410, 5000},  // Italian
    {0x0405, 12000}, // Czech
    {0x0414, 13000}, // Norwegian (Bokmål)
    {0x0408, 14000}, // Greek
    {0x0415, 15000}, // Polish
    {0x040D, 16000}, // Hebrew
    {0x042A, 17000}, // Vietnamese
}};

constexpr DWORD rtl_layout_bit = 1u << 27; // Unicode subset bit 123 in the fourth word

} // namespace

LANGID LanguageId(int code) noexcept {
    return code >= 0 && code < LanguageCount ? languages[code].id : languages[French].id;
}

UINT TableOffset(int code) noexcept {
    return code >= 0 && code < LanguageCount ? languages[code].offset : 0;
}

int LanguageOfLangId(LANGID id) noexcept {
    const WORD primary = PRIMARYLANGID(id);
    for (int code = 0; code < LanguageCount; ++code) {
        if (PRIMARYLANGID(languages[code].id) != primary) {
            continue;
        }
        if (code == ChineseSimplified) {
            const WORD sub = SUBLANGID(id);
            return sub == SUBLANG_CHINESE_SIMPLIFIED || sub == SUBLANG_CHINESE_SINGAPORE ? code
                                                                                         : -1;
        }
        return code;
    }
    return -1;
}

LanguageCode LanguageFromUserDefault(LanguageSet set) {
    const int code = LanguageOfLangId(::GetUserDefaultLangID());
    if (InSet(set, code)) {
        return static_cast<LanguageCode>(code);
    }
    return InSet(set, English) ? English : French;
}

bool IsRightToLeft(int code) {
    LOCALESIGNATURE signature{};
    const int read =
        ::GetLocaleInfoW(MAKELCID(LanguageId(code), SORT_DEFAULT), LOCALE_FONTSIGNATURE,
                         reinterpret_cast<LPWSTR>(&signature), sizeof(signature) / sizeof(wchar_t));
    if (read == 0) {
        return code == Hebrew;
    }
    return (signature.lsUsb[3] & rtl_layout_bit) != 0;
}

} // namespace vt
