#include <gtest/gtest.h>

#include "platform/data/DataSource.h"
#include "platform/data/DatabaseError.h"
#include "tests/platform/data/ScratchTable.h"

namespace {

std::vector<TFieldDef> PestDefs() {
  return {{"IDX", ftSmallint, 4},
          {"NAME_PEST", ftString, 16},
          {"VAL_CH", ftFloat, 8, 2},
          {"BIG", ftFloat, 12}};
}

std::unique_ptr<TScratchTable> Pests() {
  auto D = std::make_unique<TScratchTable>(
      PestDefs(), std::vector<std::vector<std::string>>{
                      {"1", "Mosquito", "10"}, {"2", "Fly", "2.5"}, {"3", "Moth", "3.5"}});
  D->Open();
  return D;
}

std::vector<std::string> Walk(TDataSet& D, bool Backwards) {
  std::vector<std::string> Names;
  if (Backwards)
    for (D.Last(); !D.Bof(); D.Prior()) Names.push_back(D.FieldByName("name_pest")->AsString());
  else
    for (D.First(); !D.Eof(); D.Next()) Names.push_back(D.FieldByName("name_pest")->AsString());
  return Names;
}

}  // namespace

TEST(DataSetTest, EmptyDataSetHasBeginningAndEndAtOnce) {
  TScratchTable D(PestDefs(), {});
  D.Open();
  EXPECT_TRUE(D.IsEmpty());
  EXPECT_TRUE(D.Bof() && D.Eof());
  D.Last();
  EXPECT_TRUE(D.Bof() && D.Eof());
  EXPECT_EQ(D.MoveBy(1), 0);
  EXPECT_TRUE(D.FieldByName("IDX")->IsNull());
  EXPECT_EQ(D.RecNo(), 0);
  EXPECT_EQ(D.RecordCount(), 0);
  EXPECT_THROW(D.Delete(), EDatabaseError);
}

TEST(DataSetTest, NavigationStepsOverSkippedRecordsBothWays) {
  TScratchTable D(PestDefs(), {});
  D.AddRow({"1", "A"}, true);
  D.AddRow({"2", "B"});
  D.AddRow({"3", "C"}, true);
  D.AddRow({"4", "D"});
  D.AddRow({"5", "E"}, true);
  D.Open();
  EXPECT_EQ(D.RecNo(), 2);
  EXPECT_EQ(Walk(D, false), (std::vector<std::string>{"B", "D"}));
  EXPECT_EQ(Walk(D, true), (std::vector<std::string>{"D", "B"}));
  D.First();
  D.Prior();
  EXPECT_TRUE(D.Bof());
  EXPECT_EQ(D.RecNo(), 2);  // a failed move keeps the record
  D.Last();
  EXPECT_EQ(D.MoveBy(-5), -1);
  EXPECT_EQ(D.FieldByName("IDX")->AsInteger(), 2);
  EXPECT_EQ(D.MoveBy(5), 1);
  EXPECT_TRUE(D.Eof());
  EXPECT_EQ(D.FieldByName("IDX")->AsInteger(), 4);
}

// Scroll events surround each move; a move that goes nowhere sends none.
TEST(DataSetTest, ScrollEventsSurroundEachMove) {
  auto D = Pests();
  std::vector<std::string> Log;
  D->BeforeScroll = [&](TComponent*) { Log.push_back("+" + D->FieldByName("IDX")->AsString()); };
  D->AfterScroll = [&](TComponent*) { Log.push_back("-" + D->FieldByName("IDX")->AsString()); };
  D->Next();
  D->Last();
  D->Next();
  EXPECT_EQ(Log, (std::vector<std::string>{"+1", "-2", "+2", "-3"}));
}

TEST(DataSetTest, FieldsByNameAndTypedReads) {
  auto D = Pests();
  EXPECT_EQ(D->FindField("Name_Pest"), D->FieldByName("NAME_PEST"));
  EXPECT_EQ(D->FindField("NOPE"), nullptr);
  try {
    D->FieldByName("nope");
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'nope' not found");
  }
  D->Next();
  EXPECT_EQ(D->FieldByName("val_ch")->AsInteger(), 2);  // 2.5 to even
  D->Next();
  EXPECT_EQ(D->FieldByName("val_ch")->AsInteger(), 4);  // 3.5 to even
  EXPECT_EQ(D->FieldByName("val_ch")->AsString(), "3.5");
  EXPECT_THROW(D->FieldByName("NAME_PEST")->AsFloat(), EDatabaseError);
}

