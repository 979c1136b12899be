// Interop with independent dBase readers and writers run as black boxes: python3-dbf,
// python3-dbfread, Perl XBase and GDAL. Every tool's view of a table is printed in one
// canonical dump form (tests/table/interop/*) and compared with this engine's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "table/CodePage.h"
#include "table/DbaseFile.h"
#include "tests/table/TableTestFiles.h"

namespace {

const std::string Interop = std::string(TESSOLON_SOURCE_DIR) + "/tests/table/interop/";

bool Have(const std::string& Check) {
  return std::system((Check + " >/dev/null 2>&1").c_str()) == 0;
}
bool HavePython() {
  return Have("/usr/bin/python3 -c 'import dbf, dbfread'");
}
bool HavePerl() {
  return Have("perl -MXBase -e 1");
}
bool HaveGdal() {
  return Have("command -v ogr2ogr") && HavePython();
}

std::string RunTool(const std::string& Command) {
  std::string Output;
  FILE* Pipe = ::popen((Command + " 2>/dev/null").c_str(), "r");
  if (!Pipe) return "(failed)";
  char Buffer[4096];
  while (std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, Pipe)) Output.append(Buffer, Got);
  if (::pclose(Pipe) != 0) Output += "(exit status)";
  return Output;
}

std::string Python(const std::string& Script, const std::string& Args) {
  return RunTool("/usr/bin/python3 " + Interop + Script + " " + Args);
}
std::string Perl(const std::string& Script, const std::string& Args) {
  return RunTool("perl " + Interop + Script + " " + Args);
}

// This engine's view in the canonical form: live records, visible fields.
std::string Dump(const std::string& Name) {
  TDbaseFile File;
  File.SetFileName(Name);
  File.SetMode(pfReadOnly);
  File.Open();
  TCodePageConverter Text(File.CodePage());
  std::vector<std::uint8_t> R(File.RecordSize());
  std::string Out;
  for (int N = 1; N <= File.RecordCount(); ++N) {
    File.ReadRecord(N, R.data());
    if (R[0] == '*') continue;
    std::string Line;
    for (int I = 0; I < File.FieldDefs().Count(); ++I) {
      const TDbaseFieldDef& Def = File.FieldDefs()[I];
      if (Def.Hidden) continue;
      const TVariant V = File.GetFieldData(I, Def.FieldType, R.data());
      if (I > 0) Line += '\t';
      if (V.IsNull()) continue;
      char Buffer[64];
      switch (Def.FieldType) {
        case ftString:
          Line += Text.ToUtf8(V.AsString());
          break;
        case ftBoolean:
          Line += V.AsBoolean() ? "T" : "F";
          break;
        case ftDate: {
          const TDateParts P = DecodeDate(V.AsDateTime());
          std::snprintf(Buffer, sizeof Buffer, "%04d%02d%02d", P.Year, P.Month, P.Day);
          Line += Buffer;
          break;
        }
        default:
          std::snprintf(Buffer, sizeof Buffer, "%.4f", V.AsFloat());
          Line += Buffer;
      }
    }
    Out += Line + '\n';
  }
  return Out;
}

// Every installed peer reads Name as we do, its text in code page CodePage.
void ExpectPeersReadAlike(const std::string& Name, const std::string& Ours,
                          const std::string& CodePage = "437") {
  EXPECT_EQ(Python("dbfread_dump.py", Name + " cp" + CodePage), Ours) << "dbfread";
  if (HavePerl()) {
    EXPECT_EQ(Perl("xbase_dump.pl", Name + " " + CodePage), Ours) << "Perl XBase";
  }
  if (HaveGdal()) {
    EXPECT_EQ(Python("ogr_dump.py", Name + " " + CodePage), Ours) << "GDAL";
  }
}

