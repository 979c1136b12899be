// Which stored texts are translated, and where they are found in a definition. That the catalog's
// template holds every one of them is the Catalogs test's job.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/DefinitionTexts.h"
#include "platform/core/Translation.h"

TEST(Translation, OnlyLatinTextsWithALetterAreTranslated) {
  const struct {
    const char* Text;
    bool Translated;
  } Cases[] = {
      {"Save", true},
      {"Frequency ", true},
      {"L R Volume :", true},
      {"tessolon.test", true},
      {"4", false},
      {"<<", false},
      {"22:00", false},
      {"", false},
      {"Web \xe0\xb8\x94 Click", false},
      {"\xe0\xb8\xa7...", false},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(IsTranslatedText(Case.Text), Case.Translated) << Case.Text;
  for (const char* Name : {"Caption", "hint", "Items.Strings", "Lines", "Text"})
    EXPECT_TRUE(IsTranslatedProperty(Name)) << Name;
  for (const char* Name : {"DataField", "Font.Name", "TableName", "Glyph", "CaptionX"})
    EXPECT_FALSE(IsTranslatedProperty(Name)) << Name;
}

// The texts come with their lines, list items one by one; other properties, nested objects and
// values of every kind are passed over.
TEST(Translation, DefinitionTextsAreFoundWithTheirLines) {
  const std::string Text =
      "object frmA: TfrmA\n"             // 1
      "  Caption = 'Adjust' + 'ment'\n"  // 2
      "  Font.Name = 'Tahoma'\n"         // 3
      "  Styles = [fsBold]\n"            // 4
      "  Data = {0A0B}\n"                // 5
      "  object cb: TComboBox\n"         // 6
      "    Items.Strings = (\n"          // 7
      "      'Sine  '\n"                 // 8
      "      '42'\n"                     // 9
      "      'Noise')\n"                 // 10
      "    Hint = 'Pick ''one'''\n"      // 11
      "    Lines.Strings = (\n"          // 12
      "      #3623#3636)\n"              // 13
      "    Text = '06:00'\n"             // 14
      "    Tag = 3\n"                    // 15
      "  end\n"
      "end\n";
  const std::vector<TDefinitionText> Texts = DefinitionTexts(Text, "a.dfm");
  const std::vector<std::pair<std::string, int>> Expected = {
      {"Adjustment", 2}, {"Sine  ", 8}, {"Noise", 10}, {"Pick 'one'", 11}};
  ASSERT_EQ(Texts.size(), Expected.size());
  for (std::size_t I = 0; I < Texts.size(); ++I) {
    EXPECT_EQ(Texts[I].Text, Expected[I].first);
    EXPECT_EQ(Texts[I].Line, Expected[I].second);
  }
  EXPECT_THROW(DefinitionTexts("object a: TA\n  Items.Strings = ('x'\n", "b.dfm"),
               EDefinitionError);
}
