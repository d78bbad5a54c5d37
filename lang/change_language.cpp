#include "lang/change_language.h"

#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "support/message_box.h"
#include "support/product_constants.h"

#include <algorithm>
#include <vector>

namespace vt {
namespace {

struct Listener {
    unsigned long id;
    LanguageChangeListener notify;
};

struct Listeners {
    std::vector<Listener> all;
    unsigned long last_id = 0;
};

Listeners& listeners() {
    static Listeners list;
    return list;
}

} // namespace

void LanguageChangeSubscription::Reset() noexcept {
    if (id_ == 0) {
        return;
    }
    auto& all = listeners().all;
    std::erase_if(all, [id = id_](const Listener& listener) { return listener.id == id; });
    id_ = 0;
}

LanguageChangeSubscription AddLanguageChangeListener(LanguageChangeListener listener) {
    Listeners& list = listeners();
    list.all.push_back({++list.last_id, std::move(listener)});
    return LanguageChangeSubscription(list.last_id);
}

void ChangeLanguage(int code) {
    SetLanguage(code);
    if (!InSet(TranslatedLanguages, code)) {
        ShowMessage(LocalizedString(1129, {product::Word}), MB_ICONINFORMATION | MB_OK);
        SetLanguage(English);
    }
    const std::wstring title = LocalizedTitle(true);
    // A listener may remove itself or others while it is told: each is looked up
    // again before it is called.
    std::vector<unsigned long> ids;
    for (const Listener& listener : listeners().all) {
        ids.push_back(listener.id);
    }
    for (const unsigned long id : ids) {
        auto& all = listeners().all;
        const auto found = std::find_if(
            all.begin(), all.end(), [id](const Listener& listener) { return listener.id == id; });
        if (found != all.end()) {
            const LanguageChangeListener notify = found->notify;
            notify(title);
        }
    }
}

} // namespace vt
