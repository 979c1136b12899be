// TDbaseTable: the dataset component over one dBase table file. It supplies the generic
// dataset layer with records fetched through a cursor (deleted ones skipped unless
// ShowDeleted), edits under a record lock, appends under the header lock, and text translated
// between the table's code page and UTF-8.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/data/DataSet.h"
#include "table/Cursor.h"
#include "table/DbaseFile.h"
#include "table/IndexDefs.h"

enum TDbaseOpenMode { omNormal, omAutoCreate, omTemporary };
enum TDbaseStorage { stoMemory, stoAuto, stoFile };
enum TDbaseLanguageAction { laForceOEM, laForceANSI, laEditOnly };

// How text is translated: 0 none and the table may not be modified, 1 ANSI code page, 2 OEM
// code page, 3 the table's own code page.
enum TTranslationMode { tmNoneNotModifiable, tmNone, tmOEM, tmCodePage };

class TCodePageConverter;

class TDbaseTable : public TDataSet {
 public:
  explicit TDbaseTable(TComponent* AOwner);
  ~TDbaseTable() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Folder of the table and its indexes; only while closed. Kept with a trailing '/'.
  const std::string& FilePath() const { return FFilePath; }
  void SetFilePath(const std::string& Value);
  // The resolved folder: absolute paths as given, others below the program file's folder.
  const std::string& AbsolutePath() const { return FAbsolutePath; }
  // The file name; a folder part goes to FilePath.
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& Value);
  std::string FullTableName() const { return FAbsolutePath + FTableName; }

  bool Exclusive() const { return FExclusive; }
  void SetExclusive(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool ShowDeleted() const { return FShowDeleted; }
  void SetShowDeleted(bool Value);
  TDbaseOpenMode OpenMode() const { return FOpenMode; }
  void SetOpenMode(TDbaseOpenMode Value) { FOpenMode = Value; }
  TDbaseStorage Storage() const { return FStorage; }
  void SetStorage(TDbaseStorage Value);
  bool UseFloatFields() const { return FUseFloatFields; }
  void SetUseFloatFields(bool Value);
  TDateTimeHandling DateTimeHandling() const { return FDateTimeHandling; }
  void SetDateTimeHandling(TDateTimeHandling Value);
  // "6.20".
  std::string Version() const;

  // 3, 4 or 7: of the open table, or the level a table is created at.
  int TableLevel() const { return FTableLevel; }
  void SetTableLevel(int Value);
  TTranslationMode TranslationMode() const { return FTranslationMode; }
  int CodePage() const;
  // Only while closed: the code page to read and write the text in, whatever the table's mark
  // says or its text looks like (0, the default: as the table says).
  int ChosenCodePage() const { return FChosenCodePage; }
  void SetChosenCodePage(int Value);
  // The open table file (nullptr while closed).
  TDbaseFile* TableFile() const { return FFile.get(); }
  // Physical record number of the current record (0 when none).
  int PhysicalRecNo() const;
  bool IsDeleted() const;
  // The current record's bytes, deletion flag first; nullptr when there is none.
  const std::uint8_t* ActiveRecord() const;
  // Table text as the fields read it (UTF-8 unless OnTranslate says otherwise), appended to Out.
  void AppendText(std::string_view Raw, std::string& Out) const;

  // Asked at open when the table's code page cannot be translated; no handler: edit only.
  TEvent<void(TDbaseTable* Sender, TDbaseLanguageAction& Action)> OnLanguageWarning;
  // Replaces the built-in translation: Text holds table bytes (ToTable false) or UTF-8 (true)
  // and is translated in place.
  TEvent<void(TDbaseTable* Sender, std::string& Text, bool ToTable)> OnTranslate;
  // Asked when the production index named in the header is missing: true drops the link.
  TEvent<bool(TDbaseTable* Sender)> OnIndexMissing;

  // Told once per open when an index found damaged (a crash cut off a change to it) or out of
  // step with the table (another program changed records) was rebuilt from the table, or, when
  // it cannot be rebuilt now, left out of this open; Notice names the file, the fault and which.
  TEvent<void(TDbaseTable* Sender, const std::string& Notice)> OnIndexNotice;

  // Index files opened with the table; one missing is built from the records (a build that
  // fails is dropped and its file deleted). Stored as lines "FILE;EXPRESSION;OPTIONS".
  TDbaseIndexDefs& Indexes() { return FIndexDefs; }
  const TDbaseIndexDefs& Indexes() const { return FIndexDefs; }
  std::vector<std::string> IndexesText() const { return FIndexDefs.AsStrings(); }
  void SetIndexesText(const std::vector<std::string>& Value) { FIndexDefs.SetStrings(Value); }
  // The open index that orders the records; empty (or not open): physical order.
  const std::string& IndexName() const { return FIndexName; }
  void SetIndexName(const std::string& Value);
  // Only while open. Attach opens the index file (resolved against the folder) and maintains
  // it from then on; an index of that name already open is left alone. Detach closes it; a name
  // that is not open is ignored.
  void AttachIndexFile(const std::string& FileName);
  void DetachIndexFile(const std::string& FileName);
  // The open index of that name, nullptr when none.
  TIndexFile* FindIndex(const std::string& FileName) const;

 protected:
  void InternalOpen() override;
  void InternalFlush() override;
  void InternalClose() override;
  std::size_t RecordBufferSize() const override;
  TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode Mode) override;
  void InternalFirst() override { FCursor->First(); }
  void InternalLast() override { FCursor->Last(); }
  void InternalInitRecord(TRecordBuffer& Buffer) override;
  void InternalEdit() override;
  void InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  TBookmark GetBookmarkData(const TRecordBuffer& Buffer) const override;
  void InternalGotoBookmark(TBookmark Value) override;
  bool GetFieldData(const TField& Field, const TRecordBuffer& Buffer,
                    TVariant& Value) const override;
  void SetFieldData(const TField& Field, TRecordBuffer& Buffer, const TVariant& Value) override;
  int GetRecordCount() const override;
  int GetRecNo(const TRecordBuffer& Buffer) const override;
  bool GetCanModify() const override;
  bool LocateByCursor(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                      TLocateOptions Options, bool& Found) override;

  // The cursor that orders the records. Replacing it keeps the current physical record.
  TVirtualCursor* Cursor() const { return FCursor.get(); }
  void SetCursor(std::unique_ptr<TVirtualCursor> Value);

 private:
  void CreateTableFile();
  void BuildFieldDefs();
  void ChooseTranslation();
  std::string TableToText(std::string Raw) const;
  std::string TextToTable(std::string Text) const;
  TPagedFileMode FileMode() const;
  // Index parts (DbaseTableIndexes.cpp).
  std::string ResolveIndexFile(const std::string& Name) const;
  void OpenIndex(const std::string& FullName, const std::string& Expression, TIndexOptions Options);
  bool BuildIndex(std::unique_ptr<TIndexFile> Index, const std::string& Expression,
                  TIndexOptions Options, std::string& Failure);
  std::string OutOfStep(TIndexFile& Index) const;
  void ReplaceIndex(std::unique_ptr<TIndexFile> Index, const std::string& Fault,
                    std::string Expression, TIndexOptions Options);
  void OpenIndexes();
  std::unique_ptr<TVirtualCursor> OrderedCursor();

  std::string FFilePath;
  std::string FAbsolutePath;
  std::string FTableName;
  bool FExclusive = false;
  bool FReadOnly = false;
  bool FShowDeleted = false;
  TDbaseOpenMode FOpenMode = omNormal;
  TDbaseStorage FStorage = stoFile;
  bool FUseFloatFields = true;
  TDateTimeHandling FDateTimeHandling = dtBDETimeStamp;
  int FTableLevel = 4;
  TTranslationMode FTranslationMode = tmNone;
  int FChosenCodePage = 0;

  std::unique_ptr<TDbaseFile> FFile;
  std::unique_ptr<TVirtualCursor> FCursor;
  std::unique_ptr<TCodePageConverter> FConverter;
  int FLockedRecNo = -1;
  TDbaseIndexDefs FIndexDefs;
  std::string FIndexName;
  // Indexes this open goes without until one that has the table alone rebuilds them.
  std::set<std::string> FLeftOutIndexes;
};

// Registers the table engine's component classes for stored definitions.
void RegisterTableClasses();
