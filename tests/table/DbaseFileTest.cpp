// The table file: header rules, field codec through real files, malformed files.
#include <gtest/gtest.h>

#include <ctime>

#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"
#include "tests/table/DbaseTestFiles.h"

namespace {

const std::vector<TRawField> PestFields = {
    {"IDX", 'N', 4}, {"NAME_PEST", 'C', 12}, {"F_START", 'N', 8, 2}, {"WAV_FRM", 'N', 1}};

std::string PestRecord(const char* Idx, const char* Name, const char* FStart, const char* Wav) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, " %4s%-12s%8s%1s", Idx, Name, FStart, Wav);
  return Buffer;
}

std::unique_ptr<TDbaseFile> OpenTable(const std::string& Name,
                                      TPagedFileMode Mode = pfReadWriteOpen) {
  auto File = std::make_unique<TDbaseFile>();
  File->SetFileName(Name);
  File->SetMode(Mode);
  File->Open();
  return File;
}

TVariant Field(TDbaseFile& File, const std::vector<std::uint8_t>& Record, const char* Name) {
  const int I = File.FieldIndex(Name);
  return File.GetFieldData(I, File.FieldDefs()[I].FieldType, Record.data());
}

std::string FieldBytes(TDbaseFile& File, const std::vector<std::uint8_t>& Record,
                       const char* Name) {
  const TDbaseFieldDef& Def = *File.FindField(Name);
  return std::string(reinterpret_cast<const char*>(Record.data()) + Def.Offset, Def.StoredLength);
}

void ExpectTodayStamped(const std::vector<std::uint8_t>& Bytes) {
  const std::time_t Now = std::time(nullptr);
  std::tm Today{};
  localtime_r(&Now, &Today);
  EXPECT_EQ(Bytes[1], Today.tm_year & 0xFF);
  EXPECT_EQ(Bytes[2], Today.tm_mon + 1);
  EXPECT_EQ(Bytes[3], Today.tm_mday);
}

std::string OpenError(const std::string& Name, TPagedFileMode Mode = pfReadWriteOpen) {
  try {
    OpenTable(Name, Mode);
  } catch (const EAbort&) {
    return "(abort)";
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(opened)";
}

}  // namespace

TEST(DbaseFileTest, WrongHeaderCountIsCorrectedAndWrittenAtOnce) {
  TScratchDir Dir;
  const std::string Name = Dir.File("para.dbf");
  WriteFile(Name, MakeDbf(PestFields,
                          {PestRecord("1", "Mosquito", "10.50", "0"),
                           PestRecord("2", "Rat", "3.00", "1")},
                          0x03, 7));
  auto File = OpenTable(Name);
  EXPECT_EQ(File->RecordCount(), 2);
  const auto Bytes = ReadFile(Name);
  EXPECT_EQ(Bytes[4], 2);
  ExpectTodayStamped(Bytes);
  const std::size_t EndOfRecords = File->HeaderSize() + 2 * File->RecordSize();
  ASSERT_EQ(Bytes.size(), EndOfRecords + 1);
  EXPECT_EQ(Bytes[EndOfRecords], 0x1A);
}

TEST(DbaseFileTest, TrailingEofAndPartialRecordAreNotRecords) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  auto Bytes = MakeDbf(PestFields, {PestRecord("1", "Mosquito", "10.50", "0")});
  Bytes.push_back(0x1A);
  WriteFile(Name, Bytes);
  EXPECT_EQ(OpenTable(Name, pfReadOnly)->RecordCount(), 1);
  Bytes.insert(Bytes.end(), {' ', '4', '2'});  // a cut-off second record after the EOF byte
  WriteFile(Name, Bytes);
  auto File = OpenTable(Name, pfReadOnly);
  EXPECT_EQ(File->RecordCount(), 1);
  std::vector<std::uint8_t> Record(File->RecordSize());
  EXPECT_TRUE(File->ReadRecord(1, Record.data()));
  EXPECT_FALSE(File->ReadRecord(2, Record.data()));
}

