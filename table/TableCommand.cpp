#include "table/TableCommand.h"

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "platform/core/Translation.h"
#include "table/CodePage.h"
#include "table/DbaseMessages.h"
#include "table/IndexSubcommand.h"
#include "table/ListLine.h"
#include "table/TableSubcommand.h"

namespace {

const char* VersionName(TTableVersion Version) {
  switch (Version) {
    case tvDbase3:
      return "dBase III";
    case tvDbase4:
      return "dBase IV";
    case tvDbase7:
      return "dBase VII";
    case tvFoxPro:
      return "FoxPro";
    case tvVisualFoxPro:
      return "Visual FoxPro";
    case tvUnknown:
      break;
  }
  return "unknown";
}

// The header's code-page mark: a language driver id, or a level-7 driver name.
std::string MarkText(const TDbaseFile& File) {
  if (File.Version() != tvDbase7) {
    char Id[8];
    std::snprintf(Id, sizeof Id, "0x%02X", File.LanguageId());
    return Id;
  }
  std::string Name = "\"";
  for (int I = 32; I < 64 && File.Header()[I] != 0; ++I)
    Name += File.Header()[I] >= 0x20 && File.Header()[I] < 0x7F ? char(File.Header()[I]) : '?';
  return Name + "\"";
}

bool HasMark(const TDbaseFile& File) {
  return File.Version() == tvDbase7 ? File.Header()[32] != 0 : File.LanguageId() != 0;
}

// The encoding the text is read and written in, and why.
std::string EncodingLine(const TDbaseFile& File) {
  const std::string Unmarked =
      HasMark(File) ? "unknown code-page mark " + MarkText(File) : "no code-page mark";
  std::string Why;
  switch (File.CodePageSource()) {
    case csMark:
      Why = "code-page mark " + MarkText(File);
      break;
    case csDefault:
      Why = Unmarked + "; default";
      break;
    case csUtf8Text:
      Why = Unmarked + "; the text is valid UTF-8";
      break;
    case csChosen:
      Why = "--encoding";
      break;
  }
  return "Encoding: " + CodePageName(File.CodePage()) + " (" + Why + ")\n";
}

void AddRecNo(TOptions& Options, int& RecNo) {
  Options.Add("RECNO", RecNo).Required().Check(WholeRange(1, 0x7FFFFFFF));
}

// Moves to record RecNo (deleted or not) or refuses when the table has no such record.
void GotoRecord(TDbaseTable& Table, int RecNo) {
  if (RecNo > Table.RecordCount())
    throw Exception("Record " + std::to_string(RecNo) + " does not exist (the table has " +
                    std::to_string(Table.RecordCount()) + " records).");
  Table.GotoBookmark(RecNo);
}

using TAssignments = std::vector<std::pair<std::string, std::string>>;

// The NAME=VALUE arguments, checked before the table is touched.
void AddAssignments(TOptions& Options, std::vector<std::string>& Texts) {
  Options.Add("NAME=VALUE", Texts).Required().Check([](const std::string& Text) {
    const auto Eq = Text.find('=');
    return Eq == std::string::npos || Eq == 0 ? "expected NAME=VALUE, got '" + Text + "'"
                                              : std::string();
  });
}

TAssignments Assignments(const std::vector<std::string>& Texts) {
  TAssignments Pairs;
  for (const std::string& Text : Texts) {
    const auto Eq = Text.find('=');
    Pairs.emplace_back(Text.substr(0, Eq), Text.substr(Eq + 1));
  }
  return Pairs;
}

// Into the record being edited; an empty VALUE clears the field.
void AssignFields(TDbaseTable& Table, const TAssignments& Pairs) {
  for (const auto& [Name, Value] : Pairs) Table.FieldByName(Name)->SetAsString(Value);
}

int Info(const TTableCommandOptions& Options) {
  const auto Table = OpenCommandTable(Options, false);
  TDbaseFile& File = *Table->TableFile();
  const std::uint8_t* H = File.Header();
  char Line[160];
  std::cout << "File: " << File.FileName() << '\n';
  std::snprintf(Line, sizeof Line, "Version byte: 0x%02X (%s, level %d)%s\n", H[0],
                VersionName(File.Version()), File.TableLevel(), H[0] & 0x80 ? ", memo" : "");
  std::cout << Line;
  const TUpdateDate Updated = File.LastUpdate();
  std::snprintf(Line, sizeof Line, "Last update: %04d-%02d-%02d\n", Updated.Year, Updated.Month,
                Updated.Day);
  std::cout << Line;
  std::cout << "Header length: " << File.HeaderSize() << '\n'
            << "Record length: " << File.RecordSize() << '\n'
            << "Records: " << Table->RecordCount() << '\n';
  std::snprintf(Line, sizeof Line, "Language driver: 0x%02X\n", File.LanguageId());
  std::cout << Line << "Code page: " << File.CodePage()
            << (CodePageSupported(File.CodePage()) ? "" : " (not translatable: read-only)") << '\n'
            << EncodingLine(File) << "Production index: " << (H[28] ? "yes" : "no") << '\n'
            << "Fields: " << File.FieldDefs().Count() << '\n';
  for (const TDbaseFieldDef& Def : File.FieldDefs()) {
    std::snprintf(Line, sizeof Line, "  %-10s %c %3d %2d  %s%s\n", Def.FieldName.c_str(),
                  Def.NativeFieldType, Def.StoredLength, Def.Precision,
                  FieldTypeName(Def.FieldType), Def.Hidden ? " (hidden)" : "");
    std::cout << Line;
  }
  return ecSuccess;
}

int List(const TTableCommandOptions& Options) {
  const auto Table = OpenCommandTable(Options, false);
  const TListLine Line(*Table);
  // Lines gather in one buffer that goes out in large writes, not one per record, and straight
  // to the standard output's file, past the stream layers.
  constexpr std::size_t WriteSize = 64 * 1024;
  std::string Out;
  Out.reserve(2 * WriteSize);
  for (Table->First(); !Table->Eof(); Table->Next()) {
    Line.Append(Out);
    if (Out.size() < WriteSize) continue;
    std::fwrite(Out.data(), 1, Out.size(), stdout);
    Out.clear();
  }
  std::fwrite(Out.data(), 1, Out.size(), stdout);
  return ecSuccess;
}

// The arguments of set, append and delete.
struct TRecordEdit {
  int RecNo = 0;
  std::vector<std::string> Assignments;
};

TTableAction DefineSet(TOptions& Args) {
  auto Edit = std::make_shared<TRecordEdit>();
  AddRecNo(Args, Edit->RecNo);
  AddAssignments(Args, Edit->Assignments);
  return [Edit](const TTableCommandOptions& Options) {
    const TAssignments Pairs = Assignments(Edit->Assignments);
    const auto Table = OpenCommandTable(Options, true);
    GotoRecord(*Table, Edit->RecNo);
    Table->Edit();
    AssignFields(*Table, Pairs);
    Table->Post();
    return int(ecSuccess);
  };
}

TTableAction DefineAppend(TOptions& Args) {
  auto Edit = std::make_shared<TRecordEdit>();
  AddAssignments(Args, Edit->Assignments);
  return [Edit](const TTableCommandOptions& Options) {
    const TAssignments Pairs = Assignments(Edit->Assignments);
    const auto Table = OpenCommandTable(Options, true);
    Table->Append();
    AssignFields(*Table, Pairs);
    Table->Post();
    return int(ecSuccess);
  };
}

TTableAction DefineDelete(TOptions& Args) {
  auto Edit = std::make_shared<TRecordEdit>();
  AddRecNo(Args, Edit->RecNo);
  return [Edit](const TTableCommandOptions& Options) {
    const auto Table = OpenCommandTable(Options, true);
    GotoRecord(*Table, Edit->RecNo);
    Table->Delete();
    return int(ecSuccess);
  };
}

// The subcommands, in the order the usage lists them.
const std::vector<TTableSubcommand>& TableSubcommands() {
  static const std::vector<TTableSubcommand> Subcommands = {
      {"info",
       TrMark(
           "  info                     header, fields (type, size, decimals), records, code page,\n"
           "                           the encoding of the text and why it was chosen\n"),
       [](TOptions&) -> TTableAction { return Info; }},
      {"list",
       TrMark("  list                     one line per record: deletion flag ('*' or blank), then "
              "the\n"
              "                           field values, separated by tabs\n"),
       [](TOptions&) -> TTableAction { return List; }},
      {"set", TrMark("  set RECNO NAME=VALUE...  edit record RECNO; an empty VALUE sets null\n"),
       DefineSet},
      {"append", TrMark("  append NAME=VALUE...     add a record\n"), DefineAppend},
      {"delete", TrMark("  delete RECNO             flag record RECNO as deleted\n"), DefineDelete},
      IndexSubcommand(),
  };
  return Subcommands;
}

std::string Usage() {
  std::string Text = Tr("Usage: tessolon table FILE SUBCOMMAND [ARGS]\n");
  for (const TTableSubcommand& Sub : TableSubcommands()) Text += Tr(Sub.Usage);
  Text +=
      Tr("Options before SUBCOMMAND: --open shared|exclusive opens the table shared for writing\n"
         "or alone, whatever the subcommand; otherwise reading subcommands open it read-only and\n"
         "writing ones shared.\n"
         "--encoding NAME reads and writes the text in that encoding, an iconv name such as\n"
         "UTF-8, CP1252, CP437 or CP850, whatever the table's code-page mark says. Without it a\n"
         "table with no mark is read as UTF-8 when its text is valid UTF-8 and not plain ASCII\n"
         "(LibreOffice Calc writes such tables), else as code page 437.\n"
         "Record numbers count from 1 in file order, deleted records included. Values are typed\n"
         "as the list shows them (dates YYYYMMDD, booleans T or F).\n"
         "Exit status: 0 done, 1 refused by the table engine (its message is printed), 2 bad\n"
         "arguments.\n");
  return Text;
}

}  // namespace

