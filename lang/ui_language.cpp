#include "lang/ui_language.h"

#include "support/text_conversion.h"

#include <clocale>
#include <string>

namespace vt {
namespace {

LCID lcid_of(int code) {
    const LCID user = ::GetUserDefaultLCID();
    const LANGID language = LanguageId(code);
    return LANGIDFROMLCID(user) == language ? user : MAKELCID(language, SORT_DEFAULT);
}

// The C runtime's name of a locale ("German_Germany.1252"): msvcrt takes the
// English language and country names with the ANSI code page, not "de-DE".
std::string runtime_locale_name(LCID lcid) {
    wchar_t language[LOCALE_NAME_MAX_LENGTH] = {};
    wchar_t country[LOCALE_NAME_MAX_LENGTH] = {};
    wchar_t code_page[8] = {};
    if (::GetLocaleInfoW(lcid, LOCALE_SENGLISHLANGUAGENAME, language, LOCALE_NAME_MAX_LENGTH) ==
            0 ||
        ::GetLocaleInfoW(lcid, LOCALE_SENGLISHCOUNTRYNAME, country, LOCALE_NAME_MAX_LENGTH) == 0 ||
        ::GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE, code_page, 8) == 0) {
        return {};
    }
    return WideToNarrow(std::wstring(language) + L"_" + country + L"." + code_page);
}

// The language's locale for what depends on the language: the C runtime's
// character classes and collation. Everything the installer formats itself
// (error codes, numbers, sizes) stays in the "C" locale's form in every
// language: LC_NUMERIC and the standard library's global locale are never
// changed, so a code reads the same in every language.
void apply_locale(int code) {
    const std::string name = runtime_locale_name(lcid_of(code));
    std::setlocale(LC_ALL, "C");
    if (name.empty() || std::setlocale(LC_CTYPE, name.c_str()) == nullptr) {
        return;
    }
    std::setlocale(LC_COLLATE, name.c_str());
}

struct UiLanguage {
    LanguageSet allowed = 1u << French;
    LanguageCode current = French;
    LCID lcid = 0;

    UiLanguage() {
        _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
        apply_locale(current);
        lcid = lcid_of(current);
        ::SetThreadLocale(lcid);
    }
};

UiLanguage& state() {
    static UiLanguage language;
    return language;
}

} // namespace

LanguageCode CurrentLanguage() {
    return state().current;
}
LCID CurrentLcid() {
    return state().lcid;
}
LanguageSet AllowedLanguages() {
    return state().allowed;
}
void SetAllowedLanguages(LanguageSet set) {
    state().allowed = set;
}

void SetLanguage(int code) {
    if (code < 0 || code >= LanguageCount) {
        code = French;
    }
    UiLanguage& language = state();
    if (code != language.current) {
        apply_locale(code);
    }
    language.current = static_cast<LanguageCode>(code);
    language.lcid = lcid_of(code);
}

} // namespace vt
