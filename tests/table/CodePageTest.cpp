// Code pages: language driver lookups and translation through iconv.
#include <gtest/gtest.h>

#include "table/CodePage.h"
#include "table/DbaseMessages.h"

TEST(CodePageTest, LanguageDriversNameTheirCodePages) {
  EXPECT_EQ(CodePageOfLanguageId(0), 0);
  EXPECT_EQ(CodePageOfLanguageId(8), 865);
  EXPECT_EQ(CodePageOfLanguageId(87), 1252);
  EXPECT_EQ(CodePageOfLanguageId(38), 866);
  EXPECT_EQ(CodePageOfLanguageId(156), 850);
  // Ids no dBase driver uses carry FoxPro's code-page marks.
  EXPECT_EQ(CodePageOfLanguageId(0x01), 437);
  EXPECT_EQ(CodePageOfLanguageId(0x03), 1252);
  EXPECT_EQ(CodePageOfLanguageId(0x04), 10000);
  EXPECT_EQ(CodePageOfLanguageId(0x65), 866);
  EXPECT_EQ(CodePageOfLanguageId(0x7B), 932);
  EXPECT_EQ(CodePageOfLanguageId(0xC8), 1250);
  EXPECT_EQ(CodePageOfLanguageId(0xCC), 1257);
  for (const int Unknown : {0x05, 0x07, 0x1E, 0x68, 0x7F, 0xCD, 0xFF})
    EXPECT_EQ(CodePageOfLanguageId(Unknown), 0) << Unknown;
  // New tables get a dBase driver id.
  EXPECT_EQ(LanguageIdOfCodePage(1252), 87);

  EXPECT_EQ(CodePageOfLanguageName("DBWINUS0"), 1252);
  EXPECT_EQ(CodePageOfLanguageName("DBHEBREW"), 1255);
  EXPECT_EQ(CodePageOfLanguageName("FOXWINWIN"), 0);  // WIN must stand at name offset 5
  EXPECT_EQ(CodePageOfLanguageName("FOX??WIN"), 1252);
  EXPECT_EQ(CodePageOfLanguageName("DB865DA0"), 865);
  EXPECT_EQ(CodePageOfLanguageName("FOX850"), 850);
  EXPECT_EQ(CodePageOfLanguageName("DB8"), 0);
  EXPECT_EQ(CodePageOfLanguageName("XX437"), 0);
  EXPECT_EQ(CodePageOfLanguageName(""), 0);
}

TEST(CodePageTest, TranslationModeFollowsTheCodePage) {
  EXPECT_EQ(TranslationModeFor(1252), 1);
  EXPECT_EQ(TranslationModeFor(437), 2);
  EXPECT_EQ(TranslationModeFor(850), 3);
  EXPECT_EQ(TranslationModeFor(620), 0);  // Mazovia: iconv has no converter
  EXPECT_EQ(TranslationModeFor(0), 0);
}

TEST(CodePageTest, DecodingShowsUndefinedBytesAsReplacementCharacters) {
  TCodePageConverter Ansi(1252);
  ASSERT_TRUE(Ansi.Supported());
  EXPECT_EQ(Ansi.ToUtf8("Caf\xE9 \x80"), "Caf\u00E9 \u20AC");
  EXPECT_EQ(Ansi.ToUtf8("a\x81z"), "a\uFFFDz");  // 0x81 is not defined in 1252
  TCodePageConverter Oem(437);
  EXPECT_EQ(Oem.ToUtf8("\x82t\xE9"), "\u00E9t\u0398");
  TCodePageConverter Mac(10000);
  EXPECT_EQ(Mac.ToUtf8("Caf\x8E"), "Caf\u00E9");
  TCodePageConverter Unknown(620);
  EXPECT_FALSE(Unknown.Supported());
  EXPECT_EQ(Unknown.ToUtf8("ab\xA5"), "ab\uFFFD");
}

TEST(CodePageTest, EncodingRefusesWhatTheCodePageCannotHold) {
  TCodePageConverter Ansi(1252);
  EXPECT_EQ(Ansi.FromUtf8("Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
  try {
    Ansi.FromUtf8("\u0416uk");  // Cyrillic Zhe
    FAIL();
  } catch (const EDbaseError& E) {
    EXPECT_EQ(E.Message(), "Text \"\u0416uk\" cannot be stored in code page 1252.");
  }
  TCodePageConverter Oem(437);
  EXPECT_THROW(Oem.FromUtf8("\u20AC"), EDbaseError);
  EXPECT_THROW(Oem.FromUtf8("\xFF\xFE"), EDbaseError);  // not UTF-8 at all
  TCodePageConverter Unknown(620);
  EXPECT_EQ(Unknown.FromUtf8("plain"), "plain");
  EXPECT_THROW(Unknown.FromUtf8("\u00E9"), EDbaseError);
  // Long text crosses the converter's chunks intact.
  const std::string Long(5000, '\xE9');
  EXPECT_EQ(Ansi.FromUtf8(Ansi.ToUtf8(Long)), Long);
}

// Text from a one-byte code page almost never passes as UTF-8: a lone high byte, a lead byte
// without its continuation, or a form no UTF-8 encoder writes.
TEST(CodePageTest, Utf8IsToldFromOtherText) {
  const struct {
    const char* Text;
    TUtf8Kind Kind;
  } Cases[] = {
      {"plain ASCII, longer than one word", ukAscii},
      {"", ukAscii},
      {"Moth \xC3\x9C", ukUtf8},
      {"exactly eight then \xE2\x82\xAC and \xF0\x9F\x90\x9D", ukUtf8},
      {"M\201cke", ukInvalid},          // cp437 u-umlaut
      {"Caf\xE9 ", ukInvalid},          // cp1252 e-acute before a blank
      {"cut \xE2\x82", ukInvalid},      // a character cut off
      {"\xC0\xAF", ukInvalid},          // overlong '/'
      {"\xE0\x80\xAF", ukInvalid},      // overlong, three bytes
      {"\xED\xA0\x80", ukInvalid},      // a surrogate
      {"\xF4\x90\x80\x80", ukInvalid},  // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", ukInvalid},
  };
  for (const auto& Case : Cases) EXPECT_EQ(ClassifyUtf8(Case.Text), Case.Kind) << Case.Text;
}
