#include "table/DbaseTable.h"

#include <gtest/gtest.h>

#include "platform/data/DatabaseError.h"
#include "table/DbaseMessages.h"
#include "tests/table/TableTestFiles.h"

namespace {

std::unique_ptr<TDbaseTable> OpenPests(const TScratchDir& Dir, bool ShowDeleted = false) {
  auto T = std::make_unique<TDbaseTable>(nullptr);
  T->SetFilePath(Dir.Path());
  T->SetTableName("para.dbf");
  T->SetShowDeleted(ShowDeleted);
  T->Open();
  return T;
}

std::string Name(const TDbaseTable& T) {
  return T.FieldByName("NAME_PEST")->AsString();
}

std::string HeaderDate(const std::string& File) {
  const auto B = ReadFile(File);
  return std::to_string(1900 + B[1]) + "-" + std::to_string(B[2]) + "-" + std::to_string(B[3]);
}

std::string Today() {
  const TDateParts D = DecodeDate(Date());
  return std::to_string(D.Year) + "-" + std::to_string(D.Month) + "-" + std::to_string(D.Day);
}

}  // namespace

TEST(DbaseTableTest, ReadsThePestTableByFieldName) {
  TScratchDir Dir;
  WriteSampleTable(Dir.File("para.dbf"));
  auto T = OpenPests(Dir);
  EXPECT_EQ(T->RecordCount(), 3);
  EXPECT_EQ(T->FieldCount(), 8);
  EXPECT_EQ(T->FieldByName("idx")->DataType(), ftSmallint);
  EXPECT_EQ(T->FieldByName("F_START")->DataType(), ftFloat);
  EXPECT_EQ(T->FieldByName("f_start")->AsFloat(), 5250);
  EXPECT_EQ(T->FieldByName("Name_Pest")->AsString(), "Mosquito");
  T->Next();
  EXPECT_EQ(T->FieldByName("VAL_CH")->AsInteger(), 2);  // 2.5: halfway to even
  EXPECT_EQ(T->FieldByName("F_START")->AsFloat(), 6989.7);
  T->Next();
  EXPECT_EQ(T->FieldByName("VAL_CH")->AsInteger(), 4);  // 3.5
  EXPECT_EQ(T->RecNo(), 3);
  const auto Items = T->LookupList("IDX", "NAME_PEST");
  ASSERT_EQ(Items.size(), 3u);
  EXPECT_EQ(Items[0].Key.AsInteger(), 1);
  EXPECT_EQ(Items[2].Text, "Moth");
}

TEST(DbaseTableTest, DeletedRecordsAreSteppedOverBothWays) {
  TScratchDir Dir;
  WriteTable(Dir.File("para.dbf"), SampleFields,
             {Record(SampleFields, {"1", "A"}, true), Record(SampleFields, {"2", "B"}),
              Record(SampleFields, {"3", "C"}, true), Record(SampleFields, {"4", "D"}),
              Record(SampleFields, {"5", "E"}, true)});
  auto T = OpenPests(Dir);
  EXPECT_EQ(Name(*T), "B");
  T->Prior();
  EXPECT_TRUE(T->Bof());
  EXPECT_EQ(Name(*T), "B");
  T->Next();
  EXPECT_EQ(Name(*T), "D");
  T->Next();
  EXPECT_TRUE(T->Eof());
  T->Last();
  EXPECT_EQ(Name(*T), "D");
  T->Prior();
  EXPECT_EQ(Name(*T), "B");
  EXPECT_EQ(T->RecordCount(), 5);  // deleted ones count

  T->SetShowDeleted(true);
  T->First();
  EXPECT_EQ(Name(*T), "A");
  EXPECT_TRUE(T->IsDeleted());
  T->Last();
  EXPECT_EQ(Name(*T), "E");
}

TEST(DbaseTableTest, EmptyTableEndsAtOnce) {
  TScratchDir Dir;
  WriteTable(Dir.File("para.dbf"), SampleFields, {});
  auto T = OpenPests(Dir);
  EXPECT_TRUE(T->Eof() && T->Bof());
  T->Last();
  EXPECT_TRUE(T->Eof() && T->Bof());
  EXPECT_EQ(T->RecordCount(), 0);
  EXPECT_TRUE(T->FieldByName("IDX")->IsNull());
}

