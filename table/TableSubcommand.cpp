#include "table/TableSubcommand.h"

#include <filesystem>
#include <iostream>

#include "platform/data/DatabaseError.h"

std::string CommandFileName(const std::string& Name) {
  return std::filesystem::absolute(Name).lexically_normal().string();
}

std::unique_ptr<TDbaseTable> OpenCommandTable(const TTableCommandOptions& Options, bool Write) {
  auto Table = std::make_unique<TDbaseTable>(nullptr);
  Table->SetTableName(CommandFileName(Options.FileName));
  Table->SetReadOnly(!Write && Options.Open == ocDefault);
  Table->SetExclusive(Options.Open == ocExclusive);
  Table->SetShowDeleted(true);
  Table->SetChosenCodePage(Options.CodePage);
  Table->OnIndexNotice = [](TDbaseTable*, const std::string& Notice) {
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
