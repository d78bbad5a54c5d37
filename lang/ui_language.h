// The process-wide current language of the installer's texts.
#pragma once

#include "lang/language_code.h"

namespace vt {

// The current language; French until a language is set.
[[nodiscard]] LanguageCode CurrentLanguage();

// The locale identifier of the current language: the user's own when it is in that
// language, so that their sort and format variant stays, else the language's.
[[nodiscard]] LCID CurrentLcid();

// The languages that LanguageFromUserDefault chooses from when none are given.
[[nodiscard]] LanguageSet AllowedLanguages();
void SetAllowedLanguages(LanguageSet set);

// Makes the code current and applies its locale to the C runtime's character and
// collation categories. Numbers the installer formats (error codes, counts) keep
// the "C" form in every language. Failures to apply a locale are not reported.
void SetLanguage(int code);

[[nodiscard]] inline LanguageCode LanguageFromUserDefault() {
    return LanguageFromUserDefault(AllowedLanguages());
}

} // namespace vt