// Each write goes to the file at once, where another reader sees it before the table closes: an
// edit writes its field and nothing else, an append the record, the count, today's date and the
// end-of-file byte, a delete the flag. Cancel writes nothing.
TEST(DbaseTableTest, WritesGoThroughAtOnceAndCancelWritesNothing) {
  TScratchDir Dir;
  const std::string File = Dir.File("para.dbf");
  WriteSampleTable(File);
  const auto Before = ReadFile(File);
  const TStoredHeader H = StoredHeader(Before);
  auto T = OpenPests(Dir);
  T->Edit();
  T->FieldByName("NAME_PEST")->SetAsString("Wasp");
  T->Cancel();
  T->Append();
  T->FieldByName("NAME_PEST")->SetAsString("Wasp");
  T->Cancel();
  EXPECT_EQ(Name(*T), "Mosquito");
  EXPECT_EQ(T->RecordCount(), 3);
  EXPECT_EQ(ReadFile(File), Before);

  T->Next();
  T->Edit();
  T->FieldByName("wav_frm")->SetAsInteger(3);
  T->Post();
  EXPECT_EQ(T->State(), dsBrowse);
  EXPECT_EQ(T->FieldByName("WAV_FRM")->AsInteger(), 3);
  EXPECT_EQ(T->RecNo(), 2);
  auto After = ReadFile(File);
  ASSERT_EQ(After.size(), Before.size());
  const std::size_t WavFrm = H.HeaderLength + 2 * H.RecordLength - 2;
  EXPECT_EQ(std::string(After.begin() + WavFrm, After.begin() + WavFrm + 2), "03");
  for (std::size_t I = 4; I < After.size(); ++I)
    if (I != WavFrm && I != WavFrm + 1) {
      EXPECT_EQ(After[I], Before[I]) << "byte " << I;
    }

  T->Append();
  T->FieldByName("IDX")->SetAsInteger(4);
  T->FieldByName("NAME_PEST")->SetAsString("Gnat");
  T->Post();
  EXPECT_EQ(T->RecNo(), 4);
  EXPECT_EQ(Name(*T), "Gnat");
  After = ReadFile(File);
  EXPECT_EQ(After[4], 4);
  EXPECT_EQ(HeaderDate(File), Today());
  ASSERT_EQ(After.size(), std::size_t(H.HeaderLength + 4 * H.RecordLength + 1));
  EXPECT_EQ(After.back(), 0x1A);
  EXPECT_EQ(After[H.HeaderLength + 3 * H.RecordLength], ' ');

  T->First();
  T->Next();
  T->Delete();
  EXPECT_EQ(Name(*T), "Moth");
  EXPECT_EQ(ReadFile(File)[H.HeaderLength + H.RecordLength], '*');
  T->First();
  T->Next();
  EXPECT_EQ(Name(*T), "Moth");
}

// The date is stamped on close, unless the table was opened read-only.
TEST(DbaseTableTest, CloseRewritesTheDateUnlessReadOnly) {
  TScratchDir Dir;
  const std::string File = Dir.File("para.dbf");
  WriteSampleTable(File);
  {
    auto T = std::make_unique<TDbaseTable>(nullptr);
    T->SetTableName(File);
    T->SetReadOnly(true);
    T->Open();
    EXPECT_FALSE(T->CanModify());
    EXPECT_THROW(T->Edit(), EDatabaseError);
  }
  EXPECT_EQ(HeaderDate(File), "1999-1-2");
  OpenPests(Dir)->Close();
  EXPECT_EQ(HeaderDate(File), Today());
}

TEST(DbaseTableTest, LocateCaseInsensitivePartialOnTranslatedText) {
  TScratchDir Dir;
  // Language driver 0x57: code page 1252; "M\xFC" is "Mü" there.
  WriteTable(Dir.File("para.dbf"), SampleFields,
             {Record(SampleFields, {"1", "Fly"}), Record(SampleFields, {"2",
                                                                        "M\xFC"
                                                                        "cke"})},
             0x57);
  auto T = OpenPests(Dir);
  EXPECT_EQ(T->CodePage(), 1252);
  EXPECT_TRUE(T->Locate("name_pest", TVariant("mÜ"), loCaseInsensitive | loPartialKey));
  EXPECT_EQ(Name(*T), "Mücke");
  EXPECT_TRUE(T->Locate("IDX", TVariant(1), 0));
  EXPECT_FALSE(T->Locate("IDX", TVariant(7), 0));
  EXPECT_EQ(T->RecNo(), 1);
  // Text the code page cannot hold is refused; the record is left as it was.
  T->Edit();
  EXPECT_THROW(T->FieldByName("NAME_PEST")->SetAsString("Ω"), std::exception);
  T->Cancel();
  EXPECT_EQ(Name(*T), "Fly");
}