TEST(DbaseFileTest, ReadOnlyOpenLeavesAWrongCountOnDisk) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  const auto Original = MakeDbf(PestFields, {PestRecord("1", "Rat", "1", "0")}, 0x03, 9);
  WriteFile(Name, Original);
  EXPECT_EQ(OpenTable(Name, pfReadOnly)->RecordCount(), 1);
  EXPECT_EQ(ReadFile(Name), Original);
}

TEST(DbaseFileTest, TextStoredFieldsDecodeAsTheRulesSay) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(
      Name,
      MakeDbf(
          {{"N4", 'N', 4},
           {"C5", 'C', 5},
           {"F6", 'F', 6, 2},
           {"L", 'L', 1},
           {"D", 'D', 8},
           {"BIG", 'N', 12}},
          {std::string(" ") + "  42" + "  ab " + "  1.50" + "T" + "20240229" + "-00000000007",
           std::string(" ") + "  4x" + "     " + "   abc" + "t" + "19990231" + "     1.5e3  ",
           std::string(" ") + "  -7" + "  -  " + "      " + "?" + "2024013X" + "  12 345    ",
           std::string(" ") + "****" + "*****" + "  ****" + "F" + "        " + "    **1*****"}));
  auto File = OpenTable(Name, pfReadOnly);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->ReadRecord(1, R.data());
  EXPECT_EQ(Field(*File, R, "N4").AsInteger(), 42);
  EXPECT_EQ(File->FieldDefs()[0].FieldType, ftSmallint);
  EXPECT_EQ(Field(*File, R, "C5").AsString(), "  ab");  // leading blanks of text are kept
  EXPECT_DOUBLE_EQ(Field(*File, R, "F6").AsFloat(), 1.5);
  EXPECT_TRUE(Field(*File, R, "L").AsBoolean());
  EXPECT_EQ(DateTimeToText(Field(*File, R, "D").AsDateTime()), "2024-02-29");
  EXPECT_EQ(File->FieldDefs()[5].FieldType, ftFloat);  // wide whole numbers read as floats
  EXPECT_DOUBLE_EQ(Field(*File, R, "BIG").AsFloat(), -7);

  File->ReadRecord(2, R.data());
  EXPECT_EQ(Field(*File, R, "N4").AsInteger(), 0);       // malformed number
  EXPECT_TRUE(Field(*File, R, "C5").IsNull());           // blanks
  EXPECT_DOUBLE_EQ(Field(*File, R, "F6").AsFloat(), 0);  // "abc"
  EXPECT_TRUE(Field(*File, R, "L").AsBoolean());
  EXPECT_TRUE(Field(*File, R, "D").IsNull());  // 31 February
  EXPECT_DOUBLE_EQ(Field(*File, R, "BIG").AsFloat(), 1500);

  File->ReadRecord(3, R.data());
  EXPECT_EQ(Field(*File, R, "N4").AsInteger(), -7);
  EXPECT_EQ(Field(*File, R, "C5").AsString(), "  -");
  EXPECT_TRUE(Field(*File, R, "F6").IsNull());
  EXPECT_FALSE(Field(*File, R, "L").AsBoolean());
  // A part that is not a number counts as 1: day "3X" -> 1.
  EXPECT_EQ(DateTimeToText(Field(*File, R, "D").AsDateTime()), "2024-01-01");
  EXPECT_DOUBLE_EQ(Field(*File, R, "BIG").AsFloat(), 0);  // "12 345"

  // Asterisks only: the overflow mark of a value that did not fit, or a missing value.
  File->ReadRecord(4, R.data());
  EXPECT_TRUE(Field(*File, R, "N4").IsNull());
  EXPECT_TRUE(Field(*File, R, "F6").IsNull());
  EXPECT_EQ(Field(*File, R, "C5").AsString(), "*****");   // text, not a mark
  EXPECT_DOUBLE_EQ(Field(*File, R, "BIG").AsFloat(), 0);  // a digit among them: malformed
}

