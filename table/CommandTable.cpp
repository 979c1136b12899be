#include "table/CommandTable.h"

#include <filesystem>
#include <iostream>

#include "platform/data/DatabaseError.h"

namespace {

bool NextIs(TArgList& Args, const std::string& Option) {
  return !Args.Empty() && (Args.Peek() == Option || Args.Peek().starts_with(Option + "="));
}

TOpenChoice ParseOpenChoice(const std::string& Value) {
  if (Value == "shared") return ocShared;
  if (Value == "exclusive") return ocExclusive;
  throw EBadArguments("--open takes shared or exclusive, not '" + Value + "'");
}

}  // namespace

TTableCommandOptions TakeTableCommandOptions(TArgList& Args) {
  TTableCommandOptions Options;
  Options.FileName = Args.Take("FILE");
  for (;;) {
    if (NextIs(Args, "--index")) {
      Args.Take("--index");
      Options.Indexes.push_back(Args.TakeValue("--index"));
    } else if (NextIs(Args, "--open")) {
      Args.Take("--open");
      Options.Open = ParseOpenChoice(Args.TakeValue("--open"));
    } else {
      return Options;
    }
  }
}

std::string CommandFileName(const std::string& Name) {
  return std::filesystem::absolute(Name).lexically_normal().string();
}

std::unique_ptr<TDbaseTable> OpenCommandTable(const TTableCommandOptions& Options, bool Write) {
  auto Table = std::make_unique<TDbaseTable>(nullptr);
  Table->SetTableName(CommandFileName(Options.FileName));
  Table->SetReadOnly(!Write && Options.Open == ocDefault);
  Table->SetExclusive(Options.Open == ocExclusive);
  Table->SetShowDeleted(true);
  Table->OnIndexRebuilt = [](TDbaseTable*, const std::string& Notice) {
    std::cerr << "tessolon table: " << Notice << '\n';
  };
  try {
    Table->Open();
  } catch (const EAbort&) {
    // The engine gives up on such a table without a word; a command must say why it did nothing.
    throw Exception("Table \"" + Table->FullTableName() +
                    "\" has a zero header or record length; nothing to open.");
  }
  if (Write && !Table->CanModify())
    throw Exception("Table \"" + Table->FullTableName() + "\" cannot be modified: its code page " +
                    std::to_string(Table->CodePage()) + " cannot be translated.");
  for (const std::string& Name : Options.Indexes) Table->AttachIndexFile(CommandFileName(Name));
  return Table;
}

void NoMoreArguments(TArgList& Args) {
  if (!Args.Empty()) throw EBadArguments("unexpected argument '" + Args.Peek() + "'");
}
