// The table file: header rules, field codec through real files, malformed files.
#include <gtest/gtest.h>

#include <ctime>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

const std::vector<TRawField> PestFields = {
    {"IDX", 'N', 4}, {"NAME_PEST", 'C', 12}, {"F_START", 'N', 8, 2}, {"WAV_FRM", 'N', 1}};

std::string PestRecord(const char* Idx, const char* Name, const char* FStart, const char* Wav) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, " %4s%-12s%8s%1s", Idx, Name, FStart, Wav);
  return Buffer;
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

// Today's date as dBase stores it (year - 1900, month, day) at Bytes[At].
void ExpectTodayStamped(const std::vector<std::uint8_t>& Bytes, std::size_t At = 1) {
  const std::time_t Now = std::time(nullptr);
  std::tm Today{};
  localtime_r(&Now, &Today);
  EXPECT_EQ(Bytes[At], Today.tm_year & 0xFF);
  EXPECT_EQ(Bytes[At + 1], Today.tm_mon + 1);
  EXPECT_EQ(Bytes[At + 2], Today.tm_mday);
}

std::string OpenError(const std::string& Name, TPagedFileMode Mode = pfReadWriteOpen) {
  try {
    OpenFile(Name, Mode);
  } catch (const EAbort&) {
    return "(abort)";
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(opened)";
}

}  // namespace

// The count comes from the file's size: a wrong one in the header is put right on disk at once
// (a read-only open leaves it), an end-of-file byte and a cut-off record are not records, and
// WriteHeader stamps the date, the count and the end-of-file byte.
TEST(DbaseFileTest, TheCountComesFromTheFileAndIsWrittenBack) {
  TScratchDir Dir;
  const std::string Name = Dir.File("para.dbf");
  const auto Wrong = MakeDbf(
      PestFields, {PestRecord("1", "Mosquito", "10.50", "0"), PestRecord("2", "Rat", "3.00", "1")},
      0x03, 7);
  WriteFile(Name, Wrong);
  EXPECT_EQ(OpenFile(Name, pfReadOnly)->RecordCount(), 2);
  EXPECT_EQ(ReadFile(Name), Wrong);
  {
    auto File = OpenFile(Name);
    EXPECT_EQ(File->RecordCount(), 2);
    const auto Bytes = ReadFile(Name);
    EXPECT_EQ(Bytes[4], 2);
    ExpectTodayStamped(Bytes);
    const std::size_t EndOfRecords = File->HeaderSize() + 2 * File->RecordSize();
    ASSERT_EQ(Bytes.size(), EndOfRecords + 1);
    EXPECT_EQ(Bytes[EndOfRecords], 0x1A);
  }
  auto Bytes = ReadFile(Name);
  Bytes.insert(Bytes.end(), {' ', '4', '2'});  // a cut-off third record after the EOF byte
  WriteFile(Name, Bytes);
  auto File = OpenFile(Name, pfReadOnly);
  EXPECT_EQ(File->RecordCount(), 2);
  std::vector<std::uint8_t> Record(File->RecordSize());
  EXPECT_TRUE(File->ReadRecord(2, Record.data()));
  EXPECT_FALSE(File->ReadRecord(3, Record.data()));

  WriteFile(Name, MakeDbf(PestFields, {PestRecord("1", "Rat", "1", "0")}));
  File = OpenFile(Name, pfExclusiveOpen);
  const auto Before = ReadFile(Name);
  EXPECT_EQ(Before[1], 99);  // count was right: nothing written on open
  File->WriteHeader();
  File->Close();
  const auto After = ReadFile(Name);
  ExpectTodayStamped(After);
  EXPECT_EQ(After.back(), 0x1A);
  EXPECT_EQ(After.size(), Before.size() + 1);
}

// The decoding rules are pinned by ListLineTest, which lists every record as its fields read;
// what a listing cannot show is here: blank text is null, short whole numbers are small
// integers and wide ones floats.
TEST(DbaseFileTest, BlankTextIsNullAndWideWholeNumbersAreFloats) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"N4", 'N', 4}, {"C5", 'C', 5}, {"BIG", 'N', 12}},
                          {std::string(" ") + "  42" + "     " + "-00000000007"}));
  auto File = OpenFile(Name, pfReadOnly);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->ReadRecord(1, R.data());
  EXPECT_EQ(File->FieldDefs()[0].FieldType, ftSmallint);
  EXPECT_TRUE(Field(*File, R, "C5").IsNull());
  EXPECT_EQ(File->FieldDefs()[2].FieldType, ftFloat);
  EXPECT_DOUBLE_EQ(Field(*File, R, "BIG").AsFloat(), -7);
}

TEST(DbaseFileTest, NumbersAreWrittenZeroOrBlankPadded) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"N3", 'N', 3}, {"N62", 'N', 6, 2}, {"N5", 'N', 5}}, {}));
  auto File = OpenFile(Name);
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

TEST(DbaseFileTest, VersionBytes) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf(PestFields, {}, 0x83));
  auto File = OpenFile(Name, pfReadOnly);
  EXPECT_EQ(File->Version(), tvDbase3);
  EXPECT_EQ(File->TableLevel(), 3);
  EXPECT_EQ(File->Header()[0], 0x03);  // no memo field: the bit is cleared in memory
  File->Close();
  WriteFile(Name, MakeDbf(PestFields, {}, 0x03, ~0u, 87));
  EXPECT_EQ(OpenFile(Name, pfReadOnly)->Version(), tvDbase4);
  WriteFile(Name, MakeDbf(PestFields, {}, 0xF5));
  EXPECT_EQ(OpenFile(Name, pfReadOnly)->Version(), tvFoxPro);
}