TEST(DbaseFileTest, NumbersAreWrittenZeroOrBlankPadded) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"N3", 'N', 3}, {"N62", 'N', 6, 2}, {"N5", 'N', 5}}, {}));
  auto File = OpenTable(Name);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->InitRecord(R.data());
  File->SetFieldData(0, ftSmallint, TVariant(7), R.data());
  File->SetFieldData(1, ftFloat, TVariant(1.5), R.data());
  File->SetFieldData(2, ftFloat, TVariant(42), R.data());
  EXPECT_EQ(FieldBytes(*File, R, "N3"), "007");
  EXPECT_EQ(FieldBytes(*File, R, "N62"), "  1.50");
  EXPECT_EQ(FieldBytes(*File, R, "N5"), "   42");
  File->SetFieldData(0, ftSmallint, TVariant(-4), R.data());
  EXPECT_EQ(FieldBytes(*File, R, "N3"), "-04");
  File->SetFieldData(1, ftFloat, TVariant(-0.001), R.data());
  EXPECT_EQ(FieldBytes(*File, R, "N62"), "  0.00");
  File->SetFieldData(1, ftFloat, TVariant(), R.data());
  EXPECT_EQ(FieldBytes(*File, R, "N62"), "      ");
  // Values that do not fit are refused and leave the field as it was.
  EXPECT_THROW(File->SetFieldData(0, ftSmallint, TVariant(1234), R.data()), EDbaseError);
  EXPECT_THROW(File->SetFieldData(0, ftSmallint, TVariant(-100), R.data()), EDbaseError);
  EXPECT_THROW(File->SetFieldData(1, ftFloat, TVariant(1000.0), R.data()), EDbaseError);
  EXPECT_EQ(FieldBytes(*File, R, "N3"), "-04");

  File->SetUseFloatFields(false);
  File->Close();
  File->Open();
  EXPECT_EQ(File->FieldDefs()[2].FieldType, ftInteger);
  File->SetFieldData(2, ftInteger, TVariant(-42), R.data());
  EXPECT_EQ(FieldBytes(*File, R, "N5"), "-0042");
}

TEST(DbaseFileTest, FieldNamesAreFoundWhateverTheCase) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"wav_frm", 'N', 1}, {"IDX", 'N', 4}}, {}));
  auto File = OpenTable(Name, pfReadOnly);
  EXPECT_EQ(File->FieldDefs()[0].FieldName, "WAV_FRM");
  EXPECT_EQ(File->FieldIndex("wav_frm"), 0);
  EXPECT_EQ(File->FieldIndex("Wav_Frm"), 0);
  EXPECT_EQ(File->FieldIndex("idx"), 1);
  EXPECT_EQ(File->FindField("NOPE"), nullptr);
}

TEST(DbaseFileTest, VersionBytes) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf(PestFields, {}, 0x83));
  auto File = OpenTable(Name, pfReadOnly);
  EXPECT_EQ(File->Version(), tvDbase3);
  EXPECT_EQ(File->TableLevel(), 3);
  EXPECT_EQ(File->Header()[0], 0x03);  // no memo field: the bit is cleared in memory
  File->Close();

  WriteFile(Name, MakeDbf(PestFields, {}, 0x03, ~0u, 87));
  EXPECT_EQ(OpenTable(Name, pfReadOnly)->Version(), tvDbase4);
  WriteFile(Name, MakeDbf(PestFields, {}, 0xF5));
  EXPECT_EQ(OpenTable(Name, pfReadOnly)->Version(), tvFoxPro);
  for (std::uint8_t Bad : {0x05, 0x00, 0x02, 0xFF}) {
    WriteFile(Name, MakeDbf(PestFields, {}, Bad));
    EXPECT_EQ(OpenError(Name), "Invalid DBF file.") << int(Bad);
  }
}

