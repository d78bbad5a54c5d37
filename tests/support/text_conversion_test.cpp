// Conversions between UTF-16 and the ANSI code page (Western, 1252, under Wine's
// default English locale).
#include "support/text_conversion.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class WesternCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetACP() != 1252) {
            GTEST_SKIP() << "needs the Western code page 1252";
        }
    }
};

TEST_F(WesternCodePage, AnsiBytesBecomeTheSameTextInUtf16) {
    const std::string ansi = "Install Path : C:\\Programme\\Cr\xE8me Br\xFBl\xE9"
                             "e";
    EXPECT_EQ(vt::NarrowToWide(ansi), L"Install Path : C:\\Programme\\Cr\u00E8me Br\u00FBl\u00E9e");
    EXPECT_EQ(vt::WideToNarrow(vt::NarrowToWide(ansi)), ansi);
}

TEST_F(WesternCodePage, LongTextsRoundTripThroughTheHeapBuffer) {
    std::string ansi;
    for (int i = 0; i < 300; ++i) {
        ansi += "\xC4pfel ";
    }
    const std::wstring wide = vt::NarrowToWide(ansi);
    EXPECT_EQ(wide.size(), ansi.size());
    EXPECT_EQ(vt::WideToNarrow(wide), ansi);
}

TEST_F(WesternCodePage, UnrepresentableCharactersBecomeTheDefaultCharacter) {
    // U+0141 has the look-alike 'L' in 1252; U+4E0A has nothing. Both become '?'.
    EXPECT_EQ(vt::WideToNarrow(L"\u0141\u4E0Ax"), "??x");
}

TEST(TextConversion, EmptyTextsStayEmpty) {
    EXPECT_EQ(vt::NarrowToWide(""), L"");
    EXPECT_EQ(vt::WideToNarrow(L""), "");
}

TEST(TextConversion, LengthIsCappedByTheMaximum) {
    struct Facet : vt::details::w2a_codecvt {
        Facet() : vt::details::w2a_codecvt(1) {}
        ~Facet() override = default;
    } facet;
    const char text[] = "abcdef";
    EXPECT_EQ(facet.length(text, text + 6, 3), 3);
    EXPECT_EQ(facet.length(text, text + 6, 100), 6);
    EXPECT_EQ(facet.max_length(), 5);
    EXPECT_FALSE(facet.always_noconv());
    EXPECT_EQ(facet.encoding(), 0);
}

} // namespace
