// Code pages: language driver lookups and translation through iconv.
#include <gtest/gtest.h>

#include "table/CodePage.h"
#include "table/DbaseMessages.h"

// dBase's language driver ids and names, and ids no dBase driver uses carrying FoxPro's
// code-page marks; none for an id or a name no one uses. New tables get a dBase driver id, a
// marked table FoxPro's mark where there is one.
TEST(CodePageTest, LanguageDriversNameTheirCodePages) {
  const std::pair<int, int> Ids[] = {{0, 0},      {8, 865},    {87, 1252},   {38, 866},
                                     {156, 850},  {0x01, 437}, {0x03, 1252}, {0x04, 10000},
                                     {0x65, 866}, {0x7B, 932}, {0xC8, 1250}, {0xCC, 1257},
                                     {0x05, 0},   {0x07, 0},   {0x1E, 0},    {0x68, 0},
                                     {0x7F, 0},   {0xCD, 0},   {0xFF, 0}};
  for (const auto& [Id, CodePage] : Ids) EXPECT_EQ(CodePageOfLanguageId(Id), CodePage) << Id;
  EXPECT_EQ(LanguageIdOfCodePage(1252), 87);
  // Marks written: FoxPro's where it has one, else dBase's driver id.
  const std::pair<int, int> Marks[] = {{874, 0x7C}, {1252, 0x03}, {620, 105}, {65001, 0}};
  for (const auto& [CodePage, Mark] : Marks) EXPECT_EQ(CodePageMark(CodePage), Mark) << CodePage;
  const std::pair<const char*, int> Names[] = {
      {"DBWINUS0", 1252}, {"DBHEBREW", 1255}, {"FOXWINWIN", 0},  // WIN must be at offset 5
      {"FOX??WIN", 1252}, {"DB865DA0", 865},  {"FOX850", 850},  {"DB8", 0}, {"XX437", 0}, {"", 0}};
  for (const auto& [Name, CodePage] : Names)
    EXPECT_EQ(CodePageOfLanguageName(Name), CodePage) << Name;
  const std::pair<int, int> Modes[] = {{1252, 1}, {437, 2}, {850, 3}, {620, 0}, {0, 0}};
  for (const auto& [CodePage, Mode] : Modes)  // 620 (Mazovia): iconv has no converter
    EXPECT_EQ(TranslationModeFor(CodePage), Mode) << CodePage;
}

// Decoding shows undefined bytes as replacement characters; encoding refuses what the code page
// cannot hold.
TEST(CodePageTest, ConvertersTranslateBothWays) {
  TCodePageConverter Ansi(1252), Oem(437), Mac(10000), Unknown(620);
  ASSERT_TRUE(Ansi.Supported());
  EXPECT_EQ(Ansi.ToUtf8("Caf\xE9 \x80"), "Caf\u00E9 \u20AC");
  EXPECT_EQ(Ansi.ToUtf8("a\x81z"), "a\uFFFDz");  // 0x81 is not defined in 1252
  EXPECT_EQ(Oem.ToUtf8("\x82t\xE9"), "\u00E9t\u0398");
  EXPECT_EQ(Mac.ToUtf8("Caf\x8E"), "Caf\u00E9");
  EXPECT_FALSE(Unknown.Supported());
  EXPECT_EQ(Unknown.ToUtf8("ab\xA5"), "ab\uFFFD");

  EXPECT_EQ(Ansi.FromUtf8("Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
  EXPECT_EQ(ErrorOf<EDbaseError>([&] { Ansi.FromUtf8("\u0416uk"); }),  // Cyrillic Zhe
            "Text \"\u0416uk\" cannot be stored in code page 1252.");
  EXPECT_THROW(Oem.FromUtf8("\u20AC"), EDbaseError);
  EXPECT_THROW(Oem.FromUtf8("\xFF\xFE"), EDbaseError);  // not UTF-8 at all
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
