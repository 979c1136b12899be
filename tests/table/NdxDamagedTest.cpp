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
    // The 32nd key splits the root leaf: root 2 over leaf 1 (keys 1-16) and leaf 3 (17-40).
    for (int I = 1; I <= 40; ++I) T.Append({{"IDX", I}});
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

// Header faults are refused at open, page faults when reached, and what reads yet is wrong is
// named by the verifier; an oversized layout is recomputed from the capped key length.
TEST_F(NdxDamaged, EachFaultIsRefusedOrNamed) {
  using TBytes = std::vector<std::uint8_t>;
  const std::string Damaged = "Index file \"" + T.File("idx.ndx") + "\" is damaged: ";
  const struct {
    std::function<void(TBytes&)> Damage;
    std::string Expected;
  } Cases[] = {
      {[](TBytes&) {}, ""},
      {[](TBytes& B) { PutLE32(&B[0], 9); }, Damaged + "root page 9 outside the 4 pages in use."},
      {[](TBytes& B) { PutLE32(&B[4], 0xFFFFFFF0); },
       Damaged + "root page 2 outside the 4294967280 pages in use."},
      {[](TBytes& B) { PutLE16(&B[12], 12); },
       Damaged + "key length 12 does not fit the key type."},
      {[](TBytes& B) { B.resize(300); }, Damaged + "the header is shorter than a page."},
      {[](TBytes& B) { std::fill(B.begin() + 24, B.begin() + 244, 'X'); },
       Damaged + "key expression not terminated."},
      // Keys per page times entry size beyond the page: sizes come from the key length instead.
      {[](TBytes& B) { PutLE16(&B[14], 200); }, ""},
      // The root's trailing entry points past the next free page.
      {[](TBytes& B) { PutLE32(&B[1024 + 4 + 16], 77); },
       Damaged + "page 77 is not below the next free page 4."},
      {[](TBytes& B) { PutLE32(&B[512], 32); }, Damaged + "page 1 holds 32 keys, more than 31."},
      {[](TBytes& B) { B.resize(1536); }, Damaged + "page 3 lies beyond the end of the file."},
      // Two keys of leaf 1 swapped.
      {[](TBytes& B) {
         std::swap_ranges(B.begin() + 512 + 4 + 8, B.begin() + 512 + 4 + 16,
                          B.begin() + 512 + 4 + 16 + 8);
       },
       "page 1: key '1' at entry 1 is out of order"},
      // An inner key that is not its subtree's largest.
      {[](TBytes& B) { DoubleToNdxKey(15, &B[1024 + 4 + 8]); },
       "page 2: key '15' at entry 0 differs from the largest key below it, '16'"},
      {[](TBytes& B) { PutLE32(&B[512 + 4 + 4], 2); }, "key '1' is not the key of record 2"},
      // A leaf losing its last key leaves record 16 out.
      {[](TBytes& B) { PutLE32(&B[512], 15); },
       "page 2: key '16' at entry 0 differs from the largest key below it, '15'"},
  };
  for (const auto& Case : Cases) EXPECT_EQ(Outcome(Case.Damage), Case.Expected);
  // A child pointing back at the root.
  EXPECT_NE(Outcome([](TBytes& B) { PutLE32(&B[1024 + 4], 2); }).find("loop"), std::string::npos);
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