// Each is refused with its message (or silently) and left as it was.
TEST(DbaseFileTest, MalformedFilesAreRefusedWithTheirMessages) {
  TScratchDir Dir;
  const std::string Name = Dir.File("bad.dbf");
  EXPECT_EQ(OpenError(Name), "Open: file not found: \"" + Name + "\".");
  const auto Damaged = [](int Length, auto Damage) {
    auto Bytes = MakeDbf({{"A", 'C', 3}}, {});
    Bytes.resize(Length);
    Damage(Bytes);
    return Bytes;
  };
  const std::string Invalid = "Invalid DBF file.";
  const std::pair<std::vector<std::uint8_t>, std::string> Cases[] = {
      {MakeDbf(PestFields, {}, 0x05), Invalid},  // unknown version bytes
      {MakeDbf(PestFields, {}, 0x00), Invalid},
      {MakeDbf(PestFields, {}, 0x02), Invalid},
      {MakeDbf(PestFields, {}, 0xFF), Invalid},
      {MakeDbf({{"A", 'X', 3}}, {}), Invalid},  // unknown type letter
      {MakeDbf({{"", 'C', 3}}, {}), Invalid},   // empty name
      {MakeDbf({}, {}), "Invalid field count: 0 (must be between 1 and 4095)."},
      {MakeDbf({{"I", 'I', 2}}, {}), Invalid},             // binary field narrower than its value
      {Damaged(65, [](auto& B) { B[10] = 2; }), Invalid},  // record shorter than its fields
      {Damaged(40, [](auto& B) { B[10] = 4; }), Invalid},  // header cut short
      {{0x03, 1, 2}, "(abort)"},                           // zero header length: silent
      {Damaged(65, [](auto& B) { B[10] = 0; }), "(abort)"},
  };
  for (const auto& [Bytes, Expected] : Cases) {
    WriteFile(Name, Bytes);
    EXPECT_EQ(OpenError(Name), Expected) << int(Bytes[0]);
    EXPECT_EQ(ReadFile(Name), Bytes);
  }
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

    auto Reopened = OpenFile(Name, pfReadOnly);
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
  EXPECT_EQ(ErrorOf<EDbaseError>([&] {
              File.CreateTable({{"A", 'C', 3}, {"count", 'I', 4}});
            }),
            "Invalid field type 'I' for field 'COUNT'.");
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

// Every index follows every write; a key one index refuses undoes what the others did and
// writes no record. A delete drops the key from a distinct index only.
TEST(DbaseFileTest, IndexesFollowEveryWriteAndARefusalWritesNothing) {
  TNdxTable T({{"K", 'C', 1}});
  TIndexFile& Plain = T.CreateIndex("plain.ndx", "K");
  TIndexFile& Distinct = T.CreateIndex("distinct.ndx", "K", ixPrimary);
  T.Append({{"K", "a"}});
  T.Change(1, {{"K", "b"}});
  EXPECT_EQ(T.Append({{"K", "c"}}), 2);
  EXPECT_THROW(T.Append({{"K", "c"}}), EDbaseError);  // the second index refuses record 3
  EXPECT_EQ(T.Table().RecordCount(), 2);
  T.Delete(2);
  using TEntries = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(IndexEntries(Plain), (TEntries{{"b", 1}, {"c", 2}}));
  EXPECT_EQ(IndexEntries(Distinct), (TEntries{{"b", 1}}));
  EXPECT_EQ(VerifyIndex(Plain) + VerifyIndex(Distinct), "");
  EXPECT_EQ(T.Append({{"K", "c"}}), 3);  // the deleted record's key is free again
  EXPECT_TRUE(T.Table().RemoveIndex(&Plain));
  EXPECT_EQ(T.Table().IndexCount(), 1);
  T.Table().Close();
  const auto Bytes = ReadFile(T.TableName());
  EXPECT_EQ(std::string(Bytes.end() - 7, Bytes.end() - 1), " b*c c");
}

TEST(DbaseFileTest, LockFieldIsStampedAndHidden) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf({{"A", 'C', 2}, {"_DBASELOCK", 'C', 12}},
                          {std::string(" ab") + std::string("\x05\x00", 2) + "          "}));
  auto File = OpenFile(Name);
  ASSERT_EQ(File->LockFieldIndex(), 1);
  EXPECT_TRUE(File->FieldDefs()[1].Hidden);
  std::vector<std::uint8_t> R(File->RecordSize());
  File->LockRecord(1, R.data());
  File->UnlockRecord(1);
  const auto Bytes = ReadFile(Name);
  const std::size_t Stamp = File->HeaderSize() + 3;
  EXPECT_EQ(Bytes[Stamp], 6);  // counter 5 + 1, little-endian
  EXPECT_EQ(Bytes[Stamp + 1], 0);
  ExpectTodayStamped(Bytes, Stamp + 5);
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
  auto File = OpenFile(Name);  // no .mdx: the link is dropped
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
  auto A = OpenFile(Name), B = OpenFile(Name);
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
