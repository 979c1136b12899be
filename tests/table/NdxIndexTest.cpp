// The NDX file as written and maintained: layout of a new index, writes that change no key,
// exclusive creation and the expression errors. The layout after a leaf split is pinned by
// NdxDamagedTest's offsets; unique modes and key changes are checked against a model in
// NdxModelTest.
#include <gtest/gtest.h>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

const std::vector<TRawField> PestFields = {{"IDX", 'N', 4}, {"NAME_PEST", 'C', 20}};

TEST(NdxIndex, NewIndexesAreAHeaderAndAnEmptyRoot) {
  TNdxTable T(PestFields);
  T.CreateIndex("idx.ndx", "idx", ixPrimary | ixUnique);
  T.CreateIndex("name.ndx", "NAME_PEST", ixUnique | ixDescending);
  T.Table().Close();
  auto Bytes = ReadFile(T.File("idx.ndx"));
  ASSERT_EQ(Bytes.size(), 1024u);
  EXPECT_EQ(FileLE32(Bytes, 0), 1u);  // root
  EXPECT_EQ(FileLE32(Bytes, 4), 2u);  // next free page
  EXPECT_EQ(Bytes[8], 0x60);          // distinct and unique, numeric
  EXPECT_EQ(Bytes[9], 'N');
  EXPECT_EQ(GetLE16(&Bytes[10]), 0x5800);
  EXPECT_EQ(GetLE16(&Bytes[12]), 8);   // key length
  EXPECT_EQ(GetLE16(&Bytes[14]), 31);  // keys per page
  EXPECT_EQ(GetLE16(&Bytes[16]), 1);   // numeric key
  EXPECT_EQ(GetLE16(&Bytes[18]), 16);  // entry size
  EXPECT_EQ(GetLE16(&Bytes[20]), 2);
  EXPECT_EQ(Bytes[23], 0x21);  // primary
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&Bytes[24])), "IDX");
  EXPECT_EQ(Bytes[246], 1);
  EXPECT_EQ(FileLE32(Bytes, 512), 0u);  // page 1: no keys

  Bytes = ReadFile(T.File("name.ndx"));
  EXPECT_EQ(Bytes[8], ndxCharKey | ndxDescending | ndxUnique);
  EXPECT_EQ(Bytes[9], 'C');
  EXPECT_EQ(GetLE16(&Bytes[12]), 20);
  EXPECT_EQ(GetLE16(&Bytes[14]), 18);
  EXPECT_EQ(GetLE16(&Bytes[16]), 0);
  EXPECT_EQ(GetLE16(&Bytes[18]), 28);
  EXPECT_EQ(Bytes[23], 1);
}

TEST(NdxIndex, PostWithoutKeyChangeDoesNotWriteTheIndex) {
  TNdxTable T(PestFields, pfReadWriteOpen);
  T.CreateIndex("idx.ndx", "IDX", ixPrimary | ixUnique);
  T.Append({{"IDX", 3}, {"NAME_PEST", "flea"}});
  const auto Name = T.File("idx.ndx");
  const auto Before = std::filesystem::last_write_time(Name);
  const auto Bytes = ReadFile(Name);
  T.Change(1, {{"NAME_PEST", "tick"}});
  EXPECT_EQ(std::filesystem::last_write_time(Name), Before);
  EXPECT_EQ(ReadFile(Name), Bytes);
}

TEST(NdxIndex, DeletingAKeyThatIsNotThereChangesNothing) {
  TNdxTable T(PestFields);
  TIndexFile& Index = T.CreateIndex("idx.ndx", "IDX");
  T.Append({{"IDX", 1}});
  Index.Flush();
  const auto Before = ReadFile(T.File("idx.ndx"));
  const auto Stranger = T.Record({{"IDX", 42}});
  Index.DeleteKey(1, Stranger.data());
  Index.DeleteKey(7, T.Record({{"IDX", 1}}).data());
  Index.Flush();
  EXPECT_EQ(ReadFile(T.File("idx.ndx")), Before);
}

TEST(NdxIndex, CreatingNeedsExclusiveAccess) {
  TNdxTable T(PestFields, pfReadWriteOpen);
  TIndexFile Index(T.Table());
  Index.SetFileName(T.File("idx.ndx"));
  Index.SetMode(pfReadWriteCreate);
  Index.Open();
  EXPECT_EQ(ErrorOf<EDbaseError>([&] { Index.CreateIndex("IDX", 0); }),
            "Exclusive access is required for this operation.");
}

TEST(NdxIndex, ExpressionErrors) {
  TNdxTable T(
      {{"IDX", 'N', 4}, {"WHEN", 'D', 8}, {"OK", 'L', 1}, {"NOTES", 'M', 10}, {"LONG", 'C', 120}});
  const std::pair<const char*, const char*> Cases[] = {
      {"NOPE", "Index based on unknown field \"NOPE\"."},
      {"WHEN", "Invalid index type: can only be string or float."},
      {"OK", "Invalid index type: can only be string or float."},
      {"NOTES", "Field \"NOTES\" is an invalid field type to base index on."},
      {"LONG", "Index result for \"LONG\" too long, >100 characters (120)."}};
  for (const auto& Case : Cases)
    EXPECT_EQ(ErrorOf<EDbaseError>([&] { T.CreateIndex("x.ndx", Case.first); }), Case.second);
}

}  // namespace