TEST(DbaseFileTest, MalformedFilesAreRefusedWithTheirMessages) {
  TScratchDir Dir;
  const std::string Name = Dir.File("bad.dbf");
  EXPECT_EQ(OpenError(Name), "Open: file not found: \"" + Name + "\".");

  WriteFile(Name, MakeDbf({{"A", 'X', 3}}, {}));
  EXPECT_EQ(OpenError(Name), "Invalid DBF file.");  // unknown type letter
  WriteFile(Name, MakeDbf({{"", 'C', 3}}, {}));
  EXPECT_EQ(OpenError(Name), "Invalid DBF file.");  // empty name
  WriteFile(Name, MakeDbf({}, {}));
  EXPECT_EQ(OpenError(Name), "Invalid field count: 0 (must be between 1 and 4095).");
  WriteFile(Name, MakeDbf({{"I", 'I', 2}}, {}));
  EXPECT_EQ(OpenError(Name), "Invalid DBF file.");  // binary field narrower than its value

  auto Bytes = MakeDbf({{"A", 'C', 3}}, {});
  Bytes[10] = 2;  // record shorter than its fields
  WriteFile(Name, Bytes);
  EXPECT_EQ(OpenError(Name), "Invalid DBF file.");
  Bytes.resize(40);  // header cut short
  Bytes[10] = 4;
  WriteFile(Name, Bytes);
  EXPECT_EQ(OpenError(Name), "Invalid DBF file.");
  WriteFile(Name, {0x03, 1, 2});
  EXPECT_EQ(OpenError(Name), "(abort)");  // zero header length: silent

  Bytes = MakeDbf({{"A", 'C', 3}}, {});
  Bytes[10] = 0;
  WriteFile(Name, Bytes);
  EXPECT_EQ(OpenError(Name), "(abort)");
  EXPECT_EQ(ReadFile(Name), Bytes);  // a failed open changes nothing
}

TEST(DbaseFileTest, WriteHeaderStampsDateCountAndEndOfFile) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf(PestFields, {PestRecord("1", "Rat", "1", "0")}));
  auto File = OpenTable(Name, pfExclusiveOpen);
  const auto Before = ReadFile(Name);
  EXPECT_EQ(Before[1], 99);  // count was right: nothing written on open
  File->WriteHeader();
  File->Close();
  const auto After = ReadFile(Name);
  ExpectTodayStamped(After);
  EXPECT_EQ(After.back(), 0x1A);
  EXPECT_EQ(After.size(), Before.size() + 1);
}

