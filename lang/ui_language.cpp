#include "lang/ui_language.h"

#include "support/text_conversion.h"

#include <clocale>
#include <locale>
#include <stdexcept>

namespace vt {
namespace {

LCID lcid_of(int code) {
    const LCID user = ::GetUserDefaultLCID();
    const LANGID language = LanguageId(code);
    return LANGIDFROMLCID(user) == language ? user : MAKELCID(language, SORT_DEFAULT);
}

void apply_locale(int code) {
    const LCID lcid = lcid_of(code);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::GetLocaleInfoW(lcid, LOCALE_SNAME, name, LOCALE_NAME_MAX_LENGTH) == 0) {
        return;
    }
    const std::string narrow = WideToNarrow(name);
    try {
        std::locale::global(std::locale(narrow));
    } catch (const std::runtime_error&) {
        // The standard library of this runtime knows only the "C" locale.
    }
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, narrow.c_str());
    std::setlocale(LC_COLLATE, narrow.c_str());
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
