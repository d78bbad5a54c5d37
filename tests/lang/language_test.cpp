// The language change and what depends on the language: listeners that come and
// go, the C runtime's locale, the numbers the installer formats itself, and the
// translated blocks of the string table.
#include "lang/change_language.h"
#include "lang/language_code.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "payload/error_translation.h"
#include "support/format_inserts.h"
#include "support/string_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cwctype>
#include <cstdio>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

TEST(LanguageChangeListeners, ALeavingListenerHearsNothingMoreAndTheOthersStill) {
    vt::SetLanguage(vt::English);
    std::vector<std::wstring> heard;
    vt::LanguageChangeSubscription host =
        vt::AddLanguageChangeListener([&](const std::wstring& title) { heard.push_back(title); });
    int page_heard = 0;
    {
        vt::LanguageChangeSubscription page =
            vt::AddLanguageChangeListener([&](const std::wstring&) { ++page_heard; });
        vt::ChangeLanguage(vt::German);
        EXPECT_EQ(page_heard, 1);
    }
    vt::ChangeLanguage(vt::Italian);
    EXPECT_EQ(page_heard, 1);
    EXPECT_EQ(heard, (std::vector<std::wstring>{L"Installationsprogramm \u2013 Plankwise 6.07",
                                                L"Installare \u2013 Plankwise 6.07"}));
    host.Reset();
    vt::ChangeLanguage(vt::English);
    EXPECT_EQ(heard.size(), 2u);
}

TEST(LanguageChangeListeners, AListenerMayRemoveAnotherWhileBeingTold) {
    auto second = std::make_unique<vt::LanguageChangeSubscription>();
    int second_heard = 0;
    vt::LanguageChangeSubscription first =
        vt::AddLanguageChangeListener([&](const std::wstring&) { second.reset(); });
    *second = vt::AddLanguageChangeListener([&](const std::wstring&) { ++second_heard; });
    vt::ChangeLanguage(vt::Spanish);
    EXPECT_EQ(second_heard, 0);
    vt::SetLanguage(vt::English);
}

// Numbers the installer formats are codes and counts: the same in every
// language. What depends on the language is the C runtime's character classes.
TEST(GermanLanguage, ClassifiesCharactersTheGermanWayAndFormatsNumbersAlike) {
    vt::SetLanguage(vt::English);
    vt::SetLanguage(vt::German);
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(ctype, nullptr);
    EXPECT_NE(std::string(ctype).find("German"), std::string::npos) << ctype;
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(std::toupper(0xE4), 0xC4); // ä, Ä in the German ANSI code page

    wchar_t numbers[64] = {};
    std::swprintf(numbers, 64, L"%.2f %d", 1234.5, 1234567);
    EXPECT_STREQ(numbers, L"1234.50 1234567");
    EXPECT_EQ(vt::format_failure_code(std::error_code(5, std::system_category())), L"1:00000005");
    EXPECT_EQ(vt::format_failure_code(std::error_code(28, std::generic_category())), L"2:0000001C");
    EXPECT_EQ(vt::FormatInserts(vt::LoadStringResource(3121), {L"1:80070070"}),
              vt::LocalizedString(1121, {L"1:80070070"}));
    EXPECT_NE(vt::LocalizedString(1121, {L"1:80070070"}).find(L"1:80070070"), std::wstring::npos);

    vt::SetLanguage(vt::Turkish);
    EXPECT_NE(std::string(std::setlocale(LC_CTYPE, nullptr)).find("Turkish"), std::string::npos);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    vt::SetLanguage(vt::English);
}

// The inserts of a text ("%1", "%2", ...) in their order, and its line breaks.
struct Shape {
    std::vector<std::wstring> inserts;
    int line_breaks = 0;
    bool operator==(const Shape&) const = default;
};

Shape shape_of(const std::wstring& text) {
    Shape shape;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && iswdigit(text[i + 1])) {
            shape.inserts.push_back(text.substr(i, 2));
        }
        if (text.compare(i, 2, L"\r\n") == 0) {
            ++shape.line_breaks;
        }
    }
    std::sort(shape.inserts.begin(), shape.inserts.end());
    return shape;
}

TEST(Translations, KeepEveryInsertAndLineBreakOfTheEnglishText) {
    int compared = 0;
    for (UINT id = 1000; id < 1132; ++id) {
        const std::wstring english = vt::LoadStringResource(id + vt::TableOffset(vt::English));
        if (english.empty() || english == L"#") {
            continue;
        }
        for (int language = 0; language < vt::LanguageCount; ++language) {
            if (!vt::InSet(vt::TranslatedLanguages, language) || language == vt::English) {
                continue;
            }
            const std::wstring text = vt::LoadStringResource(id + vt::TableOffset(language));
            const Shape expected = shape_of(english);
            const Shape got = shape_of(text);
            EXPECT_EQ(got.inserts, expected.inserts) << "language " << language << " id " << id;
            EXPECT_EQ(got.line_breaks, expected.line_breaks)
                << "language " << language << " id " << id;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 47 * 7);
}

} // namespace
