// The language list of the start page, and the language the installer starts in.
#include "wizard_fixture.h"

#include "support/product_constants.h"

namespace vt::test {
namespace {

// The page of the host that holds the control, shown or not.
HWND page_with(HWND wizard, int id) {
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgItem(child, id) != nullptr) {
            return child;
        }
    }
    return nullptr;
}

using LanguageList = WizardTest;

TEST_F(LanguageList, OffersTheProductLanguagesWithEnglishPicked) {
    Start();
    const std::vector<LPARAM> codes = driver::ComboItemData(Page(), ids::Languages);
    EXPECT_EQ(codes, (std::vector<LPARAM>{0, 1, 2, 3, 11, 4, 5, 14, 7, 9, 10, 16, 17}));
    EXPECT_EQ(driver::ComboSelection(Page(), ids::Languages), 1);
}

TEST_F(LanguageList, GermanChangesEveryTextAtOnce) {
    Start();
    ASSERT_TRUE(driver::PickByData(Page(), ids::Languages, 2));
    ASSERT_TRUE(driver::WaitUntil([&] {
        return driver::Text(wizard) == L"Installationsprogramm \u2013 Plankwise 6.07";
    })) << driver::Text(wizard);
    EXPECT_EQ(ButtonText(ids::Next), L"Weiter  >");
    EXPECT_EQ(ButtonText(ids::Back), L"<  Zur\u00FCck");
    EXPECT_EQ(ButtonText(ids::Exit), L"Abbrechen");
    EXPECT_EQ(PageText(ids::Situation), L"Installation von 'Plankwise 6.07'.");
    EXPECT_EQ(PageText(ids::Status), L"Klicken Sie auf 'Weiter', um fortzufahren.");
    EXPECT_EQ(driver::ItemText(page_with(wizard, ids::ModeGroup), ids::ModeGroup),
              L"Installationsart");
    EXPECT_EQ(driver::ItemText(page_with(wizard, ids::Log), ids::Status),
              L"Klicken Sie auf 'Installieren', um die Installation zu starten.");
    EXPECT_EQ(driver::ItemText(page_with(wizard, ids::MenuOption), ids::Browse), L"Durchsuchen...");

    // The about box follows: its caption and its button.
    ::PostMessageW(wizard, WM_SYSCOMMAND, 16, 0);
    HWND about = WaitForMessageBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(driver::Text(about), L"\u00DCber 'Installationsprogramm'");
    Answer(about, IDOK);
}

TEST_F(LanguageList, DutchIsAnnouncedInEnglishAndEnglishStays) {
    Start();
    ASSERT_TRUE(driver::PickByData(Page(), ids::Languages, 5));
    HWND notice = WaitForMessageBox();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(driver::MessageBoxText(notice),
              L"'Plankwise' will be installed in the selected Langage, but the Installer, still "
              L"under translation,  shall run in English.");
    Answer(notice, IDOK);
    EXPECT_EQ(driver::Text(wizard), L"Installer \u2013 Plankwise 6.07");
    EXPECT_EQ(ButtonText(ids::Next), L"Next  >");
    EXPECT_EQ(driver::ComboSelection(Page(), ids::Languages), 6);
}

// The German user's runs (LANG=de_DE.UTF-8): the user's language decides.
using GermanUser = WizardTest;

TEST_F(GermanUser, StartsInGerman) {
    Start();
    EXPECT_EQ(driver::Text(wizard), L"Installationsprogramm \u2013 Plankwise 6.07");
    EXPECT_EQ(driver::ComboSelection(Page(), ids::Languages), 2);
}

// Dutch stored by an earlier installation wins over the user's German, and is
// then replaced by English.
TEST_F(GermanUser, StoredDutchGivesEnglish) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, product::UninstallKey, 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD dutch = 5;
    ::RegSetValueExW(key, product::LanguageValue, 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&dutch), sizeof dutch);
    ::RegCloseKey(key);
    Start();
    EXPECT_EQ(driver::Text(wizard), L"Installer \u2013 Plankwise 6.07");
}

} // namespace
} // namespace vt::test
