// The two kinds of 512-byte page of an NDX file: the header (page 0) and the tree nodes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/core/ByteOrder.h"

constexpr int NdxPageSize = 512;
constexpr int NdxMaxKeyLength = 100;
// Page numbers stay below this (a 4 GiB file), so page offsets never overflow.
constexpr std::uint32_t NdxMaxPages = 0x800000;

using TNdxBytes = std::array<std::uint8_t, NdxPageSize>;

// Option flags at header offset 8.
enum : std::uint8_t {
  ndxDescending = 0x08,
  ndxCharKey = 0x10,
  ndxDistinct = 0x20,
  ndxUnique = 0x40,
};

// Header byte 22 (zero as other engines write it, read by none) holds NdxChangeMark while a
// change is under way in the file. Found set when no live process holds the index, it marks
// an index that a crash left half changed.
constexpr int NdxChangeMarkOffset = 22;
constexpr std::uint8_t NdxChangeMark = 0xC5;

enum class TUniqueMode { umNone, umUnique, umDistinct };

// Header fields the engine reads, decoded from and encoded into the raw page 0. Bytes the
// engine does not read are kept as found so that rewriting the header preserves them.
struct TNdxHeader {
  TNdxBytes Raw{};
  std::uint32_t RootPage = 0;
  std::uint32_t NextFreePage = 0;
  std::uint8_t Flags = 0;
  char KeyType = 'N';
  int KeyLength = 0;
  int KeysPerPage = 0;
  int EntrySize = 0;
  std::string Expression;

  // Reads the fields from Raw and checks that the layout fits a page; throws EDbaseError
  // naming FileName when it does not.
  void Decode(const std::string& FileName);
  // Writes the fields back into Raw.
  void Encode();
  // A fresh header: flags, key type and length, the derived sizes and the constant fields.
  static TNdxHeader Make(const std::string& Expr, char KeyType, int KeyLength, std::uint8_t Flags,
                         std::uint8_t PrimaryByte);

  TUniqueMode UniqueMode() const;
  bool Descending() const { return (Flags & ndxDescending) != 0; }
};

// The key expression and option flags a raw header names, read without trusting the rest, so
// that a damaged index can be rebuilt as it was; false when no terminated expression is there.
bool ReadNdxDefinition(const TNdxBytes& Raw, std::string& Expression, std::uint8_t& Flags);

// A tree node. Entries are (lower page, record number, key); an inner page with k keys holds
// one more entry after them that carries only the rightmost child's page number.
class TNdxPage {
 public:
  TNdxPage(std::uint32_t PageNo, int EntrySize, int KeyLength)
      : FPageNo(PageNo), FEntrySize(EntrySize), FKeyLength(KeyLength) {}

  TNdxBytes& Data() { return FData; }
  const TNdxBytes& Data() const { return FData; }
  std::uint32_t PageNo() const { return FPageNo; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  int Count() const;
  void SetCount(int Value);
  bool IsInner() const { return LowerPage(0) != 0; }
  // Number of child pointers of an inner page (keys + trailing entry).
  int ChildCount() const { return Count() + 1; }

  std::uint32_t LowerPage(int Index) const;
  void SetLowerPage(int Index, std::uint32_t Value);
  std::uint32_t RecNo(int Index) const;
  void SetRecNo(int Index, std::uint32_t Value);
  const std::uint8_t* Key(int Index) const { return Entry(Index) + 8; }
  void SetKey(int Index, const std::uint8_t* Key);
  void SetEntry(int Index, std::uint32_t Lower, std::uint32_t RecNo, const std::uint8_t* Key);

  // Opens a gap at Index by moving the following Used entries (counted from 0) up by one.
  void OpenGap(int Index, int Used);
  // Closes the entry at Index by moving the following entries down; Used as above.
  void CloseGap(int Index, int Used);
  // Moves Count entries from From on to the start of Dest, zeroing them here.
  void MoveEntries(int From, int Count, TNdxPage& Dest);
  // Leaves an empty leaf: count 0 and a zeroed first entry.
  void Clear();

 private:
  std::uint8_t* Entry(int Index) { return FData.data() + 4 + Index * FEntrySize; }
  const std::uint8_t* Entry(int Index) const { return FData.data() + 4 + Index * FEntrySize; }

  TNdxBytes FData{};
  std::uint32_t FPageNo;
  int FEntrySize;
  int FKeyLength;
  bool FModified = false;
};