TEST(DbaseFileTest, CreatedTablesReadBackEveryType) {
  TScratchDir Dir;
  for (int Level : {3, 4, 7}) {
    const std::string Name = Dir.File("new" + std::to_string(Level) + ".dbf");
    TDbaseFile File;
    File.SetFileName(Name);
    File.SetMode(pfExclusiveCreate);
    File.SetTableLevel(Level);
    std::vector<TDbaseFieldDef> Fields = {{"name_pest", 'C', 20},
                                          {"Idx", 'N', 4},
                                          {"F_START", 'N', 10, 3},
                                          {"WHEN", 'D', 8},
                                          {"OK", 'L', 1}};
    if (Level == 7) {
      Fields.push_back({"COUNT", 'I', 4});
      Fields.push_back({"SEQ", '+', 4});
      Fields.push_back({"STAMP", '@', 8});
      Fields.push_back({"REAL", 'O', 8});
    }
    File.CreateTable(Fields);
    std::vector<std::uint8_t> R(File.RecordSize());
    for (int I = 0; I < 3; ++I) {
      File.InitRecord(R.data());
      File.SetFieldData(0, ftString, TVariant("Pest " + std::to_string(I)), R.data());
      File.SetFieldData(1, ftSmallint, TVariant(I - 1), R.data());
      File.SetFieldData(2, ftFloat, TVariant(I * 1.25 - 1), R.data());
      File.SetFieldData(3, ftDate, TVariant::FromDateTime(EncodeDate(2024, 3, I + 1)), R.data());
      File.SetFieldData(4, ftBoolean, TVariant(I == 1), R.data());
      if (Level == 7) {
        File.SetFieldData(5, ftInteger, TVariant(I - 1), R.data());
        File.SetFieldData(7, ftDateTime,
                          TVariant::FromDateTime(EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0)),
                          R.data());
        File.SetFieldData(8, ftFloat, TVariant(I - 1.5), R.data());
      }
      EXPECT_EQ(File.Insert(R.data()), I + 1);
    }
    File.Close();

    auto Reopened = OpenTable(Name, pfReadOnly);
    EXPECT_EQ(Reopened->TableLevel(), Level);
    EXPECT_EQ(Reopened->CodePage(), Level == 3 ? 437 : 1252);
    ASSERT_EQ(Reopened->RecordCount(), 3);
    EXPECT_EQ(Reopened->FieldDefs()[0].FieldName, "NAME_PEST");
    for (int I = 0; I < 3; ++I) {
      Reopened->ReadRecord(I + 1, R.data());
      EXPECT_EQ(Field(*Reopened, R, "NAME_PEST").AsString(), "Pest " + std::to_string(I));
      EXPECT_EQ(Field(*Reopened, R, "IDX").AsInteger(), I - 1);
      EXPECT_DOUBLE_EQ(Field(*Reopened, R, "F_START").AsFloat(), I * 1.25 - 1);
      EXPECT_EQ(Field(*Reopened, R, "WHEN").AsDateTime(), EncodeDate(2024, 3, I + 1));
      EXPECT_EQ(Field(*Reopened, R, "OK").AsBoolean(), I == 1);
      if (Level == 7) {
        EXPECT_EQ(Field(*Reopened, R, "COUNT").AsInteger(), I - 1);
        EXPECT_EQ(Field(*Reopened, R, "SEQ").AsInteger(), I + 1);
        EXPECT_NEAR(Field(*Reopened, R, "STAMP").AsDateTime(),
                    EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0), 1e-10);
        EXPECT_DOUBLE_EQ(Field(*Reopened, R, "REAL").AsFloat(), I - 1.5);
      }
    }
  }
}

TEST(DbaseFileTest, CreationRefusesTypesTheLevelCannotHold) {
  TScratchDir Dir;
  TDbaseFile File;
  File.SetFileName(Dir.File("x.dbf"));
  File.SetMode(pfExclusiveCreate);
  File.SetTableLevel(3);
  try {
    File.CreateTable({{"A", 'C', 3}, {"count", 'I', 4}});
    FAIL();
  } catch (const EDbaseError& E) {
    EXPECT_EQ(E.Message(), "Invalid field type 'I' for field 'COUNT'.");
  }
  EXPECT_FALSE(File.Active());
}

TEST(DbaseFileTest, BinaryFieldsUseTheirByteLayouts) {
  TDbaseFieldDefs Defs;
  Defs.Add({"I", 'I', 4});
  Defs.Add({"O", 'O', 8});
  std::uint8_t R[13] = {};
  InitRecord(Defs, R, sizeof R);
  EXPECT_EQ(R[0], ' ');
  EXPECT_TRUE(GetFieldValue(Defs[0], ftInteger, R).IsNull());
  SetFieldValue(Defs[0], ftInteger, TVariant(1), R);
  EXPECT_EQ(std::vector<int>(R + 1, R + 5), (std::vector<int>{0x80, 0, 0, 1}));
  SetFieldValue(Defs[0], ftInteger, TVariant(-2), R);
  EXPECT_EQ(std::vector<int>(R + 1, R + 5), (std::vector<int>{0x7F, 0xFF, 0xFF, 0xFE}));
  EXPECT_EQ(GetFieldValue(Defs[0], ftInteger, R).AsInteger(), -2);
  // Doubles sort by their bytes.
  std::vector<std::uint8_t> Previous;
  for (double V : {-1e9, -2.5, -0.0, 0.5, 3.0, 1e300}) {
    SetFieldValue(Defs[1], ftFloat, TVariant(V), R);
    std::vector<std::uint8_t> Bytes(R + 5, R + 13);
    EXPECT_LE(Previous, Bytes) << V;
    EXPECT_EQ(GetFieldValue(Defs[1], ftFloat, R).AsFloat(), V);
    Previous = Bytes;
  }
  SetFieldValue(Defs[0], ftInteger, TVariant(), R);
  EXPECT_TRUE(GetFieldValue(Defs[0], ftInteger, R).IsNull());
  EXPECT_THROW(SetFieldValue(Defs[0], ftInteger, TVariant(std::int64_t{1} << 40), R), EDbaseError);
}