TEST(DbaseTableTest, FolderResolution) {
  TDbaseTable T(nullptr);
  T.SetFilePath("/var/data");
  EXPECT_EQ(T.FilePath(), "/var/data/");
  EXPECT_EQ(T.AbsolutePath(), "/var/data/");
  T.SetTableName("/srv/x/../tables/para.dbf");
  EXPECT_EQ(T.TableName(), "para.dbf");
  EXPECT_EQ(T.FullTableName(), "/srv/tables/para.dbf");
  T.SetFilePath("data");
  const std::string Exe = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  EXPECT_EQ(T.AbsolutePath(), Exe + "/data/");
  T.SetFilePath("");
  EXPECT_EQ(T.AbsolutePath(), Exe + "/");
  EXPECT_EQ(T.Version(), "6.20");
}

TEST(DbaseTableTest, DuplicateNamesGetSuffixes) {
  TScratchDir Dir;
  const std::vector<TRawField> Columns = {{"NAME", 'C', 3}, {"name", 'C', 3}, {"NAME2", 'C', 3}};
  WriteTable(Dir.File("t.dbf"), Columns, {Record(Columns, {"a", "b", "c"})});
  TDbaseTable T(nullptr);
  T.SetTableName(Dir.File("t.dbf"));
  T.Open();
  ASSERT_EQ(T.FieldCount(), 3);
  EXPECT_EQ(T.Fields()[0]->FieldName(), "NAME");
  EXPECT_EQ(T.Fields()[1]->FieldName(), "NAME2");
  EXPECT_EQ(T.Fields()[2]->FieldName(), "NAME22");
  EXPECT_EQ(T.FieldByName("name2")->AsString(), "b");
  EXPECT_THROW(T.SetFilePath("/tmp"), EDatabaseError);  // open
}

TEST(DbaseTableTest, UntranslatableCodePageMakesTheTableReadOnlyUnlessForced) {
  TScratchDir Dir;
  // Language driver 105: code page 620, which the system cannot translate.
  WriteTable(Dir.File("para.dbf"), SampleFields, {Record(SampleFields, {"1", "Fl\xA4"})}, 105);
  auto T = OpenPests(Dir);
  EXPECT_EQ(T->TranslationMode(), tmNoneNotModifiable);
  EXPECT_FALSE(T->CanModify());
  EXPECT_THROW(T->Edit(), EDatabaseError);
  EXPECT_EQ(Name(*T), "Fl\uFFFD");
  T->Close();

  T->OnLanguageWarning = [](TDbaseTable*, TDbaseLanguageAction& Action) { Action = laForceANSI; };
  T->Open();
  EXPECT_EQ(T->TranslationMode(), tmNone);
  EXPECT_EQ(Name(*T), "Fl¤");  // read as 1252
  EXPECT_TRUE(T->CanModify());
}

TEST(DbaseTableTest, AutoCreateBuildsTheTableFromFieldDefinitions) {
  TScratchDir Dir;
  const std::string File = Dir.File("new.dbf");
  {
    TDbaseTable T(nullptr);
    T.SetTableName(File);
    T.SetOpenMode(omAutoCreate);
    T.SetTableLevel(3);
    T.FieldDefs().Add({"IDX", ftSmallint, 4});
    T.FieldDefs().Add({"Name_Pest", ftString, 20});
    T.FieldDefs().Add({"F_START", ftFloat, 9, 3});
    T.Open();
    EXPECT_TRUE(T.IsEmpty());
    T.Append();
    T.FieldByName("IDX")->SetAsInteger(7);
    T.FieldByName("NAME_PEST")->SetAsString("Tick");
    T.FieldByName("F_START")->SetAsFloat(1.25);
    T.Post();
  }
  const auto B = ReadFile(File);
  EXPECT_EQ(B[0], 0x03);
  EXPECT_EQ(B[8] | B[9] << 8, 32 * 3 + 33);
  EXPECT_EQ(B[10] | B[11] << 8, 1 + 4 + 20 + 9);
  TDbaseTable T(nullptr);
  T.SetTableName(File);
  T.Open();
  EXPECT_EQ(T.RecordCount(), 1);
  EXPECT_EQ(T.FieldByName("idx")->AsInteger(), 7);
  EXPECT_EQ(T.FieldByName("name_pest")->AsString(), "Tick");
  EXPECT_EQ(T.FieldByName("f_start")->AsFloat(), 1.25);
}