int TableCommand(const std::vector<std::string>& Args) {
  TCommandLine Line("tessolon table", Usage());
  TOptions& Command = Line.Options();
  TTableCommandOptions Options;
  Command.Add("FILE", Options.FileName).Required();
  Command.Add("--index", Options.Indexes).KeepAll().TypeName("NDX");
  Command
      .AddText("--open",
               [&Options](const std::string& Mode) {
                 Options.Open = Mode == "shared" ? ocShared : ocExclusive;
               })
      .Check(OneOf({"shared", "exclusive"}))
      .TypeName("shared|exclusive");
  Command
      .AddText(
          "--encoding",
          [&Options](const std::string& Name) { Options.CodePage = CodePageOfEncodingName(Name); })
      .Check([](const std::string& Name) {
        const int Page = CodePageOfEncodingName(Name);
        return Page != 0 && CodePageSupported(Page)
                   ? std::string()
                   : "unknown encoding '" + Name +
                         "' (expected an iconv name of a code page that keeps ASCII, such as "
                         "UTF-8, CP1252 or CP437)";
      })
      .TypeName("NAME");
  // Those options come before the subcommand; each subcommand reads only its own arguments.
  Command.AtMostOneSubcommand();
  std::vector<std::pair<TOptions, TTableAction>> Actions;
  for (const TTableSubcommand& Sub : TableSubcommands()) {
    TOptions SubOptions = Command.Subcommand(Sub.Name);
    Actions.emplace_back(SubOptions, Sub.Define(SubOptions));
  }
  return Line.Run(Args, [&] {
    for (const auto& [SubOptions, Action] : Actions)
      if (SubOptions.Chosen()) return Action(Options);
    throw EBadArguments("missing SUBCOMMAND");
  });
}
