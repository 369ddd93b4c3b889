// Text conversion: the program's 8-bit strings are Windows-1252, byte for byte.
#include <gtest/gtest.h>

#include <set>

#include "framework/text.h"

namespace {

TEST(TextConversion, EveryByteSurvivesARoundTripAsItsOwnCharacter) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    const QString shown = fw::ToQt(all);
    ASSERT_EQ(shown.size(), 256);
    std::set<char16_t> distinct;
    for (const QChar c : shown) {
        distinct.insert(c.unicode());
    }
    EXPECT_EQ(distinct.size(), 256u) << "two bytes show as the same character";
    EXPECT_EQ(fw::FromQt(shown), all);
}

TEST(TextConversion, TheCodePagesUpperControlRangeShowsItsPrintableCharacters) {
    const std::string bytes =
        "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93\x94\x95\x96\x97\x98\x99"
        "\x9a\x9b\x9c\x9e\x9f";
    const QString characters = QString::fromUtf8(
        "\u20ac\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u017d\u2018"
        "\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u017e\u0178");
    EXPECT_EQ(fw::ToQt(bytes), characters);
    EXPECT_EQ(fw::FromQt(characters), bytes);
    // Latin-1's half of the code page is unchanged.
    EXPECT_EQ(fw::ToQt("Gr\xfc\xdf\xe9\xa0\xff"),
              QString::fromUtf8("Gr\u00fc\u00df\u00e9\u00a0\u00ff"));
}

TEST(TextConversion, TheFiveUnassignedBytesKeepTheirControlCharacters) {
    for (const unsigned char byte : {0x81, 0x8d, 0x8f, 0x90, 0x9d}) {
        const std::string text(1, static_cast<char>(byte));
        EXPECT_EQ(fw::ToQt(text), QString(QChar(char16_t{byte}))) << int{byte};
        EXPECT_EQ(fw::FromQt(QString(QChar(char16_t{byte}))), text) << int{byte};
    }
}

TEST(TextConversion, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    // U+0080 is a control character the code page has no byte for (0x80 is the euro sign).
    EXPECT_EQ(fw::FromQt(QString::fromUtf8("a\u03a9b\u0080c")), "a?b?c");
    // A character beyond 16 bits is still one character.
    EXPECT_EQ(fw::FromQt(QString::fromUtf8("x\U0001F600y")), "x?y");
    // A lone half of a pair is not a character of the code page either.
    EXPECT_EQ(fw::FromQt(QString(QChar(0xD800))), "?");
    EXPECT_EQ(fw::FromQt(QString()), "");
}

}  // namespace