// A record with a hole: the plain readers give zero, the number readers refuse and name the field.
TEST(DataSetTest, NumberReadersRefuseAnEmptyField) {
  TScratchTable D(PestDefs(), {{"7", "Gnat", ""}, {"", "Midge", "2.5"}});
  D.Open();
  struct TCase {
    int Record;
    const char* Field;
    bool AsInteger;
    const char* Refusal;  // nullptr: reads Value
    double Value;
  } const Cases[] = {
      {1, "VAL_CH", false, "'' is not a valid floating point value for field 'VAL_CH'", 0},
      {1, "VAL_CH", true, "'' is not a valid integer value for field 'VAL_CH'", 0},
      {1, "IDX", true, nullptr, 7},
      {2, "IDX", true, "'' is not a valid integer value for field 'IDX'", 0},
      {2, "VAL_CH", false, nullptr, 2.5},
      {2, "VAL_CH", true, nullptr, 2},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Record) + " " + C.Field);
    D.First();
    D.MoveBy(C.Record - 1);
    const TField& Field = *D.FieldByName(C.Field);
    const auto Read = [&] {
      return C.AsInteger ? double(NumberFieldAsInteger(Field)) : NumberFieldAsFloat(Field);
    };
    if (!C.Refusal) {
      EXPECT_EQ(Read(), C.Value);
      continue;
    }
    EXPECT_EQ(C.AsInteger ? Field.AsLargeInt() : Field.AsFloat(), 0);
    try {
      Read();
      ADD_FAILURE() << "read an empty field";
    } catch (const EDatabaseError& E) {
      EXPECT_EQ(E.Message(), C.Refusal);
    }
  }
}

TEST(DataSetTest, WritesConvertToTheFieldKind) {
  auto D = Pests();
  TField* Idx = D->FieldByName("IDX");
  EXPECT_THROW(Idx->SetAsInteger(5), EDatabaseError);  // browsing
  D->Edit();
  Idx->SetAsFloat(6.5);
  EXPECT_EQ(Idx->AsInteger(), 6);
  Idx->SetAsString(" 12 ");
  EXPECT_EQ(Idx->AsInteger(), 12);
  EXPECT_THROW(Idx->SetAsString("1.5"), EDatabaseError);
  EXPECT_THROW(Idx->SetAsInteger(40000), EDatabaseError);  // beyond a small integer
  EXPECT_THROW(D->FieldByName("VAL_CH")->SetAsString("1,5"), EDatabaseError);
  D->FieldByName("VAL_CH")->SetAsString("");
  EXPECT_TRUE(D->FieldByName("VAL_CH")->IsNull());
  D->FieldByName("BIG")->SetAsFloat(3e9);
  EXPECT_THROW(D->FieldByName("BIG")->AsInteger(), EDatabaseError);  // beyond an int, not wrapped
  D->Post();
  EXPECT_EQ(D->State(), dsBrowse);
  D->Close();
  D->Open();
  EXPECT_EQ(D->FieldByName("IDX")->AsInteger(), 12);  // stored
}

TEST(DataSetTest, CancelRestoresAndAppendAddsTheCurrentRecord) {
  auto D = Pests();
  D->Next();
  D->Edit();
  D->FieldByName("NAME_PEST")->SetAsString("Wasp");
  EXPECT_TRUE(D->Modified());
  D->Cancel();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Fly");

  D->Append();
  EXPECT_EQ(D->State(), dsInsert);
  EXPECT_TRUE(D->FieldByName("IDX")->IsNull());
  D->Cancel();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Fly");
  EXPECT_EQ(D->RecordCount(), 3);

  D->Append();
  D->FieldByName("IDX")->SetAsInteger(9);
  D->Post();
  EXPECT_EQ(D->RecordCount(), 4);
  EXPECT_EQ(D->RecNo(), 4);
  D->Prior();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Moth");
}

TEST(DataSetTest, DeleteMovesToANeighbour) {
  auto D = Pests();
  D->Last();
  D->Delete();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Fly");
  D->First();
  D->Delete();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Fly");
  D->Delete();
  EXPECT_TRUE(D->IsEmpty());
  D->Close();
  D->SetReadOnly(true);
  D->Open();
  EXPECT_THROW(D->Edit(), EDatabaseError);
}

