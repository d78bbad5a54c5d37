#include "lang/change_language.h"

#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "support/message_box.h"
#include "support/product_constants.h"

#include <vector>

namespace vt {
namespace {

std::vector<LanguageChangeListener>& listeners() {
    static std::vector<LanguageChangeListener> all;
    return all;
}

} // namespace

void AddLanguageChangeListener(LanguageChangeListener listener) {
    listeners().push_back(std::move(listener));
}

void ClearLanguageChangeListeners() {
    listeners().clear();
}

void ChangeLanguage(int code) {
    SetLanguage(code);
    if (!InSet(TranslatedLanguages, code)) {
        ShowMessage(LocalizedString(1129, {product::Word}), MB_ICONINFORMATION | MB_OK);
        SetLanguage(English);
    }
    const std::wstring title = LocalizedTitle(true);
    for (const auto& listener : listeners()) {
        listener(title);
    }
}

} // namespace vt
