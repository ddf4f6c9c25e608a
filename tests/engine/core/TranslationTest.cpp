#include "engine/core/Translation.h"
#include "engine/core/FontBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The catalogs the build compiled (the tests run from the build tree).
const std::filesystem::path catalogs = std::filesystem::path(SKYSCUFFLE_BINARY_DIR) / "locale";

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override { kit::setCatalogFolder(catalogs); }
    void TearDown() override { kit::setLanguage("en"); }
};

TEST(FontBytesTest, LatinOneLettersBecomeOneByteEachAndTheRestAPlainNeighbour)
{
    EXPECT_EQ(kit::fontBytes("Gr\u00fcn \u00e9t\u00e9 \u00f1 \u00df"), "Gr\xfcn \xe9t\xe9 \xf1 \xdf");
    EXPECT_EQ(kit::fontBytes("\u00ff\u00a1\u00bf"), "\xff\xa1\xbf") << "the top and the inverted marks";
    EXPECT_EQ(kit::fontBytes("l\u2019avion \u201cgo\u201d \u2026 a\u2013b \u0153uf"), "l'avion \"go\" ... a-b oeuf");
    EXPECT_EQ(kit::fontBytes("a\u202f:\u00a0b"), "a : b") << "French spaces and no-break spaces are spaces";
    EXPECT_EQ(kit::fontBytes("\u4e2d\U0001F600x"), "??x") << "one mark per character the font lacks";
    EXPECT_EQ(kit::fontBytes("line\nnext"), "line\nnext");
    EXPECT_EQ(kit::fontBytes(std::string("a\x01\x7f\tb")), "a???b") << "control bytes draw no player's shape";
}

TEST(FontBytesTest, MalformedUtf8IsMarkedByteByByteNeverReadPastTheEnd)
{
    EXPECT_EQ(kit::fontBytes("\xc3"), "?") << "a lead byte at the very end";
    EXPECT_EQ(kit::fontBytes("\xe2\x80"), "??");
    EXPECT_EQ(kit::fontBytes("\xc3(x"), "?(x") << "a lead byte without its continuation";
    EXPECT_EQ(kit::fontBytes("\x80\xbf"), "??") << "lone continuations";
    EXPECT_EQ(kit::fontBytes("\xc0\xaf"), "??") << "an overlong slash is no slash";
    EXPECT_EQ(kit::fontBytes("\xed\xa0\x80"), "???") << "a surrogate is no character";
    EXPECT_EQ(kit::fontBytes("\xf4\x90\x80\x80"), "????") << "past the last code point";
    EXPECT_EQ(kit::fontBytes("\xf0\x9f\x98\x80"), "?") << "a whole four-byte character is one mark";
    EXPECT_EQ(kit::fontBytes("\xc3\xa9"), "\xe9");
}

TEST(FontBytesTest, FontBytesGoBackToTheSameUtf8)
{
    const std::string text = "Fran\u00e7ais, Espa\u00f1ol, Portugu\u00eas, \u00bfQu\u00e9?";
    EXPECT_EQ(kit::utf8FromFontBytes(kit::fontBytes(text)), text);
    EXPECT_EQ(kit::utf8FromFontBytes("plain"), "plain");
}

TEST(LanguageOfTest, FollowsLanguageThenTheLocaleAsGettextDoes)
{
    EXPECT_EQ(kit::languageOf("", "", "", "de_DE.UTF-8"), "de");
    EXPECT_EQ(kit::languageOf("", "", "fr_CA.UTF-8", "de_DE.UTF-8"), "fr") << "LC_MESSAGES before LANG";
    EXPECT_EQ(kit::languageOf("", "es_MX.UTF-8", "fr_FR", "de_DE"), "es") << "LC_ALL before both";
    EXPECT_EQ(kit::languageOf("sv:fr:de", "", "", "en_GB.UTF-8"), "fr") << "LANGUAGE's first we ship";
    EXPECT_EQ(kit::languageOf("sv:nl", "", "", "de_AT.UTF-8"), "de") << "none of LANGUAGE's: the locale's";
    EXPECT_EQ(kit::languageOf("de", "", "", ""), "en") << "no locale at all: the C locale ignores LANGUAGE";
    EXPECT_EQ(kit::languageOf("de", "C", "", ""), "en");
    EXPECT_EQ(kit::languageOf("de", "", "", "POSIX"), "en");
    EXPECT_EQ(kit::languageOf("de", "", "", "C.UTF-8"), "de") << "the C locale's UTF-8 twin counts it";
    EXPECT_EQ(kit::languageOf("", "", "", "pt_PT.UTF-8"), "pt_BR") << "Portuguese reads Brazilian";
    EXPECT_EQ(kit::languageOf("", "", "", "pt_BR@latin"), "pt_BR");
    EXPECT_EQ(kit::languageOf("", "", "", "ja_JP.UTF-8"), "en");
    EXPECT_EQ(kit::languageOf("", "", "", "deu"), "en") << "a language is its whole code, not a prefix";
}

