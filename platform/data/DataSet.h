// The generic dataset: state (inactive, browse, edit, insert), the current record buffer,
// navigation with beginning and end of data, edit/append/post/cancel/delete, field objects,
// Locate, scroll events and the data sources that data-aware controls listen to. A concrete
// dataset supplies the cursor, the record buffers' content and the field codec through the
// protected virtual functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Component.h"
#include "platform/data/Field.h"

class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TDataEvent {
  deFieldChange,      // a field of the current record was set (Info: the field)
  deRecordChange,     // the current record's content changed (edit began, values re-read)
  deDataSetChange,    // anything may have changed: reload everything
  deDataSetScroll,    // another record became current
  deUpdateRecord,     // controls must hand their pending values to the fields
  deUpdateState,      // State changed
  deCheckBrowseMode,  // the dataset is about to leave edit state
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

using TBookmark = std::int64_t;
using TRecordBuffer = std::vector<std::uint8_t>;
using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;

struct TLookupItem {
  TVariant Key;
  std::string Text;
};

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }

  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to Distance records (negative: back); answers how many were passed.
  int MoveBy(int Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return !FHasRecord; }

  void Edit();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Hands pending control values to the fields, then posts a modified record or cancels an
  // unmodified one.
  void CheckBrowseMode();
  void UpdateRecord();
  void Refresh();
  bool Modified() const { return FModified; }
  bool CanModify() const { return Active() && GetCanModify(); }

  TFieldDefs& FieldDefs() { return FFieldDefs; }
  const TFields& Fields() const { return FFields; }
  int FieldCount() const { return FFields.Count(); }
  TField* FindField(const std::string& Name) const { return FFields.FindField(Name); }
  // Raises "Field 'NAME' not found".
  TField* FieldByName(const std::string& Name) const;

  // Makes the first record current whose fields (names separated by ';') equal the values.
  // Answers false without moving when nothing matches or the counts differ.
  bool Locate(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
              TLocateOptions Options);
  bool Locate(const std::string& KeyField, const TVariant& KeyValue, TLocateOptions Options) {
    return Locate(KeyField, std::vector<TVariant>{KeyValue}, Options);
  }
  // (key, text) of every record in order, read without moving the current record.
  std::vector<TLookupItem> LookupList(const std::string& KeyField, const std::string& ListField);

  int RecordCount() const { return Active() ? GetRecordCount() : 0; }
  // Sequence number of the current record, 0 when there is none.
  int RecNo() const;
  // The current record's bookmark, -1 when there is none.
  TBookmark Bookmark() const;
  void GotoBookmark(TBookmark Value);

  // While disabled, data sources hear nothing; enabling again tells them to reload.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforeInsert, AfterInsert, OnNewRecord;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;

 protected:
  // Opens the cursor and fills FieldDefs() anew (they may hold the definitions of a table to
  // create); a failure leaves the dataset closed.
  virtual void InternalOpen() = 0;
  // Writes what closing must leave in the files, before anything is let go: a failure (a full
  // disk) leaves the dataset open as it was, so that closing can be tried again.
  virtual void InternalFlush() {}
  virtual void InternalClose() = 0;
  virtual std::size_t RecordBufferSize() const = 0;
  // Fetches into Buffer: the next or prior accepted record from the cursor, or the one under it.
  virtual TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode Mode) = 0;
  virtual void InternalFirst() = 0;  // cursor before the first record
  virtual void InternalLast() = 0;   // cursor after the last record
  virtual void InternalInitRecord(TRecordBuffer& Buffer) = 0;
  // Starting an edit of the current record; may re-read it into ActiveBuffer().
  virtual void InternalEdit() = 0;
  virtual void InternalInsert() {}
  // Writes ActiveBuffer(); after an append it leaves the new record's bookmark in the buffer.
  virtual void InternalPost() = 0;
  virtual void InternalCancel() = 0;
  virtual void InternalDelete() = 0;
  virtual TBookmark GetBookmarkData(const TRecordBuffer& Buffer) const = 0;
  virtual void InternalGotoBookmark(TBookmark Value) = 0;
  virtual bool GetFieldData(const TField& Field, const TRecordBuffer& Buffer,
                            TVariant& Value) const = 0;
  virtual void SetFieldData(const TField& Field, TRecordBuffer& Buffer, const TVariant& Value) = 0;
  virtual int GetRecordCount() const = 0;
  virtual int GetRecNo(const TRecordBuffer& Buffer) const = 0;
  virtual bool GetCanModify() const { return true; }
  // Lets a dataset answer Locate by its own search (an index): returns false to have the records
  // scanned; otherwise sets Found and, when found, leaves the cursor on the record.
  virtual bool LocateByCursor(const std::vector<TField*>& Fields,
                              const std::vector<TVariant>& Values, TLocateOptions Options,
                              bool& Found) = 0;

  void CheckActive() const;
  void CheckInactive() const;
  TRecordBuffer& ActiveBuffer() { return FActive; }
  const TRecordBuffer& ActiveBuffer() const { return FActive; }
  void DataEvent(TDataEvent Event, TField* Info = nullptr);
  void Loaded() override;

 private:
  friend class TField;
  friend class TDataSource;
  TVariant GetFieldValue(const TField& Field) const;
  void SetFieldValue(const TField& Field, const TVariant& Value);
  void SetState(TDataSetState Value);
  void OpenCursor();
  void CloseCursor();
  // Places the cursor on the current record when something else moved it.
  void UpdateCursorPos();
  // Fetches from the cursor into the scratch buffer; makes it current on success.
  bool Fetch(TGetMode Mode);
  // Re-reads the current record, or its neighbour when it is gone.
  void Resync();
  // Cursor to the first record and fetch, without events.
  void FetchFirst();
  void CheckCanModify() const;
  bool MatchesKeys(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                   TLocateOptions Options) const;
  void Fire(const TDataSetNotifyEvent& Event) {
    if (Event) Event(this);
  }

  TDataSetState FState = dsInactive;
  TFieldDefs FFieldDefs;
  TFields FFields;
  TRecordBuffer FActive, FScratch;
  bool FHasRecord = false, FBof = true, FEof = true;
  bool FCursorStale = false;  // the cursor no longer stands on the current record
  bool FModified = false;
  bool FStreamedActive = false;
  // Current record as it was before an append, restored by Cancel.
  TRecordBuffer FSavedActive;
  bool FSavedHasRecord = false;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  std::vector<TDataSource*> FDataSources;
};
