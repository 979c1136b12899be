// Which stored texts are translated, and that the catalog's template holds every one of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/core/DefinitionTexts.h"
#include "platform/core/Translation.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& Name) {
  std::ifstream In(Name, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

// One quoted piece of a PO string, its escapes decoded.
std::string PoPiece(const std::string& Line) {
  const std::size_t Open = Line.find('"'), Close = Line.rfind('"');
  std::string Text;
  for (std::size_t I = Open + 1; I < Close; ++I) {
    if (Line[I] == '\\' && I + 1 < Close) {
      const char Escaped = Line[++I];
      Text += Escaped == 'n' ? '\n' : Escaped == 't' ? '\t' : Escaped;
    } else {
      Text += Line[I];
    }
  }
  return Text;
}

// The message ids of a template, without those kept apart by a context.
std::set<std::string> TemplateIds(const fs::path& Name) {
  std::set<std::string> Ids;
  std::istringstream In(FileText(Name));
  std::string Line, Id;
  bool InId = false, HasContext = false;
  while (std::getline(In, Line)) {
    if (Line.starts_with("msgctxt ")) HasContext = true;
    if (Line.starts_with("msgid ")) {
      InId = true;
      Id = PoPiece(Line);
    } else if (InId && Line.starts_with("\"")) {
      Id += PoPiece(Line);
    } else if (InId) {
      if (!HasContext) Ids.insert(Id);
      InId = HasContext = false;
    }
  }
  return Ids;
}

}  // namespace

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

// Every caption, hint and item the windows show is in the catalog's template, so each language
// can translate it (the pot target makes the template; a text added to a window without it
// fails here).
TEST(Translation, TemplateHoldsEveryStoredText) {
  const fs::path Source = TESSOLON_SOURCE_DIR;
  const std::set<std::string> Ids = TemplateIds(Source / "po/tessolon.pot");
  ASSERT_GT(Ids.size(), 100u);
  int Found = 0;
  for (const char* Definition : {"resources/frmMain.dfm", "resources/frmUtil.dfm"})
    for (const TDefinitionText& T : DefinitionTexts(FileText(Source / Definition), Definition)) {
      EXPECT_TRUE(Ids.contains(T.Text)) << Definition << ":" << T.Line << ": " << T.Text;
      ++Found;
    }
  EXPECT_GT(Found, 50);
}
