#include "table/NdxPage.h"

#include <algorithm>
#include <cstring>

#include "table/NdxMessages.h"

namespace {

constexpr int ExpressionOffset = 24;
constexpr int ExpressionSize = 220;

int EntrySizeFor(int KeyLength) {
  return (KeyLength + 8 + 3) / 4 * 4;
}
int KeysPerPageFor(int EntrySize) {
  return (NdxPageSize - 4) / EntrySize;
}

}  // namespace

void TNdxHeader::Decode(const std::string& FileName) {
  const std::uint8_t* P = Raw.data();
  RootPage = GetLE32(P);
  NextFreePage = GetLE32(P + 4);
  Flags = P[8];
  KeyType = P[9] == 'C' ? 'C' : 'N';
  KeyLength = GetLE16(P + 12);
  KeysPerPage = GetLE16(P + 14);
  EntrySize = GetLE16(P + 18);
  // Sizes that would run past the page are recomputed from a capped key length.
  if (4 + std::int64_t(KeysPerPage) * EntrySize > NdxPageSize || EntrySize < KeyLength + 8) {
    KeyLength = std::min(KeyLength, NdxMaxKeyLength);
    EntrySize = EntrySizeFor(KeyLength);
    KeysPerPage = KeysPerPageFor(EntrySize);
  }
  const char* Text = reinterpret_cast<const char*>(P + ExpressionOffset);
  Expression.assign(Text, strnlen(Text, ExpressionSize));

  if (KeyLength < 1 || (KeyType == 'N' && KeyLength != 8))
    throw ENdxDamaged(NdxDamaged(
        FileName, "key length " + std::to_string(KeyLength) + " does not fit the key type"));
  if (KeysPerPage < 2) throw ENdxDamaged(NdxDamaged(FileName, "fewer than 2 keys per page"));
  if (NextFreePage < 2 || NextFreePage > NdxMaxPages || RootPage < 1 || RootPage >= NextFreePage)
    throw ENdxDamaged(NdxDamaged(FileName, "root page " + std::to_string(RootPage) +
                                               " outside the " + std::to_string(NextFreePage) +
                                               " pages in use"));
  if (Expression.size() >= ExpressionSize)
    throw ENdxDamaged(NdxDamaged(FileName, "key expression not terminated"));
}

bool ReadNdxDefinition(const TNdxBytes& Raw, std::string& Expression, std::uint8_t& Flags) {
  const char* Text = reinterpret_cast<const char*>(Raw.data() + ExpressionOffset);
  const std::size_t Length = strnlen(Text, ExpressionSize);
  if (Length == 0 || Length == ExpressionSize) return false;
  Expression.assign(Text, Length);
  Flags = Raw[8];
  return true;
}

void TNdxHeader::Encode() {
  std::uint8_t* P = Raw.data();
  PutLE32(P, RootPage);
  PutLE32(P + 4, NextFreePage);
  P[8] = Flags;
  P[9] = std::uint8_t(KeyType);
  PutLE16(P + 12, std::uint16_t(KeyLength));
  PutLE16(P + 14, std::uint16_t(KeysPerPage));
  PutLE16(P + 18, std::uint16_t(EntrySize));
  std::memset(P + ExpressionOffset, 0, ExpressionSize);
  std::memcpy(P + ExpressionOffset, Expression.data(),
              std::min<std::size_t>(Expression.size(), ExpressionSize - 1));
}

TNdxHeader TNdxHeader::Make(const std::string& Expr, char KeyType, int KeyLength,
                            std::uint8_t Flags, std::uint8_t PrimaryByte) {
  TNdxHeader H;
  H.KeyType = KeyType;
  H.KeyLength = KeyLength;
  H.EntrySize = EntrySizeFor(KeyLength);
  H.KeysPerPage = KeysPerPageFor(H.EntrySize);
  H.Flags = Flags;
  H.Expression = Expr;
  std::uint8_t* P = H.Raw.data();
  PutLE16(P + 10, 0x5800);
  PutLE16(P + 16, KeyType == 'C' ? 0 : 1);
  PutLE16(P + 20, 2);
  P[23] = PrimaryByte;
  P[246] = 1;
  H.Encode();
  return H;
}

TUniqueMode TNdxHeader::UniqueMode() const {
  if (Flags & ndxDistinct) return TUniqueMode::umDistinct;
  if (Flags & ndxUnique) return TUniqueMode::umUnique;
  return TUniqueMode::umNone;
}

int TNdxPage::Count() const {
  return int(GetLE32(FData.data()));
}
void TNdxPage::SetCount(int Value) {
  PutLE32(FData.data(), std::uint32_t(Value));
}

std::uint32_t TNdxPage::LowerPage(int Index) const {
  return GetLE32(Entry(Index));
}
void TNdxPage::SetLowerPage(int Index, std::uint32_t Value) {
  PutLE32(Entry(Index), Value);
}
std::uint32_t TNdxPage::RecNo(int Index) const {
  return GetLE32(Entry(Index) + 4);
}
void TNdxPage::SetRecNo(int Index, std::uint32_t Value) {
  PutLE32(Entry(Index) + 4, Value);
}

void TNdxPage::SetKey(int Index, const std::uint8_t* Key) {
  std::uint8_t* P = Entry(Index) + 8;
  std::memcpy(P, Key, FKeyLength);
  std::memset(P + FKeyLength, 0, FEntrySize - 8 - FKeyLength);
}

void TNdxPage::SetEntry(int Index, std::uint32_t Lower, std::uint32_t Rec,
                        const std::uint8_t* Key) {
  SetLowerPage(Index, Lower);
  SetRecNo(Index, Rec);
  if (Key)
    SetKey(Index, Key);
  else
    std::memset(Entry(Index) + 8, 0, FEntrySize - 8);
}

void TNdxPage::OpenGap(int Index, int Used) {
  std::memmove(Entry(Index + 1), Entry(Index), std::size_t(Used - Index) * FEntrySize);
}

void TNdxPage::CloseGap(int Index, int Used) {
  std::memmove(Entry(Index), Entry(Index + 1), std::size_t(Used - Index - 1) * FEntrySize);
  std::memset(Entry(Used - 1), 0, FEntrySize);
}

void TNdxPage::MoveEntries(int From, int Count, TNdxPage& Dest) {
  std::memcpy(Dest.Entry(0), Entry(From), std::size_t(Count) * FEntrySize);
  std::memset(Entry(From), 0, std::size_t(Count) * FEntrySize);
}

void TNdxPage::Clear() {
  SetCount(0);
  std::memset(Entry(0), 0, FEntrySize);
}
