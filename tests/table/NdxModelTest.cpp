// Long random sequences of appends, key changes and deletes, checked after every step against
// a sorted model of the entries and, every few steps, against the verifier.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

struct TModelCase {
  bool CharKey;
  bool Descending;
  TUniqueMode Mode;
  TPagedFileMode TableMode;
};

std::string CaseName(const testing::TestParamInfo<TModelCase>& Info) {
  const TModelCase& C = Info.param;
  static const char* Modes[] = {"None", "Unique", "Distinct"};
  return std::string(C.CharKey ? "Char" : "Numeric") + (C.Descending ? "Desc" : "Asc") +
         Modes[int(C.Mode)] + (C.TableMode == pfExclusiveOpen ? "Exclusive" : "Shared");
}

class NdxModel : public testing::TestWithParam<TModelCase> {
 protected:
  // The entries the index must hold, in index order; equal keys in insertion order.
  struct TEntry {
    std::string Text;  // key as TNdxKey::Text shows it
    double Number;
    int RecNo;
  };

  int Compare(const TEntry& A, const TEntry& B) const {
    int C = GetParam().CharKey ? A.Text.compare(B.Text)
                               : (A.Number < B.Number ? -1 : A.Number > B.Number);
    C = C < 0 ? -1 : (C > 0 ? 1 : 0);
    return GetParam().Descending ? -C : C;
  }
  bool Has(const TEntry& E) const {
    return std::any_of(FModel.begin(), FModel.end(),
                       [&](const TEntry& M) { return Compare(M, E) == 0; });
  }
  void Add(const TEntry& E) {
    auto It = std::find_if(FModel.begin(), FModel.end(),
                           [&](const TEntry& M) { return Compare(M, E) > 0; });
    FModel.insert(It, E);
  }
  void Drop(int RecNo) {
    std::erase_if(FModel, [&](const TEntry& M) { return M.RecNo == RecNo; });
  }

  TEntry RandomKey(int RecNo) {
    // Few distinct values, so that duplicates are frequent.
    const int V = std::uniform_int_distribution<int>(0, 150)(FRandom);
    if (GetParam().CharKey) {
      std::string Text = "k" + std::to_string(V * 7919 % 1000);
      return {Text, 0, RecNo};
    }
    const double Number = (V - 75) * 0.5;
    return {FloatToText(Number), Number, RecNo};
  }
  std::pair<std::string, TVariant> Value(const TEntry& E) {
    if (GetParam().CharKey) return {"K", E.Text};
    return {"K", E.Number};
  }

  std::vector<TEntry> FModel;
  std::mt19937 FRandom{12345};
};

TEST_P(NdxModel, RandomOperationsMatchTheModel) {
  const TModelCase& C = GetParam();
  // A 60-byte character key leaves 7 keys per page, so the tree grows several levels deep.
  TNdxTable T({{"K", C.CharKey ? 'C' : 'N', C.CharKey ? 60 : 8, C.CharKey ? 0 : 1}}, C.TableMode);
  TIndexOptions Options = C.Descending ? TIndexOptions(ixDescending) : 0;
  if (C.Mode == TUniqueMode::umDistinct) Options |= ixPrimary;
  if (C.Mode == TUniqueMode::umUnique) Options |= ixUnique;
  TIndexFile* Index = &T.CreateIndex("k.ndx", "K", Options);

  std::vector<bool> Live(1, false);
  std::vector<TEntry> Current(1);
  auto RandomLive = [&]() {
    std::vector<int> Candidates;
    for (std::size_t R = 1; R < Live.size(); ++R)
      if (Live[R]) Candidates.push_back(int(R));
    if (Candidates.empty()) return 0;
    return Candidates[std::uniform_int_distribution<std::size_t>(0,
                                                                 Candidates.size() - 1)(FRandom)];
  };

  for (int Step = 0; Step < 700; ++Step) {
    const int Op = std::uniform_int_distribution<int>(0, 9)(FRandom);
    const int Target = RandomLive();
    if (Op < 5 || Target == 0) {
      TEntry E = RandomKey(int(Live.size()));
      const bool Clash = Has(E);
      if (C.Mode == TUniqueMode::umDistinct && Clash) {
        EXPECT_THROW(T.Append({Value(E)}), EDbaseError);
      } else {
        ASSERT_EQ(T.Append({Value(E)}), E.RecNo);
        Live.push_back(true);
        Current.push_back(E);
        if (!(C.Mode == TUniqueMode::umUnique && Clash)) Add(E);
      }
    } else if (Op < 8) {
      TEntry E = RandomKey(Target);
      const bool Same = Compare(E, Current[Target]) == 0;
      const bool Clash = !Same && Has(E);
      if (C.Mode == TUniqueMode::umDistinct && Clash) {
        EXPECT_THROW(T.Change(Target, {Value(E)}), EDbaseError);
      } else {
        T.Change(Target, {Value(E)});
        if (!Same) {
          Drop(Target);
          if (!(C.Mode == TUniqueMode::umUnique && Clash)) Add(E);
        }
        Current[Target] = E;
      }
    } else {
      T.Delete(Target);
      Live[Target] = false;
      if (C.Mode == TUniqueMode::umDistinct) Drop(Target);
    }

    const auto Entries = IndexEntries(*Index);
    ASSERT_EQ(Entries.size(), FModel.size()) << "step " << Step;
    for (std::size_t I = 0; I < Entries.size(); ++I) {
      ASSERT_EQ(Entries[I].first, FModel[I].Text) << "step " << Step << " entry " << I;
      ASSERT_EQ(Entries[I].second, FModel[I].RecNo) << "step " << Step << " entry " << I;
    }
    if (Step % 25 == 0) {
      ASSERT_EQ(VerifyIndex(*Index), "") << "step " << Step;
    }
  }
  ASSERT_EQ(VerifyIndex(*Index), "");

  // What reached the file is the same tree.
  T.Table().RemoveIndex(Index);
  Index = &T.OpenIndex("k.ndx");
  EXPECT_EQ(VerifyIndex(*Index), "");
  EXPECT_EQ(IndexEntries(*Index).size(), FModel.size());
}

std::vector<TModelCase> AllCases() {
  std::vector<TModelCase> Cases;
  for (bool CharKey : {false, true})
    for (bool Descending : {false, true})
      for (TUniqueMode Mode : {TUniqueMode::umNone, TUniqueMode::umUnique, TUniqueMode::umDistinct})
        Cases.push_back({CharKey, Descending, Mode,
                         (CharKey != Descending) ? pfReadWriteOpen : pfExclusiveOpen});
  return Cases;
}

INSTANTIATE_TEST_SUITE_P(AllModes, NdxModel, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
