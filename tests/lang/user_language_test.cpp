// The installer's language for real users. Wine takes the user's language from
// LANG, so ctest runs this program once per user language, each run with the
// matching suite only (see tests/CMakeLists.txt).
#include "lang/language_code.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"

#include <gtest/gtest.h>

namespace {

// The language chosen at start: the user's among the product's languages, and
// English for the installer's texts where they are not translated.
int ChooseLanguage() {
    const int chosen = vt::LanguageFromUserDefault(vt::ProductLanguages);
    vt::SetLanguage(vt::InSet(vt::TranslatedLanguages, chosen) ? chosen : vt::English);
    return chosen;
}

TEST(EnglishUser, GetsEnglishAndTheFrenchTextOfMessage1131) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0409);
    EXPECT_EQ(ChooseLanguage(), vt::English);
    EXPECT_EQ(vt::LocalizedStringId(1131), 1131u);
    EXPECT_EQ(vt::LocalizedString(1131), L"Mise \u00E0 jour de DirectX...");
    EXPECT_EQ(vt::LocalizedString(1106, {L"Next"}), L"Click on 'Next' to continue.");
    EXPECT_EQ(vt::LocalizedTitle(true), L"Installer \u2013 Plankwise 6.07");
}

TEST(GermanUser, GetsGermanAndStillTheFrenchTextOfMessage1131) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0407);
    EXPECT_EQ(ChooseLanguage(), vt::German);
    EXPECT_EQ(vt::LocalizedStringId(1131), 1131u); // German "#", English "#": French
    EXPECT_EQ(vt::LocalizedStringId(1106), 3106u);
    EXPECT_EQ(vt::LocalizedString(1106, {L"Weiter"}),
              L"Klicken Sie auf 'Weiter', um fortzufahren.");
    EXPECT_EQ(vt::LocalizedTitle(true), L"Installationsprogramm \u2013 Plankwise 6.07");
}

TEST(DanishUser, GetsEnglish) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0406);
    EXPECT_EQ(ChooseLanguage(), vt::English);
    EXPECT_EQ(vt::LocalizedStringId(1106), 2106u);
}

TEST(TraditionalChineseUser, GetsEnglish) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0404);
    EXPECT_EQ(ChooseLanguage(), vt::English);
}

TEST(SimplifiedChineseUser, GetsChineseForTheProductAndEnglishTexts) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0804);
    EXPECT_EQ(ChooseLanguage(), vt::ChineseSimplified);
    EXPECT_EQ(vt::CurrentLanguage(), vt::English);
}

TEST(ItalianUser, ReadsTheItalianBlock) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0410);
    EXPECT_EQ(ChooseLanguage(), vt::Italian);
    EXPECT_EQ(vt::LocalizedStringId(1106), 6106u);
    EXPECT_EQ(vt::LocalizedString(1106, {L"Avanti"}), L"Clicca su 'Avanti' per continuare.");
    EXPECT_EQ(vt::LocalizedStringId(1000), 6000u);
    EXPECT_EQ(vt::LocalizedTitle(true), L"Installare \u2013 Plankwise 6.07");
    // The user's own locale is kept: Italian in Italy.
    EXPECT_EQ(vt::CurrentLcid(), ::GetUserDefaultLCID());
}

TEST(FrenchUser, ReadsTheBaseBlockAndKeepsTheBetaWithCircumflex) {
    ASSERT_EQ(::GetUserDefaultLangID(), 0x040C);
    EXPECT_EQ(ChooseLanguage(), vt::French);
    EXPECT_EQ(vt::LocalizedStringId(1106), 1106u);
    EXPECT_EQ(vt::LocalizedTitle(false), L"Installeur");
}

} // namespace