// A pest-shaped table written by this engine.
void WriteOurs(const std::string& Name, int Level) {
  TDbaseFile File;
  File.SetFileName(Name);
  File.SetMode(pfExclusiveCreate);
  File.SetTableLevel(Level);
  File.CreateTable({{"IDX", 'N', 4},
                    {"NAME_PEST", 'C', 20},
                    {"F_START", 'N', 8, 2},
                    {"TIME_CH", 'N', 5},
                    {"WHEN", 'D', 8},
                    {"OK", 'L', 1}});
  TCodePageConverter Text(File.CodePage());
  std::vector<std::uint8_t> R(File.RecordSize());
  const struct {
    int Idx;
    const char* Name;
    double Start;
    int Time;
    int Day;
    bool Ok;
  } Rows[] = {{1, "Mosquito", 10.5, 250, 1, true},
              {-2, "M\u00fccke", -3.25, 0, 31, false},
              {9999, "Caf\u00e9 rat", 99999.99, 99999, 0, true},
              {4, "gone", 0, 0, 2, false}};
  for (const auto& Row : Rows) {
    File.InitRecord(R.data());
    File.SetFieldData(0, ftSmallint, TVariant(Row.Idx), R.data());
    File.SetFieldData(1, ftString, TVariant(Text.FromUtf8(Row.Name)), R.data());
    File.SetFieldData(2, ftFloat, TVariant(Row.Start), R.data());
    File.SetFieldData(3, ftFloat, TVariant(Row.Time), R.data());
    if (Row.Day)
      File.SetFieldData(4, ftDate, TVariant::FromDateTime(EncodeDate(2023, 12, Row.Day)), R.data());
    File.SetFieldData(5, ftBoolean, TVariant(Row.Ok), R.data());
    File.Insert(R.data());
  }
  File.DeleteRecord(4, R.data());
  File.WriteHeader();
}

}  // namespace

// python3-dbf marks a table's code page with FoxPro's ids (0x03 for Windows ANSI and so on);
// the text reads as it was written, here and in dbfread.
TEST(DbaseFileInteropTest, CodePageMarksOfOtherToolsReadAsWritten) {
  if (!HavePython()) GTEST_SKIP() << "python3-dbf/python3-dbfread missing";
  TScratchDir Dir;
  const struct {
    const char* Codec;
    const char* CodePage;
    const char* Text;
  } Cases[] = {{"cp1252", "1252", "Caf\u00e9"},
               {"cp850", "850", "Caf\u00e9"},
               {"cp1250", "1250", "\u0141\u00f3d\u017a"},
               {"cp1251", "1251", "\u041a\u043e\u043c\u0430\u0440"},
               {"mac_roman", "10000", "Caf\u00e9"}};
  for (const auto& Case : Cases) {
    const std::string Name = Dir.File(std::string(Case.Codec) + ".dbf");
    ASSERT_EQ(Python("dbf_write_texts.py", Name + " " + Case.Codec + " '" + Case.Text + "'"), "");
    const std::string Info = RunTable({Name, "info"}).Out;
    EXPECT_NE(Info.find(std::string("Code page: ") + Case.CodePage + "\n"), std::string::npos)
        << Info;
    EXPECT_EQ(Dump(Name), std::string(Case.Text) + "\n") << Case.Codec;
    EXPECT_EQ(RunTable({Name, "list"}).Out, std::string(" \t") + Case.Text + "\n");
    EXPECT_EQ(Python("dbfread_dump.py", Name), Dump(Name)) << Case.Codec;
  }
}

