// The language change that the start page offers.
#pragma once

#include <functional>
#include <string>

namespace vt {

// Who follows a language change: the application takes the new title as its name,
// the wizard host re-applies its texts.
using LanguageChangeListener = std::function<void(const std::wstring& title)>;
void AddLanguageChangeListener(LanguageChangeListener listener);
void ClearLanguageChangeListeners();

// Makes the code current; a language without installer texts announces that the
// installer goes on in English (message 1129) and falls back to English. Then the
// listeners receive the new title (with the product).
void ChangeLanguage(int code);

} // namespace vt
