// The B-tree algorithms of TIndexFile: search, insertion with splits on the way down, removal,
// and the cursor's walk over the leaves. FPath holds one (page, position) per level, root
// first; in an inner page position Count() is the trailing pointer entry.
#include <algorithm>

#include "table/NdxIndex.h"
#include "table/NdxMessages.h"
#include "table/NdxOperation.h"

namespace {

// Deeper paths only arise from a page that points back up the tree.
constexpr std::size_t MaxDepth = 32;

}  // namespace

void TIndexFile::CheckDepth() const {
  if (FPath.size() > MaxDepth)
    throw ENdxDamaged(NdxDamaged(FileName(), "the tree has a loop or is deeper than " +
                                                 std::to_string(MaxDepth) + " levels"));
}

int TIndexFile::Find(const TNdxPage& P, const std::uint8_t* Key, bool After) const {
  // First entry whose key is not less than Key (After: greater than Key).
  int Low = 0, High = P.Count();
  while (Low < High) {
    const int Mid = (Low + High) / 2;
    const int C = FKey.Compare(P.Key(Mid), Key);
    if (C > 0 || (C == 0 && !After))
      High = Mid;
    else
      Low = Mid + 1;
  }
  return Low;
}

void TIndexFile::Descend(const std::uint8_t* Key, bool After) {
  FPath.clear();
  std::uint32_t PageNo = FHdr.RootPage;
  for (;;) {
    const TNdxPage& P = Page(PageNo);
    const int Pos = Find(P, Key, After);
    FPath.push_back({PageNo, Pos});
    CheckDepth();
    if (!P.IsInner()) return;
    PageNo = P.LowerPage(Pos);
  }
}

void TIndexFile::DescendEdge(bool Rightmost) {
  auto EdgePos = [Rightmost](const TNdxPage& P) {
    if (!Rightmost) return 0;
    return P.IsInner() ? P.Count() : P.Count() - 1;
  };
  if (FPath.empty()) FPath.push_back({FHdr.RootPage, EdgePos(Page(FHdr.RootPage))});
  for (;;) {
    const TNdxPage& P = Page(FPath.back().PageNo);
    if (!P.IsInner()) return;
    const std::uint32_t Child = P.LowerPage(FPath.back().Pos);
    FPath.push_back({Child, EdgePos(Page(Child))});
    CheckDepth();
  }
}

bool TIndexFile::SettleForward() {
  for (;;) {
    if (FPath.back().Pos < Leaf().Count()) return true;
    int Level = int(FPath.size()) - 2;
    while (Level >= 0 && FPath[Level].Pos >= Page(FPath[Level].PageNo).Count()) --Level;
    if (Level < 0) return false;
    ++FPath[Level].Pos;
    FPath.resize(Level + 1);
    DescendEdge(false);
  }
}

bool TIndexFile::Advance() {
  ++FPath.back().Pos;
  return SettleForward();
}

bool TIndexFile::StepBack() {
  --FPath.back().Pos;
  return SettleBack();
}

bool TIndexFile::SettleBack() {
  for (;;) {
    if (FPath.back().Pos >= 0) return true;
    int Level = int(FPath.size()) - 2;
    while (Level >= 0 && FPath[Level].Pos <= 0) --Level;
    if (Level < 0) return false;
    --FPath[Level].Pos;
    FPath.resize(Level + 1);
    DescendEdge(true);
  }
}

bool TIndexFile::SeekEntry(const std::uint8_t* Key, std::uint32_t RecNo) {
  Descend(Key, false);
  // Equal keys may continue over several leaves.
  for (bool On = SettleForward(); On; On = Advance()) {
    const TNdxPage& L = Leaf();
    const int Pos = FPath.back().Pos;
    if (FKey.Compare(L.Key(Pos), Key) != 0) return false;
    if (L.RecNo(Pos) == RecNo) return true;
  }
  return false;
}

void TIndexFile::Insert(const std::uint8_t* Key, std::uint32_t RecNo) {
  const TUniqueMode Mode = UniqueMode();
  if (Mode != TUniqueMode::umNone) {
    Descend(Key, false);
    if (SettleForward() && FKey.Compare(Leaf().Key(FPath.back().Pos), Key) == 0) {
      if (Mode == TUniqueMode::umUnique) return;
      throw EDbaseError(FormatMessage(DbaseMessages::KeyViolation, FileName().c_str(),
                                      int(Leaf().RecNo(FPath.back().Pos)), FKey.Text(Key).c_str()));
    }
  }
  InsertInto(Key, RecNo);
}