TEST(DbaseFileInteropTest, TablesWrittenByPerlXBaseAndGdalReadAlike) {
  TScratchDir Dir;
  if (!HavePerl() && !HaveGdal()) GTEST_SKIP() << "Perl XBase and GDAL missing";
  if (HavePerl()) {
    const std::string Name = Dir.File("pl.dbf");
    ASSERT_EQ(Perl("xbase_write.pl", Name), "");
    EXPECT_EQ(Dump(Name),
              "7.0000\tCockroach\t2.5000\t20240229\tT\n"
              "-12.0000\tM\u00fccke\t-0.7500\t19000101\tF\n"
              "9999.0000\tBlank\t\t\tF\n");
    EXPECT_EQ(Perl("xbase_dump.pl", Name), Dump(Name));
  }
  if (HaveGdal()) {
    const std::string Csv = Dir.File("in.csv");
    FILE* Out = std::fopen(Csv.c_str(), "w");
    // GDAL marks a missing number with asterisks, which read as null.
    std::fputs("IDX,NAME_PEST,F_START\n5,Flea,1.25\n6,Moth,-2\n,Gnat,\n", Out);
    std::fclose(Out);
    const std::string Name = Dir.File("ogr.dbf");
    ASSERT_EQ(RunTool("ogr2ogr -f 'ESRI Shapefile' " + Name + " " + Csv +
                      " -oo AUTODETECT_TYPE=YES -lco ENCODING=CP437"),
              "");
    EXPECT_EQ(Dump(Name), "5.0000\tFlea\t1.2500\n6.0000\tMoth\t-2.0000\n\tGnat\t\n");
    if (HavePython()) {
      EXPECT_EQ(Python("ogr_dump.py", Name), Dump(Name));
    }
  }
}

TEST(DbaseFileInteropTest, TablesWrittenHereReadAlikeInEveryTool) {
  if (!HavePython()) GTEST_SKIP() << "python3-dbfread missing";
  TScratchDir Dir;
  for (int Level : {3, 4}) {
    const std::string Name = Dir.File("ours" + std::to_string(Level) + ".dbf");
    WriteOurs(Name, Level);
    const std::string CodePage = Level == 3 ? "437" : "1252";
    const std::string Ours = Dump(Name);
    EXPECT_EQ(Ours,
              "1.0000\tMosquito\t10.5000\t250.0000\t20231201\tT\n"
              "-2.0000\tM\u00fccke\t-3.2500\t0.0000\t20231231\tF\n"
              "9999.0000\tCaf\u00e9 rat\t99999.9900\t99999.0000\t\tT\n");
    SCOPED_TRACE(Level);
    ExpectPeersReadAlike(Name, Ours, CodePage);
  }
}

// A table python3-dbf wrote reads alike here and in every peer, and so it does once edited here.
TEST(DbaseFileInteropTest, ToolsTablesAndEditsMadeHereToThemReadAlike) {
  if (!HavePython()) GTEST_SKIP() << "python3-dbf/python3-dbfread missing";
  TScratchDir Dir;
  const std::string Name = Dir.File("py.dbf");
  ASSERT_EQ(Python("dbf_write.py", Name), "");
  const std::string Written = Dump(Name);
  EXPECT_EQ(Written,
            "1.0000\tMosquito\t10.5000\t250.0000\t20240301\tT\n"
            "2.0000\tM\u00fccke\t-3.2500\t0.0000\t19991231\tF\n"
            "3.0000\tRat\t0.0000\t99999.0000\t\tF\n");
  ExpectPeersReadAlike(Name, Written);
  {
    const auto File = OpenFile(Name);
    TCodePageConverter Text(File->CodePage());
    std::vector<std::uint8_t> R(File->RecordSize());
    File->LockRecord(1, R.data());
    File->SetFieldData(1, ftString, TVariant(Text.FromUtf8("Stechm\u00fccke")), R.data());
    File->SetFieldData(2, ftFloat, TVariant(), R.data());
    File->PostRecord(1, R.data());
    File->DeleteRecord(2, R.data());
    File->InitRecord(R.data());
    File->SetFieldData(0, ftSmallint, TVariant(42), R.data());
    File->SetFieldData(1, ftString, TVariant("Wasp"), R.data());
    File->SetFieldData(5, ftBoolean, TVariant(true), R.data());
    EXPECT_EQ(File->Insert(R.data()), 5);
    File->WriteHeader();
  }
  const std::string Ours = Dump(Name);
  EXPECT_EQ(Ours,
            "1.0000\tStechm\u00fccke\t\t250.0000\t20240301\tT\n"
            "3.0000\tRat\t0.0000\t99999.0000\t\tF\n"
            "42.0000\tWasp\t\t\t\tT\n");
  ExpectPeersReadAlike(Name, Ours);
}

