#include "lang/localized_string.h"

#include "lang/ui_language.h"
#include "support/format_inserts.h"
#include "support/product_constants.h"
#include "support/string_resource.h"

namespace vt {
namespace {

constexpr UINT english_offset = 1000;

bool not_translated(UINT id) {
    return LoadStringResource(id) == L"#";
}

} // namespace

UINT LocalizedStringId(UINT base_id) {
    int language = CurrentLanguage();
    if (!InSet(TranslatedLanguages, language)) {
        language = English;
    }
    if (language == French) {
        return base_id;
    }
    const UINT translated = base_id + TableOffset(language);
    if (!not_translated(translated)) {
        return translated;
    }
    if (language == English) {
        return base_id;
    }
    return not_translated(base_id + english_offset) ? base_id : base_id + english_offset;
}

std::wstring LocalizedString(UINT base_id) {
    return LoadStringResource(LocalizedStringId(base_id));
}

std::wstring LocalizedString(UINT base_id, std::initializer_list<std::wstring> inserts) {
    return FormatInserts(LocalizedString(base_id), inserts);
}

std::wstring LocalizedTitle(bool with_product) {
    std::wstring title = LocalizedString(1000);
    if (with_product) {
        title += L" \u2013 ";
        title += product::LabelWithVersion;
    }
    return title;
}

} // namespace vt