TEST(FormatTest, FillsNumberedPlacesInAnyOrderAndLeavesOtherBraces)
{
    EXPECT_EQ(kit::format("{2} before {1}", {"one", "two"}), "two before one");
    EXPECT_EQ(kit::format("{1}{1}", {"a"}), "aa");
    EXPECT_EQ(kit::format("{3} {0} {x} {", {"a", "b"}), "{3} {0} {x} {") << "no such argument: left as written";
    EXPECT_EQ(kit::format("{9}", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "9");
    EXPECT_EQ(kit::format("end {1", {"a"}), "end {1");
}

TEST(PseudoTranslationTest, AccentedLongerAndBracketedLineByLine)
{
    const std::string shown = kit::pseudoTranslation("Options");
    EXPECT_EQ(shown, kit::fontBytes("[\u00d8pt\u00ee\u00f6\u00f1s~]"));
    const std::string longer = kit::pseudoTranslation("Press Enter or (Start) to begin the round");
    EXPECT_GE(longer.size(), 41u * 13 / 10) << "about 40 % longer";
    EXPECT_LE(longer.size(), 41u * 15 / 10);
    EXPECT_EQ(kit::pseudoTranslation("{1} wins round {2}").find("{1}"), 1u) << "placeholders stay for format()";
    EXPECT_NE(kit::pseudoTranslation("{1} wins round {2}").find("{2}"), std::string::npos);
    const std::string twoLines = kit::pseudoTranslation("Press\nAnything");
    ASSERT_NE(twoLines.find('\n'), std::string::npos);
    EXPECT_EQ(twoLines.front(), '[');
    EXPECT_EQ(twoLines[twoLines.find('\n') - 1], ']') << "each line closed on its own";
    EXPECT_EQ(twoLines.back(), ']');
}

TEST_F(TranslationTest, EnglishIsTheTextItselfAndTheCatalogsTranslate)
{
    kit::setLanguage("en");
    EXPECT_EQ(kit::tr("Options"), "Options");
    EXPECT_EQ(kit::currentLanguage(), "en");
    kit::setLanguage("de");
    EXPECT_EQ(kit::currentLanguage(), "de");
    EXPECT_EQ(kit::tr("Options"), "Optionen");
    EXPECT_EQ(kit::tr("Music volume"), kit::fontBytes("Musiklautst\u00e4rke")) << "umlauts as the font's bytes";
    kit::setLanguage("fr");
    EXPECT_EQ(kit::tr("Options"), "Options") << "changing language forgets the last one's words";
    EXPECT_NE(kit::tr("Back"), "Back");
    EXPECT_EQ(kit::tr("a text no catalog has"), "a text no catalog has");
    EXPECT_EQ(kit::tr(""), "") << "never the catalog's header";
}

TEST_F(TranslationTest, WhatTheLogSaysStaysEnglishInEveryLanguage)
{
    kit::setLanguage("de");
    EXPECT_EQ(kit::tr("Options", false), "Options");
    EXPECT_EQ(kit::tr("Options", true), "Optionen");
    EXPECT_EQ(kit::trn("{1} copy", "{1} copies", 2, false), "{1} copies");
    EXPECT_EQ(kit::trn("{1} copy", "{1} copies", 1, false), "{1} copy");
    EXPECT_NE(kit::trn("{1} copy", "{1} copies", 2, true), "{1} copies");
    kit::setLanguage(kit::pseudoLanguage);
    EXPECT_EQ(kit::tr("Back", false), "Back");
}

TEST_F(TranslationTest, PluralsFollowTheLanguagesRule)
{
    kit::setLanguage("en");
    EXPECT_EQ(kit::trn("{1} copy", "{1} copies", 1), "{1} copy");
    EXPECT_EQ(kit::trn("{1} copy", "{1} copies", 0), "{1} copies");
    kit::setLanguage("fr");
    EXPECT_EQ(kit::trn("{1} copy", "{1} copies", 0), kit::trn("{1} copy", "{1} copies", 1)) << "French counts 0 as one";
    EXPECT_NE(kit::trn("{1} copy", "{1} copies", 1), kit::trn("{1} copy", "{1} copies", 2));
    kit::setLanguage("de");
    EXPECT_NE(kit::trn("{1} copy", "{1} copies", 0), kit::trn("{1} copy", "{1} copies", 1));
}

TEST_F(TranslationTest, UnknownLanguagesAreEnglishAndTheEmptyChoiceFollowsTheEnvironment)
{
    kit::setLanguage("xx");
    EXPECT_EQ(kit::currentLanguage(), "en");
    kit::setLanguage(kit::pseudoLanguage);
    EXPECT_EQ(kit::tr("Back"), kit::pseudoTranslation("Back"));
    setenv("LANG", "es_ES.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANGUAGE");
    kit::setLanguage("");
    EXPECT_EQ(kit::currentLanguage(), "es");
    EXPECT_NE(kit::tr("Back"), "Back");
    unsetenv("LANG");
}

} // namespace
