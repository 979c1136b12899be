// Marking a table's code page: only a dBase III table without a mark whose text is plain ASCII
// gets one; any other is left byte for byte as it was.
#include <gtest/gtest.h>

#include "table/CodePage.h"
#include "table/DbaseMessages.h"
#include "tests/table/TableTestFiles.h"

namespace {

const std::vector<TRawField> Names = {{"IDX", 'N', 3}, {"NAME", 'C', 12}};

std::string Row(const char* Idx, const char* Name) {
  return Record(Names, {Idx, Name});
}

}  // namespace

TEST(CodePageMarkTest, OnlyUnmarkedPlainTablesAreMarkedWhenNoOneWritesThem) {
  const struct {
    const char* What;
    std::vector<TRawField> Fields;
    std::vector<std::string> Records;
    std::uint8_t Id;
    bool Marked;     // what MarkPlainTable answers
    bool Unchanged;  // the file stays byte for byte as it was
  } Cases[] = {
      {"plain names", Names, {Row("1", "Mosquito"), Row("2", "Rat")}, 0, true, false},
      {"no records", Names, {}, 0, true, false},
      {"a deleted record's plain name",
       Names,
       {Record(Names, {"1", "Gnat"}, true)},
       0,
       true,
       false},
      {"cp437 name",
       Names,
       {Row("1",
            "M\x81"
            "cke")},
       0,
       false,
       true},
      {"UTF-8 name",
       Names,
       {Row("1",
            "M\xC3\xBC"
            "cke")},
       0,
       false,
       true},
      {"a non-ASCII byte in a deleted record",
       Names,
       {Record(Names, {"1", "\xE9"}, true)},
       0,
       false,
       true},
      {"Windows ANSI mark", Names, {Row("1", "Fly")}, 0x57, false, true},
      {"Thai mark already", Names, {Row("1", "Fly")}, 0x7C, true, true},
      {"dBase's Thai driver", Names, {Row("1", "Fly")}, 0x50, true, true},
      {"memo field", {{"NAME", 'C', 4}, {"NOTE", 'M', 10}}, {" Fly           "}, 0, false, true},
  };
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.What);
    WriteTable(Name, Case.Fields, Case.Records, Case.Id);
    const auto Before = ReadFile(Name);
    EXPECT_EQ(MarkPlainTable(Name, 874), Case.Marked);
    const auto After = ReadFile(Name);
    EXPECT_EQ(After == Before, Case.Unchanged);
    if (Case.Unchanged) continue;
    // Only the mark (and the header's date of update) changed.
    EXPECT_EQ(After[29], 0x7C);
    ASSERT_EQ(After.size(), Before.size());
    EXPECT_TRUE(std::equal(After.begin() + 30, After.end(), Before.begin() + 30));
    EXPECT_EQ(OpenFile(Name, pfReadOnly)->CodePage(), 874);
  }
  // Marking changes how every open reads the text: a table another program has open for
  // writing is left alone, and marked by a later call.
  WriteTable(Name, Names, {Row("1", "Flea")});
  const auto Before = ReadFile(Name);
  {
    const auto Writer = OpenFile(Name, pfReadWriteOpen);
    EXPECT_FALSE(MarkPlainTable(Name, 874));
    EXPECT_EQ(ReadFile(Name), Before);
  }
  EXPECT_TRUE(MarkPlainTable(Name, 874));
  EXPECT_EQ(ReadFile(Name)[29], 0x7C);
  // Neither a code page without a mark nor a file that is no table gets one.
  WriteTable(Name, Names, {Row("1", "Flea")});
  EXPECT_FALSE(MarkPlainTable(Name, 65001));
  EXPECT_EQ(ReadFile(Name)[29], 0);
  WriteFile(Name, {'n', 'o', 't'});
  EXPECT_THROW(MarkPlainTable(Name, 874), EDbaseError);
}