namespace {

// Records what the table file asks of an index; refuses the key of one record number.
class TFakeIndex : public TDbaseIndexLink {
 public:
  TFakeIndex(std::vector<std::string>& Log, std::string Name, int Refuse = -1)
      : FLog(Log), FName(std::move(Name)), FRefuse(Refuse) {}
  ~TFakeIndex() override { FLog.push_back(FName + " closed"); }
  const std::string& IndexFileName() const override { return FName; }
  void InsertKey(int RecNo, const std::uint8_t*) override {
    if (RecNo == FRefuse) throw EDbaseError("refused");
    FLog.push_back(FName + " insert " + std::to_string(RecNo));
  }
  void DeleteKey(int RecNo, const std::uint8_t*) override {
    FLog.push_back(FName + " delete " + std::to_string(RecNo));
  }
  void UpdateKey(int RecNo, const std::uint8_t* Old, const std::uint8_t* New) override {
    if (RecNo == FRefuse) throw EDbaseError("refused");
    FLog.push_back(FName + " update " + std::to_string(RecNo) + " " + char(Old[1]) + char(New[1]));
  }
  void RecordDeleted(int RecNo, const std::uint8_t* Record) override {
    FLog.push_back(FName + " deleted " + std::to_string(RecNo) + " " + char(Record[0]));
  }
  void BeginChange() override {}
  void WriteChange() override {}
  void EndChange(bool Keep) override {
    if (!Keep) FLog.push_back(FName + " undone");
  }

 private:
  std::vector<std::string>& FLog;
  std::string FName;
  int FRefuse;
};

}  // namespace

TEST(DbaseFileTest, IndexesFollowEveryWriteAndARefusalWritesNothing) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"K", 'C', 1}}, {" a"}));
  std::vector<std::string> Log;
  {
    auto File = OpenTable(Name);
    File->AddIndex(std::make_unique<TFakeIndex>(Log, "one"));
    File->AddIndex(std::make_unique<TFakeIndex>(Log, "two", 3));
    std::vector<std::uint8_t> R(File->RecordSize());
    File->LockRecord(1, R.data());
    R[1] = 'b';
    File->PostRecord(1, R.data());
    R[1] = 'c';
    EXPECT_EQ(File->Insert(R.data()), 2);
    EXPECT_THROW(File->Insert(R.data()), EDbaseError);  // "two" refuses record 3
    EXPECT_EQ(File->RecordCount(), 2);
    File->DeleteRecord(2, R.data());
    EXPECT_TRUE(File->RemoveIndex(File->Index(0)));
  }
  EXPECT_EQ(Log, (std::vector<std::string>{"one update 1 ab", "two update 1 ab", "one insert 2",
                                           "two insert 2", "one insert 3", "two undone",
                                           "one undone", "one deleted 2 *", "two deleted 2 *",
                                           "one closed", "two closed"}));
  auto File = OpenTable(Name, pfReadOnly);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->ReadRecord(2, R.data());
  EXPECT_EQ(std::string(R.begin(), R.end()), "*c");
}