// LibreOffice Calc writes UTF-8 text and no code-page mark. Such a table, appended to here,
// reads the same in dbfread: the new text is UTF-8 too, and the cut to the field's width left
// no half character behind.
TEST(DbaseFileInteropTest, UnmarkedUtf8TableKeepsItsEncodingWhenWrittenHere) {
  if (!HavePython()) GTEST_SKIP() << "python3-dbfread missing";
  TScratchDir Dir;
  const std::string Name = Dir.File("calc.dbf");
  WriteFile(Name, MakeDbf({{"IDX", 'N', 3}, {"NAME", 'C', 8}}, {"   1Moth \xC3\x9C "}));
  // Nine bytes of UTF-8 for a field of eight: the last character goes whole.
  ASSERT_EQ(TableCommand({Name, "append", "IDX=2", "NAME=Gr\u00FC\u00DFe\u00DC"}), 0);
  EXPECT_EQ(Dump(Name), "1.0000\tMoth \u00DC\n2.0000\tGr\u00FC\u00DFe\n");
  EXPECT_EQ(Python("dbfread_dump.py", Name + " utf-8"), Dump(Name));
}

// The shipped table carries the Thai code page's mark: Thai names appended by the table command
// read back alike in the command's list, in dbfread and in GDAL, both of which take the code
// page from the mark. A Thai character takes one byte there, so the 30-byte name holds 30.
TEST(DbaseFileInteropTest, ThaiNamesInTheShippedTableReadAlikeInEveryTool) {
  if (!HavePython()) GTEST_SKIP() << "python3-dbfread missing";
  TScratchDir Dir;
  const std::string Name = Dir.File("para.dbf");
  WriteFile(Name, ReadFile(std::string(TESSOLON_SOURCE_DIR) + "/data/para.dbf"));
  std::string Thirty;
  for (int I = 0; I < 10; ++I) Thirty += "\u0E22\u0E38\u0E07";  // "mosquito", three characters
  const struct {
    std::string Written, Read;
  } Names[] = {
      {"\u0E22\u0E38\u0E07", "\u0E22\u0E38\u0E07"},
      {"\u0E41\u0E21\u0E25\u0E07\u0E2A\u0E32\u0E1A", "\u0E41\u0E21\u0E25\u0E07\u0E2A\u0E32\u0E1A"},
      {"Mosquito \u0E22\u0E38\u0E07 \u0E3F5", "Mosquito \u0E22\u0E38\u0E07 \u0E3F5"},
      {Thirty, Thirty},
      {Thirty + "\u0E01", Thirty}};
  std::string Listed;
  for (std::size_t I = 0; I < std::size(Names); ++I) {
    const std::string Idx = std::to_string(20 + I);
    const TTableRun Run = RunTable({Name, "append", "IDX=" + Idx, "NAME_PEST=" + Names[I].Written});
    ASSERT_EQ(Run.Status, 0) << Run.Err;
    Listed += " \t" + Idx + "\t" + Names[I].Read + "\n";
  }
  // The command's list: the deletion flag, IDX, NAME_PEST and the other fields.
  std::istringstream List(RunTable({Name, "list"}).Out);
  std::string Ours;
  for (std::string Flag, Idx, Pest, Rest;
       std::getline(List, Flag, '\t') && std::getline(List, Idx, '\t') &&
       std::getline(List, Pest, '\t') && std::getline(List, Rest);)
    if (std::stoi(Idx) >= 20) Ours += Flag + "\t" + Idx + "\t" + Pest + "\n";
  EXPECT_EQ(Ours, Listed);
  EXPECT_EQ(Python("dbfread_dump.py", Name), Dump(Name)) << "dbfread";
  if (HaveGdal()) {
    EXPECT_EQ(Python("ogr_dump.py", Name + " mark"), Dump(Name)) << "GDAL";
  }
  EXPECT_NE(Dump(Name).find("\t" + Thirty + "\t"), std::string::npos);
}