void TIndexFile::InsertInto(const std::uint8_t* Key, std::uint32_t RecNo) {
  // Duplicates go after their equals when the index admits them.
  const bool After = UniqueMode() == TUniqueMode::umNone;
  FPath.clear();
  std::uint32_t PageNo = FHdr.RootPage;
  if (Full(Page(PageNo))) {
    TNdxPage& Root = Allocate();
    Root.SetEntry(0, PageNo, 0, nullptr);
    FHdr.RootPage = PageNo = Root.PageNo();
  }
  // Every full page on the way down is split before entering it, so a parent has room.
  for (;;) {
    TNdxPage& P = Page(PageNo);
    int Pos = Find(P, Key, After);
    if (!P.IsInner()) {
      FPath.push_back({PageNo, Pos});
      break;
    }
    std::uint32_t ChildNo = P.LowerPage(Pos);
    TNdxPage& Child = Page(ChildNo);
    if (Full(Child)) {
      const int ChildPos = Find(Child, Key, After);
      SplitChild(Modify(PageNo), Pos, Modify(ChildNo), ChildPos);
      Pos = Find(P, Key, After);
      ChildNo = P.LowerPage(Pos);
    }
    FPath.push_back({PageNo, Pos});
    CheckDepth();
    PageNo = ChildNo;
  }
  TNdxPage& L = Modify(PageNo);
  const int Pos = FPath.back().Pos, Count = L.Count();
  L.OpenGap(Pos, Count);
  L.SetEntry(Pos, 0, RecNo, Key);
  L.SetCount(Count + 1);
  if (Pos == Count) PropagateMax(Key, int(FPath.size()) - 2);
}

void TIndexFile::SplitChild(TNdxPage& Parent, int Pos, TNdxPage& Child, int ChildPos) {
  const int K = Child.Count();
  const bool Inner = Child.IsInner();
  // The left part keeps B keys; the split point leans toward where the new key goes.
  int B = Inner ? (K + 1) / 2 : K / 2;
  if (B < K - B && ChildPos > B)
    ++B;
  else if (K - B < B && ChildPos < B)
    --B;
  B = std::clamp(B, 1, Inner ? K : K - 1);

  TNdxPage& Right = Allocate();
  Child.MoveEntries(B, Inner ? K - B + 1 : K - B, Right);
  Right.SetCount(K - B);
  const TNdxKeyBytes LeftMax(Child.Key(B - 1), Child.Key(B - 1) + FHdr.KeyLength);
  if (Inner) {
    // The last kept entry becomes the trailing pointer; its key moves up to the parent.
    Child.SetEntry(B - 1, Child.LowerPage(B - 1), 0, nullptr);
    Child.SetCount(B - 1);
  } else {
    Child.SetCount(B);
  }
  const int Used = Parent.Count() + 1;
  Parent.OpenGap(Pos, Used);
  Parent.SetEntry(Pos, Child.PageNo(), 0, LeftMax.data());
  Parent.SetLowerPage(Pos + 1, Right.PageNo());
  Parent.SetCount(Used);
}

void TIndexFile::PropagateMax(const std::uint8_t* Key, int Level) {
  // An inner entry carries its subtree's largest key; the trailing entry carries none, so the
  // change travels on up from there.
  for (; Level >= 0; --Level) {
    const TPathEntry& E = FPath[Level];
    if (E.Pos < Page(E.PageNo).Count()) {
      Modify(E.PageNo).SetKey(E.Pos, Key);
      return;
    }
  }
}

bool TIndexFile::Remove(const std::uint8_t* Key, std::uint32_t RecNo) {
  if (!SeekEntry(Key, RecNo)) return false;
  RemoveAt();
  return true;
}

void TIndexFile::RemoveAt() {
  TNdxPage& L = Modify(FPath.back().PageNo);
  const int Pos = FPath.back().Pos, Count = L.Count();
  L.CloseGap(Pos, Count);
  L.SetCount(Count - 1);
  const int ParentLevel = int(FPath.size()) - 2;
  if (Count == 1 && ParentLevel >= 0)
    RemoveChild(ParentLevel);
  else if (Pos == Count - 1 && Count > 1)
    PropagateMax(L.Key(Count - 2), ParentLevel);
}

void TIndexFile::RemoveChild(int Level) {
  TNdxPage& P = Modify(FPath[Level].PageNo);
  const int Pos = FPath[Level].Pos, Count = P.Count();
  if (Pos < Count) {
    P.CloseGap(Pos, Count + 1);
    P.SetCount(Count - 1);
    return;
  }
  if (Count == 0) {
    // The only child went: the page goes too, or the root becomes an empty leaf.
    if (Level == 0)
      P.Clear();
    else
      RemoveChild(Level - 1);
    return;
  }
  // The trailing child went: the entry before it takes its place, and that subtree's largest
  // key is now the largest of this page.
  const TNdxKeyBytes NewMax(P.Key(Count - 1), P.Key(Count - 1) + FHdr.KeyLength);
  P.SetEntry(Count - 1, P.LowerPage(Count - 1), 0, nullptr);
  P.SetEntry(Count, 0, 0, nullptr);
  P.SetCount(Count - 1);
  PropagateMax(NewMax.data(), Level - 1);
}

// Cursor.

void TIndexFile::CursorFirst() {
  FCursorState = csBefore;
  FCursorSteps = 0;
}

void TIndexFile::CursorLast() {
  FCursorState = csAfter;
  FCursorSteps = 0;
}