TEST(DbaseFileTest, LockFieldIsStampedAndHidden) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"A", 'C', 2}, {"_DBASELOCK", 'C', 12}},
                          {std::string(" ab") + std::string("\x05\x00", 2) + "          "}));
  auto File = OpenTable(Name);
  ASSERT_EQ(File->LockFieldIndex(), 1);
  EXPECT_TRUE(File->FieldDefs()[1].Hidden);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->LockRecord(1, R.data());
  File->UnlockRecord(1);
  const auto Bytes = ReadFile(Name);
  const std::size_t Stamp = File->HeaderSize() + 3;
  EXPECT_EQ(Bytes[Stamp], 6);  // counter 5 + 1, little-endian
  EXPECT_EQ(Bytes[Stamp + 1], 0);
  const std::time_t Now = std::time(nullptr);
  std::tm Today{};
  localtime_r(&Now, &Today);
  EXPECT_EQ(Bytes[Stamp + 5], Today.tm_year & 0xFF);
  EXPECT_EQ(Bytes[Stamp + 6], Today.tm_mon + 1);
  EXPECT_EQ(Bytes[Stamp + 7], Today.tm_mday);
  char Host[256] = {};
  gethostname(Host, sizeof Host - 1);
  EXPECT_EQ(std::string(Bytes.begin() + Stamp + 8, Bytes.begin() + Stamp + 12),
            (std::string(Host) + "    ").substr(0, 4));
}

TEST(DbaseFileTest, ProductionIndexFlagAndMemoFields) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  auto Bytes = MakeDbf({{"A", 'C', 2}, {"NOTES", 'M', 10}}, {" ab          "}, 0x03);
  Bytes[28] = 1;
  WriteFile(Name, Bytes);
  {
    TDbaseFile Refusing;
    Refusing.SetFileName(Name);
    Refusing.SetMode(pfReadWriteOpen);
    Refusing.OnIndexMissing = [] { return false; };
    EXPECT_THROW(Refusing.Open(), EAbort);
  }
  auto File = OpenTable(Name);  // no .mdx: the link is dropped
  EXPECT_EQ(File->Header()[28], 0);
  EXPECT_EQ(File->Header()[0], 0x83);  // memo field: the bit is set
  std::vector<std::uint8_t> R(File->RecordSize());
  File->ReadRecord(1, R.data());
  EXPECT_TRUE(File->GetFieldData(1, ftMemo, R.data()).IsNull());
  EXPECT_THROW(File->SetFieldData(1, ftMemo, TVariant("text"), R.data()), EDbaseError);
  File->Close();

  WriteFile(Dir.File("t.mdx"), {0});
  EXPECT_NE(OpenError(Name).find("t.mdx"), std::string::npos);  // would go unmaintained
  EXPECT_EQ(OpenError(Name, pfReadOnly), "(opened)");
}

TEST(DbaseFileTest, AutoIncrementValuesAreSharedBetweenOpenFiles) {
  TScratchDir Dir;
  const std::string Name = Dir.File("seq.dbf");
  {
    TDbaseFile Creator;
    Creator.SetFileName(Name);
    Creator.SetMode(pfExclusiveCreate);
    Creator.SetTableLevel(7);
    Creator.CreateTable({{"SEQ", '+', 4}, {"NAME", 'C', 8}});
  }
  auto A = OpenTable(Name), B = OpenTable(Name);
  std::vector<std::uint8_t> R(A->RecordSize());
  std::vector<std::int64_t> Seen;
  for (TDbaseFile* File : {A.get(), B.get(), A.get(), B.get()}) {
    File->InitRecord(R.data());
    const int RecNo = File->Insert(R.data());
    File->ReadRecord(RecNo, R.data());
    Seen.push_back(File->GetFieldData(0, ftAutoInc, R.data()).AsInteger());
  }
  A->WriteHeader();  // a close must not put back A's older next value
  B->InitRecord(R.data());
  B->ReadRecord(B->Insert(R.data()), R.data());
  Seen.push_back(B->GetFieldData(0, ftAutoInc, R.data()).AsInteger());
  EXPECT_EQ(Seen, (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
}
