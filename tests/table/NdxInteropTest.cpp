// Our NDX files read by an independent reader (Perl XBase::Index, run as a black box) list the
// same keys and record numbers in the same order as our index cursor.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tests/table/NdxTestSupport.h"

namespace {

using TEntries = std::vector<std::pair<std::string, int>>;

bool PerlIndexReaderPresent() {
  return std::system("perl -MXBase::Index -e 1 >/dev/null 2>&1") == 0;
}

std::string TrimRight(std::string Text) {
  Text.erase(Text.find_last_not_of(' ') + 1);
  return Text;
}

// Entries as XBase::Index fetches them; numeric keys normalised through a double.
TEntries PerlEntries(const std::string& FileName, bool Numeric) {
  const std::string Command =
      "perl -MXBase::Index -e 'my $i = XBase::Index->new($ARGV[0]) or die XBase::Index->errstr;"
      " $i->prepare_select; while (my ($k, $v) = $i->fetch) { print \"$k\\t$v\\n\" }' '" +
      FileName + "'";
  TEntries Result;
  FILE* Pipe = ::popen(Command.c_str(), "r");
  if (!Pipe) return Result;
  char Line[512];
  while (std::fgets(Line, sizeof Line, Pipe)) {
    std::string Text(Line);
    if (!Text.empty() && Text.back() == '\n') Text.pop_back();
    const auto Tab = Text.rfind('\t');
    std::string Key = TrimRight(Text.substr(0, Tab));
    if (Numeric) Key = FloatToText(std::stod(Key));
    Result.emplace_back(Key, std::stoi(Text.substr(Tab + 1)));
  }
  EXPECT_EQ(::pclose(Pipe), 0);
  return Result;
}

class NdxInterop : public testing::Test {
 protected:
  void SetUp() override {
    if (!PerlIndexReaderPresent()) GTEST_SKIP() << "Perl XBase::Index is not installed";
  }
  TNdxTable T{{{"IDX", 'N', 7, 1}, {"NAME", 'C', 40}}};
};

TEST_F(NdxInterop, EmptySingleLeafAndMultiLevelIndexesListTheSame) {
  TIndexFile& Numbers = T.CreateIndex("idx.ndx", "IDX");
  EXPECT_EQ(PerlEntries(T.File("idx.ndx"), true), TEntries{});
  T.Append({{"IDX", 250.5}});  // beyond the keys below, which the distinct index holds
  T.Append({{"IDX", -200}});
  Numbers.Flush();
  EXPECT_EQ(PerlEntries(T.File("idx.ndx"), true), (TEntries{{"-200", 2}, {"250.5", 1}}));
  TIndexFile& Names = T.CreateIndex("name.ndx", "NAME", ixUnique);
  TIndexFile& Down = T.CreateIndex("down.ndx", "IDX", ixDescending | ixPrimary);
  // Enough records for three levels of 40-byte keys; negative, fractional and repeated numbers.
  for (int I = 0; I < 600; ++I)
    T.Append({{"IDX", (I * 7919 % 600 - 300) / 2.0}, {"NAME", "pest " + std::to_string(I % 450)}});
  for (int RecNo = 3; RecNo <= 600; RecNo += 5)
    T.Change(RecNo, {{"NAME", "moved " + std::to_string(RecNo)}});
  for (int RecNo = 2; RecNo <= 600; RecNo += 9) T.Delete(RecNo);
  for (TIndexFile* Index : {&Numbers, &Names, &Down}) Index->Flush();

  EXPECT_EQ(PerlEntries(T.File("idx.ndx"), true), IndexEntries(Numbers));
  EXPECT_EQ(PerlEntries(T.File("name.ndx"), false), IndexEntries(Names));
  EXPECT_EQ(PerlEntries(T.File("down.ndx"), true), IndexEntries(Down));
  EXPECT_EQ(IndexEntries(Numbers).size(), 602u);
  EXPECT_LT(IndexEntries(Names).size(), 600u);
}

}  // namespace
