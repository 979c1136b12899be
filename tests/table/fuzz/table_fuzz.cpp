// Opens arbitrary bytes as a table and reads every field of every record; then edits and
// appends one record so that the write paths see the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "table/CodePage.h"
#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A folder of the run's own under TMPDIR, removed at exit.
std::string ScratchFile() {
  static const TScratchFolder Folder("table_fuzz-");
  static const std::string Name = (Folder / "table.dbf").string();
  return Name;
}

void ReadEverything(TDbaseFile& File) {
  TCodePageConverter Converter(File.CodePage());
  std::vector<std::uint8_t> Record(File.RecordSize());
  const int Count = std::min(File.RecordCount(), 2000);
  for (int N = 1; N <= Count; ++N) {
    File.ReadRecord(N, Record.data());
    for (int I = 0; I < File.FieldDefs().Count(); ++I) {
      const TVariant Value = File.GetFieldData(I, File.FieldDefs()[I].FieldType, Record.data());
      if (Value.VarType() == varString) Converter.ToUtf8(Value.AsString());
    }
  }
}

void EditAndAppend(TDbaseFile& File) {
  std::vector<std::uint8_t> Record(File.RecordSize());
  if (File.RecordCount() > 0) {
    File.LockRecord(1, Record.data());
    for (int I = 0; I < File.FieldDefs().Count(); ++I) {
      const TDbaseFieldDef& Def = File.FieldDefs()[I];
      const TVariant Value = File.GetFieldData(I, Def.FieldType, Record.data());
      try {
        File.SetFieldData(I, Def.FieldType, Value, Record.data());
      } catch (const EDbaseError&) {
        // Memo fields and values that no longer fit are refused: that is the point.
      }
    }
    File.PostRecord(1, Record.data());
  }
  File.InitRecord(Record.data());
  File.Insert(Record.data());
  File.WriteHeader();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Name = ScratchFile();
  if (FILE* Out = std::fopen(Name.c_str(), "wb")) {
    std::fwrite(Data, 1, Size, Out);
    std::fclose(Out);
  }
  for (TPagedFileMode Mode : {pfReadOnly, pfReadWriteOpen}) {
    try {
      TDbaseFile File;
      File.SetFileName(Name);
      File.SetMode(Mode);
      File.Open();
      ReadEverything(File);
      if (Mode != pfReadOnly) EditAndAppend(File);
      File.Close();
    } catch (const Exception&) {
      // Bad input is refused with a message; anything else (a crash, a sanitizer report, another
      // exception type) is a finding.
    }
  }
  std::remove(Name.c_str());
  return 0;
}