// Locate finds by one field or several, exactly, without case or by the start; it posts a pending
// edit first, and a miss stays where it was.
TEST(DataSetTest, LocateOptions) {
  auto D = Pests();
  D->Edit();
  D->FieldByName("NAME_PEST")->SetAsString("Mosquitoes");
  int After = 0;
  D->AfterScroll = [&](TComponent*) { ++After; };
  EXPECT_TRUE(D->Locate("IDX", TVariant(3), 0));
  EXPECT_EQ(D->State(), dsBrowse);
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Moth");
  EXPECT_TRUE(D->Locate("IDX", TVariant("2"), 0));  // text key against a number
  EXPECT_EQ(After, 2);
  EXPECT_FALSE(D->Locate("NAME_PEST", TVariant("fly"), 0));
  EXPECT_EQ(D->RecNo(), 2);  // not found: stays
  EXPECT_EQ(After, 2);
  EXPECT_TRUE(D->Locate("name_pest", TVariant("MOTH"), loCaseInsensitive));
  EXPECT_FALSE(D->Locate("NAME_PEST", TVariant("mo"), loCaseInsensitive));
  EXPECT_TRUE(D->Locate("NAME_PEST", TVariant("mos"), loCaseInsensitive | loPartialKey));
  EXPECT_EQ(D->RecNo(), 1);
  EXPECT_FALSE(D->Locate("NAME_PEST", TVariant("mos"), loPartialKey));  // case counts
  EXPECT_TRUE(D->Locate("NAME_PEST", TVariant(""), loPartialKey));
  EXPECT_TRUE(D->Locate("IDX;NAME_PEST", {TVariant(3), TVariant("M")}, loPartialKey));
  EXPECT_EQ(D->RecNo(), 3);
  EXPECT_FALSE(D->Locate("IDX;NAME_PEST", {TVariant(3)}, 0));  // counts differ
  EXPECT_THROW(D->Locate("NOPE", TVariant(1), 0), EDatabaseError);
  D->First();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Mosquitoes");  // the edit was posted
}

TEST(DataSetTest, LookupListLeavesTheEditedRecordAlone) {
  auto D = Pests();
  D->Next();
  D->Edit();
  D->FieldByName("NAME_PEST")->SetAsString("Gnat");
  const auto Items = D->LookupList("idx", "name_pest");
  ASSERT_EQ(Items.size(), 3u);
  EXPECT_EQ(Items[2].Key.AsInteger(), 3);
  EXPECT_EQ(Items[1].Text, "Fly");
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Gnat");
  D->Post();
  D->Next();
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Moth");  // cursor found its way back
}

TEST(DataLinkTest, BoundFieldFollowsTheDataSet) {
  auto D = Pests();
  TDataSource Source(nullptr);
  TFieldDataLink Link;
  int Shown = 0, EditingChanges = 0;
  std::string Pending;
  Link.OnDataChange = [&] { ++Shown; };
  Link.OnEditingChange = [&] { ++EditingChanges; };
  Link.OnUpdateData = [&] { Link.Field()->SetAsString(Pending); };
  Link.SetFieldName("name_pest");
  Link.SetDataSource(&Source);
  EXPECT_EQ(Link.Field(), nullptr);
  Source.SetDataSet(D.get());
  ASSERT_EQ(Link.Field(), D->FieldByName("NAME_PEST"));
  EXPECT_TRUE(Link.Active());

  Shown = 0;
  D->Next();
  EXPECT_GE(Shown, 1);

  // Typing: auto edit, then the pending text is handed over when the record is posted.
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(EditingChanges, 1);
  Pending = "Hornet";
  Link.Modified();
  D->Post();
  EXPECT_EQ(EditingChanges, 2);
  EXPECT_EQ(D->FieldByName("NAME_PEST")->AsString(), "Hornet");

  Source.SetAutoEdit(false);
  EXPECT_FALSE(Link.Edit());
  D->Close();
  EXPECT_FALSE(Link.Active());
  EXPECT_EQ(Link.Field(), nullptr);
}

TEST(DataLinkTest, DisabledControlsHearOnceAtTheEnd) {
  auto D = Pests();
  TDataSource Source(nullptr);
  Source.SetDataSet(D.get());
  TDataLink Link;
  int Changes = 0;
  Link.OnDataSetChange = [&] { ++Changes; };
  Link.SetDataSource(&Source);
  D->DisableControls();
  D->Next();
  D->Next();
  EXPECT_EQ(Changes, 0);
  D->EnableControls();
  EXPECT_EQ(Changes, 1);
}

TEST(DataLinkTest, EitherSideMayGoFirst) {
  auto D = std::make_unique<TScratchTable>(PestDefs(), std::vector<std::vector<std::string>>{});
  auto Source = std::make_unique<TDataSource>(nullptr);
  TDataLink Link;
  Link.SetDataSource(Source.get());
  Source->SetDataSet(D.get());
  D.reset();
  EXPECT_EQ(Source->DataSet(), nullptr);
  Source.reset();
  EXPECT_EQ(Link.DataSource(), nullptr);
}
