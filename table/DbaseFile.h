// A dBase table file: header, field descriptors, records, the lock field, and the indexes
// kept up to date when records are appended, posted or deleted.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/CodePage.h"
#include "table/DbaseFields.h"
#include "table/PagedFile.h"

enum TTableVersion { tvUnknown, tvDbase3, tvDbase4, tvDbase7, tvFoxPro, tvVisualFoxPro };

// Why the table's text is read in its code page: the table's code-page mark names it; there is
// no mark (or one nobody knows) and the text is not UTF-8, so the OEM code page applies; there
// is none and the text is UTF-8; or the user chose it.
enum TCodePageSource { csMark, csDefault, csUtf8Text, csChosen };

// The date of a table's last update as its header holds it.
struct TUpdateDate {
  int Year, Month, Day;
};

// What the table file needs from an index attached to it. The table file owns its indexes and
// calls these while it writes records; an index raises EDbaseError (key violation) to refuse.
class TDbaseIndexLink {
 public:
  virtual ~TDbaseIndexLink() = default;
  virtual const std::string& IndexFileName() const = 0;
  virtual void InsertKey(int RecNo, const std::uint8_t* Record) = 0;
  virtual void DeleteKey(int RecNo, const std::uint8_t* Record) = 0;
  // The record changed from OldRecord to NewRecord (keys may or may not differ).
  virtual void UpdateKey(int RecNo, const std::uint8_t* OldRecord,
                         const std::uint8_t* NewRecord) = 0;
  // A record is being flagged deleted: distinct indexes drop its key, others keep it.
  virtual void RecordDeleted(int RecNo, const std::uint8_t* Record) = 0;
  // One change of the table spanning the key calls above: BeginChange holds the index for this
  // process, WriteChange puts the changed pages in the file, EndChange(true) keeps them and
  // EndChange(false) puts the index back as it was at BeginChange, in the file too.
  virtual void BeginChange() = 0;
  virtual void WriteChange() = 0;
  virtual void EndChange(bool Keep) = 0;
};

class TDbaseFile : public TPagedFile {
 public:
  TDbaseFile();
  ~TDbaseFile() override;

  // Reads and checks the header and the field definitions. Raises EDbaseError with the
  // engine's texts for a bad file; EAbort (silent) for a zero header or record length or a
  // refused missing production index. A failed open leaves the file closed.
  void Open() override;
  // Closes the indexes, then the file (flushing the header).
  void Close() override;
  // Creates the table in a create mode from Fields at TableLevel (3, 4 or 7) and leaves it
  // open as after Open.
  void CreateTable(const std::vector<TDbaseFieldDef>& Fields);

  TTableVersion Version() const { return FVersion; }
  // 3, 4 or 7 (FoxPro kinds read as 25 and 30); the level new tables are created at.
  int TableLevel() const { return FFieldDefs.TableLevel(); }
  void SetTableLevel(int Value) { FFieldDefs.SetTableLevel(Value); }
  bool UseFloatFields() const { return FFieldDefs.UseFloatFields(); }
  void SetUseFloatFields(bool Value) { FFieldDefs.SetUseFloatFields(Value); }
  TDateTimeHandling DateTimeHandling() const { return FDateTimeHandling; }
  void SetDateTimeHandling(TDateTimeHandling Value) { FDateTimeHandling = Value; }
  // Asked when the header names a production index that does not exist: true (also without
  // a handler) drops the link, false abandons the open.
  std::function<bool()> OnIndexMissing;

  const TDbaseFieldDefs& FieldDefs() const { return FFieldDefs; }
  const TDbaseFieldDef* FindField(std::string_view Name) const { return FFieldDefs.Find(Name); }
  int FieldIndex(std::string_view Name) const { return FFieldDefs.IndexOf(Name); }
  // Index of the lock field, -1 when the table has none.
  int LockFieldIndex() const { return FLockField; }
  // Code page of the text: the chosen one, else the one the language driver id or name
  // names; without either, UTF-8 when the character fields hold valid UTF-8 with some non-ASCII
  // text, else OEM. Decided at open.
  int CodePage() const { return FCodePage; }
  TCodePageSource CodePageSource() const { return FCodePageSource; }
  // Set while closed: read and write the text in this code page whatever the table says
  // (0: as the table says).
  void SetChosenCodePage(int Value) { FChosenCodePage = Value; }
  std::uint8_t LanguageId() const;
  // What the character fields of the records hold: ASCII only (also when there is no text),
  // UTF-8 with some character beyond ASCII, or bytes that are not UTF-8 (read at once).
  TUtf8Kind TextKind();
  // The header's date. Writers keep year - 1900, and some the year's last two digits: a year
  // byte below 80 is a year from 2000.
  TUpdateDate LastUpdate() const;

  // Record n (from 1). ReadRecord returns false (buffer blank-filled) when the record is not
  // wholly in the file.
  bool ReadRecord(int RecNo, std::uint8_t* Buffer);
  void WriteRecord(int RecNo, const std::uint8_t* Buffer);
  // Update date, record count from the file size, end-of-file byte after the last record.
  void WriteHeader() override;
  void InitRecord(std::uint8_t* Buffer) const;

