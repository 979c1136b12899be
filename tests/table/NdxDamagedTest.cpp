// Index files whose header or pages contradict each other are refused with a clear error
// instead of being read past their end.
#include <gtest/gtest.h>

#include <functional>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

class NdxDamaged : public testing::Test {
 protected:
  NdxDamaged() : T({{"IDX", 'N', 4}}) {
    TIndexFile& Index = T.CreateIndex("idx.ndx", "IDX");
    for (int I = 1; I <= 40; ++I) T.Append({{"IDX", I}});  // root 2 over leaves 1 and 3
    T.Table().RemoveIndex(&Index);
    Good = ReadFile(T.File("idx.ndx"));
  }

  // Opens the file after Damage changed its bytes, walks it and verifies it; the message of
  // the first error, or "" when everything went through.
  std::string Outcome(const std::function<void(std::vector<std::uint8_t>&)>& Damage) {
    auto Bytes = Good;
    Damage(Bytes);
    WriteFile(T.File("idx.ndx"), Bytes);
    TIndexFile* Index = nullptr;
    std::string Result;
    try {
      Index = &T.OpenIndex("idx.ndx");
      IndexEntries(*Index);
      Result = VerifyIndex(*Index);
    } catch (const EDbaseError& E) {
      Result = E.Message();
    }
    if (Index) T.Table().RemoveIndex(Index);
    return Result;
  }

  TNdxTable T;
  std::vector<std::uint8_t> Good;
};

TEST_F(NdxDamaged, SoundFileGoesThrough) {
  EXPECT_EQ(Outcome([](auto&) {}), "");
}

TEST_F(NdxDamaged, HeaderFaultsAreRefusedAtOpen) {
  const std::string Prefix = "Index file \"" + T.File("idx.ndx") + "\" is damaged: ";
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[0], 9); }),
            Prefix + "root page 9 outside the 4 pages in use.");
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[4], 0xFFFFFFF0); }),
            Prefix + "root page 2 outside the 4294967280 pages in use.");
  EXPECT_EQ(Outcome([](auto& B) { PutLE16(&B[12], 12); }),
            Prefix + "key length 12 does not fit the key type.");
  EXPECT_EQ(Outcome([](auto& B) { B.resize(300); }), Prefix + "the header is shorter than a page.");
  EXPECT_EQ(Outcome([](auto& B) { std::fill(B.begin() + 24, B.begin() + 244, 'X'); }),
            Prefix + "key expression not terminated.");
}

TEST_F(NdxDamaged, OversizedLayoutIsRecomputedFromTheCappedKeyLength) {
  // Keys per page times entry size beyond the page: sizes come from the key length instead.
  EXPECT_EQ(Outcome([](auto& B) { PutLE16(&B[14], 200); }), "");
}

TEST_F(NdxDamaged, PageFaultsAreRefusedWhenReached) {
  const std::string Prefix = "Index file \"" + T.File("idx.ndx") + "\" is damaged: ";
  // The root's trailing entry points past the next free page.
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[1024 + 4 + 16], 77); }),
            Prefix + "page 77 is not below the next free page 4.");
  // A leaf claims more keys than a page holds.
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[512], 32); }),
            Prefix + "page 1 holds 32 keys, more than 31.");
  // The file ends before a page the header counts.
  EXPECT_EQ(Outcome([](auto& B) { B.resize(1536); }),
            Prefix + "page 3 lies beyond the end of the file.");
  // A child pointing back at the root.
  EXPECT_NE(Outcome([](auto& B) { PutLE32(&B[1024 + 4], 2); }).find("loop"), std::string::npos);
}

TEST_F(NdxDamaged, VerifierNamesTheFirstFault) {
  // Swap two keys in leaf 1.
  EXPECT_EQ(Outcome([](auto& B) {
              std::swap_ranges(B.begin() + 512 + 4 + 8, B.begin() + 512 + 4 + 16,
                               B.begin() + 512 + 4 + 16 + 8);
            }),
            "page 1: key '1' at entry 1 is out of order");
  // An inner key that is not its subtree's largest.
  EXPECT_EQ(Outcome([](auto& B) { DoubleToNdxKey(15, &B[1024 + 4 + 8]); }),
            "page 2: key '15' at entry 0 differs from the largest key below it, '16'");
  // An entry naming the wrong record.
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[512 + 4 + 4], 2); }),
            "key '1' is not the key of record 2");
  // A leaf losing its last key leaves record 16 out.
  EXPECT_EQ(Outcome([](auto& B) { PutLE32(&B[512], 15); }),
            "page 2: key '16' at entry 0 differs from the largest key below it, '15'");
}

TEST_F(NdxDamaged, ModificationOfADamagedIndexFailsAndLeavesTheFile) {
  auto Bytes = Good;
  PutLE32(&Bytes[1024 + 4 + 16], 77);
  WriteFile(T.File("idx.ndx"), Bytes);
  T.OpenIndex("idx.ndx");
  EXPECT_THROW(T.Append({{"IDX", 99}}), EDbaseError);
  T.Table().Close();
  EXPECT_EQ(ReadFile(T.File("idx.ndx")), Bytes);
}

}  // namespace
