#include "table/NdxVerify.h"

#include <set>
#include <vector>

#include "table/DbaseMessages.h"
#include "table/NdxIndex.h"

namespace {

struct TFault {
  std::string Text;
};

class TTreeWalk {
 public:
  explicit TTreeWalk(TIndexFile& Index) : FIndex(Index), FKey(Index.Key()) {}

  // Walks the subtree of PageNo; returns its largest key (empty for an empty subtree).
  TNdxKeyBytes Walk(std::uint32_t PageNo, int Depth) {
    if (!FSeen.insert(PageNo).second) Fail(PageNo, "reached a second time");
    const TNdxPage& P = FIndex.TreePage(PageNo);
    return P.IsInner() ? WalkInner(P, Depth) : WalkLeaf(P, Depth);
  }

  struct TEntry {
    std::uint32_t RecNo;
    TNdxKeyBytes Key;
  };
  const std::vector<TEntry>& Entries() const { return FEntries; }

 private:
  [[noreturn]] void Fail(std::uint32_t PageNo, const std::string& What) {
    throw TFault{"page " + std::to_string(PageNo) + ": " + What};
  }

  TNdxKeyBytes KeyOf(const TNdxPage& P, int I) const {
    return TNdxKeyBytes(P.Key(I), P.Key(I) + FKey.KeyLength());
  }

  TNdxKeyBytes WalkLeaf(const TNdxPage& P, int Depth) {
    if (FLeafDepth < 0) FLeafDepth = Depth;
    if (Depth != FLeafDepth) Fail(P.PageNo(), "leaf at another depth than the first leaf");
    const bool Strict = FIndex.UniqueMode() != TUniqueMode::umNone;
    for (int I = 0; I < P.Count(); ++I) {
      TNdxKeyBytes Key = KeyOf(P, I);
      if (!FEntries.empty()) {
        const int C = FKey.Compare(FEntries.back().Key.data(), Key.data());
        if (C > 0 || (C == 0 && Strict))
          Fail(P.PageNo(), "key '" + FKey.Text(Key.data()) + "' at entry " + std::to_string(I) +
                               (C > 0 ? " is out of order" : " is a duplicate"));
      }
      FEntries.push_back({P.RecNo(I), std::move(Key)});
    }
    if (P.Count() == 0) return {};
    return FEntries.back().Key;
  }

  TNdxKeyBytes WalkInner(const TNdxPage& P, int Depth) {
    TNdxKeyBytes Max;
    for (int I = 0; I <= P.Count(); ++I) {
      if (P.LowerPage(I) == 0) Fail(P.PageNo(), "entry " + std::to_string(I) + " has no page");
      Max = Walk(P.LowerPage(I), Depth + 1);
      if (Max.empty()) Fail(P.PageNo(), "entry " + std::to_string(I) + " leads to no keys");
      if (I < P.Count() && FKey.Compare(Max.data(), P.Key(I)) != 0)
        Fail(P.PageNo(), "key '" + FKey.Text(P.Key(I)) + "' at entry " + std::to_string(I) +
                             " differs from the largest key below it, '" + FKey.Text(Max.data()) +
                             "'");
    }
    return Max;
  }

  TIndexFile& FIndex;
  const TNdxKey& FKey;
  std::set<std::uint32_t> FSeen;
  std::vector<TEntry> FEntries;
  int FLeafDepth = -1;
};

// Every entry names a record with that key; every record is present as its mode requires.
void CheckRecords(TIndexFile& Index, const std::vector<TTreeWalk::TEntry>& Entries) {
  TDbaseFile& Table = Index.Table();
  const int Count = Table.RecordCount();
  std::vector<std::uint8_t> Record(Table.RecordSize());
  std::vector<int> Seen(std::size_t(Count) + 1, 0);
  for (const auto& E : Entries) {
    if (E.RecNo < 1 || E.RecNo > std::uint32_t(Count))
      throw TFault{"key '" + Index.Key().Text(E.Key.data()) + "' names record " +
                   std::to_string(E.RecNo) + " of " + std::to_string(Count)};
    Table.ReadRecord(int(E.RecNo), Record.data());
    if (Index.Key().Build(Record.data()) != E.Key)
      throw TFault{"key '" + Index.Key().Text(E.Key.data()) + "' is not the key of record " +
                   std::to_string(E.RecNo)};
    ++Seen[E.RecNo];
  }
  const TUniqueMode Mode = Index.UniqueMode();
  for (int RecNo = 1; RecNo <= Count; ++RecNo) {
    if (Seen[RecNo] > 1)
      throw TFault{"record " + std::to_string(RecNo) + " has " + std::to_string(Seen[RecNo]) +
                   " entries"};
    if (Seen[RecNo] == 1 || Mode == TUniqueMode::umUnique) continue;
    Table.ReadRecord(RecNo, Record.data());
    if (Mode == TUniqueMode::umNone || Record[0] != '*')
      throw TFault{"record " + std::to_string(RecNo) + " is missing"};
  }
}

}  // namespace

std::string VerifyIndex(TIndexFile& Index) {
  try {
    Index.Refresh();
    TTreeWalk Walk(Index);
    Walk.Walk(Index.IndexHeader().RootPage, 0);
    CheckRecords(Index, Walk.Entries());
    return "";
  } catch (const TFault& Fault) {
    return Fault.Text;
  } catch (const EDbaseError& E) {
    return E.Message();
  }
}
