#include "sweep/PestTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "sound/ToneGen.h"
#include "sweep/PestFields.h"
#include "table/DbaseFile.h"

namespace {

std::string StoredDialog() {
  std::ifstream File(std::string(TESSOLON_SOURCE_DIR) + "/resources/frmUtil.dfm");
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// The value of Property in the dialog's object Name, "" when either is missing.
std::string StoredValue(const std::string& Name, const std::string& Property) {
  const std::string Dialog = StoredDialog();
  const auto Start = Dialog.find("object " + Name + ": ");
  if (Start == std::string::npos) return "";
  const auto End = Dialog.find("object ", Start + 7);
  const auto At = Dialog.find(Property + " = ", Start);
  if (At == std::string::npos || At > End) return "";
  const auto From = At + Property.size() + 3;
  return Dialog.substr(From, Dialog.find('\n', From) - From);
}

// The tone generator's object as the Adjustment dialog's definition stores it.
std::string StoredToneGen() {
  const std::string Dialog = StoredDialog();
  const std::string Head = "  object ToneGen1: TToneGen\n";
  const auto Start = Dialog.find(Head);
  if (Start == std::string::npos) return "";
  const auto End = Dialog.find("\n  end\n", Start);
  std::string Object = Dialog.substr(Start, End + 7 - Start);
  // One level up, so it reads as a definition of its own.
  std::string Result;
  std::istringstream Lines(Object);
  for (std::string Line; std::getline(Lines, Line);) Result += Line.substr(2) + "\n";
  return Result;
}

}  // namespace

TEST(DialogToneSettings, MatchTheToneGeneratorStoredInTheDialog) {
  const std::string Stored = StoredToneGen();
  if (Stored.empty()) GTEST_SKIP() << "the dialog's definition holds no tone generator yet";
  TToneGen FromDialog(nullptr);
  ReadDefinition(FromDialog, Stored, "frmUtil.dfm");

  TToneGen Headless(nullptr);
  Headless.SetName("ToneGen1");
  ApplyDialogToneSettings(Headless);
  EXPECT_EQ(WriteDefinition(Headless), WriteDefinition(FromDialog));
}

TEST(DialogToneSettings, HeadlessHostStartsLikeTheDialogsControls) {
  if (StoredValue("tbL", "Position").empty()) GTEST_SKIP() << "the dialog holds no sliders yet";
  TPestTable Table(TESSOLON_SOURCE_DIR "/data/");
  TPlainSweepHost Host(Table);
  EXPECT_EQ(std::to_string(Host.LeftVolume()), StoredValue("tbL", "Position"));
  EXPECT_EQ(std::to_string(Host.RightVolume()), StoredValue("tbR", "Position"));
  EXPECT_EQ(std::to_string(Host.Amplitude()), StoredValue("tramp", "Position"));
  EXPECT_EQ(std::to_string(Host.BandMin()), StoredValue("tbLine", "Min"));
  EXPECT_EQ(std::to_string(Host.BandMax()), StoredValue("tbLine", "Max"));
  EXPECT_EQ(std::to_string(Host.Position()), StoredValue("tbLine", "Position"));
  for (const char* Box : {"chster", "chPlay", "chSND", "chAuto"})
    EXPECT_EQ(StoredValue(Box, "Checked"), "True") << Box;
  EXPECT_TRUE(Host.Stereo() && Host.PlayADSR() && Host.SoundCard() && Host.AutoChange());
}

// The one layout in the code is the one the shipped table has on disk.
TEST(PestLayout, IsTheShippedTablesLayout) {
  TDbaseFile Shipped;
  Shipped.SetFileName(TESSOLON_SOURCE_DIR "/data/para.dbf");
  Shipped.SetMode(pfReadOnly);
  Shipped.Open();
  const std::vector<TDbaseFieldDef> Expected = PestFileFields();
  ASSERT_EQ(Shipped.FieldDefs().Count(), static_cast<int>(Expected.size()));
  for (int I = 0; I < Shipped.FieldDefs().Count(); ++I) {
    const TDbaseFieldDef& Stored = Shipped.FieldDefs()[I];
    EXPECT_EQ(Stored.FieldName, Expected[I].FieldName);
    EXPECT_EQ(Stored.NativeFieldType, Expected[I].NativeFieldType) << Stored.FieldName;
    EXPECT_EQ(Stored.Size, Expected[I].Size) << Stored.FieldName;
    EXPECT_EQ(Stored.Precision, Expected[I].Precision) << Stored.FieldName;
  }
}