  TVariant GetFieldData(int Column, TFieldType DataType, const std::uint8_t* Record) const;
  TStoredValue ReadStoredData(int Column, TFieldType DataType, const std::uint8_t* Record) const;
  // Text too long for its field is cut; in a UTF-8 table only between characters.
  void SetFieldData(int Column, TFieldType DataType, const TVariant& Value,
                    std::uint8_t* Record) const;

  // Appends Buffer as a new record: locks a free record number, then the header; fills
  // auto-increment fields, inserts the keys (rolled back if an index refuses), adds one to the
  // header's count and writes header and record. Returns the record number.
  int Insert(std::uint8_t* Buffer);
  // Locks record n without waiting (EDbaseError "Record locked." when refused), reads it into
  // Buffer, remembers it as the old record and stamps the lock field.
  void LockRecord(int RecNo, std::uint8_t* Buffer);
  // Writes the locked record: updates the index keys from the old record, writes, unlocks.
  void PostRecord(int RecNo, const std::uint8_t* Buffer);
  // Flags the locked record deleted ('*'), lets the indexes drop distinct keys, and posts.
  void DeleteRecord(int RecNo, std::uint8_t* Buffer);
  // Releases the record lock (cancel).
  void UnlockRecord(int RecNo);
  int LockedRecord() const { return FLockedRecord; }

  // Indexes maintained with the table; the file owns them and closes them first.
  void AddIndex(std::unique_ptr<TDbaseIndexLink> Index);
  // Closes and frees the index; false when it is not attached.
  bool RemoveIndex(const TDbaseIndexLink* Index);
  int IndexCount() const { return static_cast<int>(FIndexes.size()); }
  TDbaseIndexLink* Index(int I) const { return FIndexes[I].get(); }

 private:
  void ReadFieldDefs();
  void ClassifyVersion();
  void CheckProductionIndex();
  void StampLockField(std::uint8_t* Buffer);
  void FillAutoIncrement(std::uint8_t* Buffer);
  void WriteHeaderLocked(int Count, bool WithEndOfFile);
  void RereadSharedHeader();
  int CountToWrite(std::uint32_t HeaderCount, int InFile) const;
  void LockHeaderInTurn(int RecNo, std::optional<TPageLock>& HeaderLock);
  int FillAbandonedSlots(int RecNo);
  // Whether slot RecNo holds a record (read into Bytes).
  bool SlotWritten(int RecNo, std::vector<std::uint8_t>& Bytes);
  void ApplyHeaderFixups();
  void ChooseCodePage();
  void AfterReopen() override;
  void BuildHeader(const std::vector<TDbaseFieldDef>& Fields);
  // Writes the locked record after ChangeKeys ran on every index; a failure puts back the
  // keys and the record.
  void WriteLockedRecord(int RecNo, const std::uint8_t* Buffer,
                         const std::function<void(TDbaseIndexLink&)>& ChangeKeys);

  // What an append may change, kept to put back when one of its writes fails.
  struct TAppendSnapshot {
    std::int64_t Size = 0;
    std::int64_t TailOffset = 0;
    std::vector<std::uint8_t> Tail;  // the bytes from the new record's place to the end
    std::vector<std::uint8_t> Header;
    bool HeaderModified = false;
    std::vector<std::uint32_t> AutoIncNext;
    bool Written = false;  // a write to the file was attempted
  };
  TAppendSnapshot TakeAppendSnapshot(int RecNo);
  void RestoreAppend(const TAppendSnapshot& S);
  void RestoreRecord(int RecNo, const std::vector<std::uint8_t>& Bytes);

  TDbaseFieldDefs FFieldDefs;
  TTableVersion FVersion = tvUnknown;
  TDateTimeHandling FDateTimeHandling = dtBDETimeStamp;
  int FCodePage = 0;
  int FChosenCodePage = 0;
  TCodePageSource FCodePageSource = csMark;
  int FLockField = -1;
  int FLockedRecord = -1;
  std::vector<std::uint8_t> FOldRecord;
  std::vector<int> FDescriptorOffsets;  // of each field's descriptor in the header
  bool FProductionIndexDropped = false;
  bool FHeaderLocked = false;  // held by Insert while it appends
  bool FHasAutoInc = false;
  std::vector<std::uint8_t> FAppendBuffer;
  std::vector<std::unique_ptr<TDbaseIndexLink>> FIndexes;
};

// Gives a dBase III table without a code-page mark whose text is ASCII only the mark of CodePage
// (CodePageMark), so that text beyond ASCII can be stored in it and other programs read it in
// that code page. A table with a mark, with text beyond ASCII (written in some code page
// already) or with memo fields is left as it is, and so is one that others have open: a later
// call marks it. True when the table carries a mark of CodePage afterwards.
bool MarkPlainTable(const std::string& FileName, int CodePage);
