// Writes the shipped pest table FOLDER/para.dbf and its index FOLDER/idx.ndx (on IDX, primary
// and unique, as the program declares it) through our own table engine, marked with the code
// page of the names.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "sweep/PestFields.h"
#include "table/DbaseTable.h"

namespace {

struct TProfile {
  const char* Name;
  int LowHz, HighHz, Step, Interval, Tone, Wave;
};

// Bands in hertz; the table stores them in beat units (hertz / 2.8613531). Tops stay below
// 48000 Hz, half the tone generator's highest sample rate, so no tone folds back down.
const TProfile Profiles[] = {
    {"Mosquito", 15000, 22000, 250, 200, 150, 1},  {"Cockroach", 25000, 40000, 500, 250, 200, 3},
    {"Rat", 22000, 35000, 400, 300, 250, 1},       {"Mouse", 30000, 45000, 500, 200, 180, 2},
    {"House fly", 10000, 18000, 200, 150, 120, 0}, {"Flea", 18000, 28000, 300, 200, 150, 1},
    {"Bat", 20000, 45000, 750, 400, 300, 4},       {"Ant", 8000, 14000, 150, 250, 200, 0},
    {"Spider", 12000, 20000, 200, 300, 250, 2},    {"Gecko", 5000, 9000, 100, 500, 400, 3},
};

double ToBeat(int Hz) {
  return std::round(Hz / (2.0 / 0.69897) * 1000.0) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Folder = argc > 1 ? argv[1] : "data";
  std::filesystem::create_directories(Folder);
  std::filesystem::remove(Folder + "/para.dbf");
  std::filesystem::remove(Folder + "/idx.ndx");
  try {
    TDbaseTable Table(nullptr);
    Table.SetFilePath(std::filesystem::absolute(Folder).string() + "/");
    Table.SetTableName("para.dbf");
    Table.SetOpenMode(omAutoCreate);
    Table.SetTableLevel(3);
    AddPestFieldDefs(Table.FieldDefs());
    Table.Open();
    int Idx = 1;
    for (const TProfile& P : Profiles) {
      Table.Append();
      Table.FieldByName(PestField::Idx)->SetAsInteger(Idx++);
      Table.FieldByName(PestField::Name)->SetAsString(P.Name);
      Table.FieldByName(PestField::Interval)->SetAsInteger(P.Interval);
      Table.FieldByName(PestField::Step)->SetAsFloat(P.Step);
      Table.FieldByName(PestField::Duration)->SetAsInteger(P.Tone);
      Table.FieldByName(PestField::BandStart)->SetAsFloat(ToBeat(P.LowHz));
      Table.FieldByName(PestField::BandEnd)->SetAsFloat(ToBeat(P.HighHz));
      Table.FieldByName(PestField::Waveform)->SetAsInteger(P.Wave);
      Table.Post();
    }
    Table.Close();
    // The same mark a user's older copy gets when the program finds it (sweep/DataFolder.cpp).
    const std::string File = std::filesystem::absolute(Folder).string() + "/para.dbf";
    if (!MarkPlainTable(File, PestTableCodePage))
      throw Exception("para.dbf could not be given its code page");
    // Reopened with the program's index definition, the missing idx.ndx is built from the
    // records.
    Table.SetOpenMode(omNormal);
    Table.Indexes().Add({"idx.ndx", PestField::Idx, ixPrimary | ixUnique});
    Table.Open();
    if (!Table.FindIndex("idx.ndx")) throw Exception("idx.ndx could not be built");
    Table.Close();
  } catch (const Exception& E) {
    std::fprintf(stderr, "make-pest-table: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