void TIndexFile::Remember() {
  const TNdxPage& L = Leaf();
  const int Pos = FPath.back().Pos;
  FCursorKey.assign(L.Key(Pos), L.Key(Pos) + FHdr.KeyLength);
  FCursorRecNo = L.RecNo(Pos);
  FCursorPath = FPath;
  FCursorState = csOnEntry;
}

void TIndexFile::CountStep() {
  // A walk can meet no more entries than the pages hold; more means pages shared by several
  // parents, which would make the walk endless in practice.
  if (++FCursorSteps > std::uint64_t(FHdr.NextFreePage) * std::uint64_t(FHdr.KeysPerPage))
    throw ENdxDamaged(NdxDamaged(FileName(), "pages are reached from more than one parent"));
}

bool TIndexFile::CursorPathHolds() {
  // The remembered path still runs from the root to the remembered entry: walk on from there,
  // which is cheaper than a search and keeps its place among equal keys.
  if (FCursorPath.empty() || FCursorPath[0].PageNo != FHdr.RootPage) return false;
  for (std::size_t I = 0; I < FCursorPath.size(); ++I) {
    const TNdxPage& P = Page(FCursorPath[I].PageNo);
    const int Pos = FCursorPath[I].Pos;
    if (I + 1 < FCursorPath.size()) {
      if (!P.IsInner() || Pos > P.Count() || P.LowerPage(Pos) != FCursorPath[I + 1].PageNo)
        return false;
    } else if (P.IsInner() || Pos >= P.Count() || P.RecNo(Pos) != FCursorRecNo ||
               FKey.Compare(P.Key(Pos), FCursorKey.data()) != 0) {
      return false;
    }
  }
  return true;
}

TIndexFile::TReposition TIndexFile::Reposition() {
  if (CursorPathHolds()) {
    FPath = FCursorPath;
    return rpFound;
  }
  Descend(FCursorKey.data(), false);
  for (bool On = SettleForward(); On; On = Advance()) {
    const TNdxPage& L = Leaf();
    const int Pos = FPath.back().Pos;
    if (FKey.Compare(L.Key(Pos), FCursorKey.data()) != 0) return rpAfter;
    if (L.RecNo(Pos) == FCursorRecNo) return rpFound;
  }
  return rpEnd;
}

bool TIndexFile::CursorNext() {
  if (FCursorState == csAfter) return false;
  TIndexOperation Op(*this);
  bool On;
  if (FCursorState == csBefore) {
    FPath.clear();
    DescendEdge(false);
    On = SettleForward();
  } else {
    const TReposition Where = Reposition();
    On = Where == rpFound ? Advance() : Where == rpAfter;
  }
  // An entry for the same record again is skipped.
  while (On && FCursorState == csOnEntry && Leaf().RecNo(FPath.back().Pos) == FCursorRecNo)
    On = Advance();
  if (On) {
    CountStep();
    Remember();
  } else {
    FCursorState = csAfter;
  }
  Op.Commit();
  return On;
}

bool TIndexFile::CursorPrior() {
  if (FCursorState == csBefore) return false;
  TIndexOperation Op(*this);
  bool On;
  if (FCursorState == csAfter || Reposition() == rpEnd) {
    FPath.clear();
    DescendEdge(true);
    On = SettleBack();
  } else {
    On = StepBack();
  }
  while (On && FCursorState == csOnEntry && Leaf().RecNo(FPath.back().Pos) == FCursorRecNo)
    On = StepBack();
  if (On) {
    CountStep();
    Remember();
  } else {
    FCursorState = csBefore;
  }
  Op.Commit();
  return On;
}

bool TIndexFile::CursorGotoRecord(int RecNo, const std::uint8_t* Record) {
  TIndexOperation Op(*this);
  const bool Found = SeekEntry(FKey.Build(Record).data(), std::uint32_t(RecNo));
  FCursorSteps = 0;
  if (Found) Remember();
  Op.Commit();
  return Found;
}

bool TIndexFile::CursorSeek(const TNdxKeyBytes& Key) {
  TIndexOperation Op(*this);
  Descend(Key.data(), false);
  FCursorSteps = 0;
  bool Equal = false;
  if (SettleForward()) {
    Remember();
    Equal = FKey.Compare(FCursorKey.data(), Key.data()) == 0;
  } else {
    FCursorState = csAfter;
  }
  Op.Commit();
  return Equal;
}

int TIndexFile::EstimatedCount() {
  TIndexOperation Op(*this);
  std::int64_t Count = 1;
  std::uint32_t PageNo = FHdr.RootPage;
  for (std::size_t Depth = 0;; ++Depth) {
    const TNdxPage& P = Page(PageNo);
    if (!P.IsInner() || Depth > MaxDepth) {
      Count *= P.Count();
      break;
    }
    Count = std::min<std::int64_t>(Count * (P.Count() + 1), 0x7FFFFFFF);
    PageNo = P.LowerPage(0);
  }
  Op.Commit();
  return int(std::min<std::int64_t>(Count, 0x7FFFFFFF));
}
