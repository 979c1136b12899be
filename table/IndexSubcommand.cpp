#include "table/IndexSubcommand.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "platform/core/Translation.h"
#include "table/CodePage.h"
#include "table/DbaseMessages.h"
#include "table/NdxIndex.h"
#include "table/NdxVerify.h"

namespace {

// Builds the index in a file of its own under exclusive access to the table; a failed build
// leaves no file behind.
int Create(const TTableCommandOptions& Options, const std::string& IndexName,
           const std::string& Expression, TIndexOptions Flags) {
  TDbaseFile Table;
  Table.SetFileName(CommandFileName(Options.FileName));
  Table.SetMode(pfExclusiveOpen);
  Table.Open();
  TIndexFile Index(Table);
  Index.SetFileName(CommandFileName(IndexName));
  Index.SetMode(pfExclusiveCreate);
  try {
    Index.Open();
    Index.CreateIndex(Expression, Flags);
    Index.Rebuild();
    Index.Close();
  } catch (...) {
    try {
      Index.Close();
    } catch (const std::exception&) {
    }
    std::filesystem::remove(Index.FileName());
    throw;
  }
  return ecSuccess;
}

// The table opened read-only with the index attached, and that index.
TIndexFile& OpenWithIndex(std::unique_ptr<TDbaseTable>& Table, const TTableCommandOptions& Options,
                          const std::string& IndexName) {
  Table = OpenCommandTable(Options, false);
  Table->AttachIndexFile(CommandFileName(IndexName));
  return *Table->FindIndex(CommandFileName(IndexName));
}

int List(const TTableCommandOptions& Options, const std::string& IndexName) {
  std::unique_ptr<TDbaseTable> Table;
  TIndexFile& Index = OpenWithIndex(Table, Options, IndexName);
  TDbaseFile& File = *Table->TableFile();
  const TCodePageConverter Converter(File.CodePage());
  std::vector<std::uint8_t> Record(File.RecordSize());
  std::string Line;
  for (Index.CursorFirst(); Index.CursorNext();) {
    const int RecNo = Index.CursorRecNo();
    File.ReadRecord(RecNo, Record.data());
    std::string Key = Index.Key().Text(Index.Key().Build(Record.data()).data());
    if (Index.Key().KeyType() == 'C') Key = Converter.ToUtf8(Key);
    Line = Key + '\t' + std::to_string(RecNo) + '\n';
    std::cout << Line;
  }
  return ecSuccess;
}

int Verify(const TTableCommandOptions& Options, const std::string& IndexName) {
  // Opened by itself, not attached: a damaged index is reported here, never rebuilt.
  const auto Table = OpenCommandTable(Options, false);
  TIndexFile Index(*Table->TableFile());
  Index.SetFileName(CommandFileName(IndexName));
  Index.SetMode(pfReadOnly);
  Index.Open();
  const std::string Fault = VerifyIndex(Index);
  if (!Fault.empty()) throw Exception("Index \"" + Index.FileName() + "\": " + Fault + ".");
  std::cout << "Index \"" << Index.FileName() << "\" is sound.\n";
  return ecSuccess;
}

// The arguments of "index NDX create|list|verify".
struct TIndexArgs {
  std::string IndexName, Expression;
  TIndexOptions Flags = 0;
};

TTableAction Define(TOptions& Index) {
  auto Args = std::make_shared<TIndexArgs>();
  Index.Add("NDX", Args->IndexName).Required();
  Index.AtMostOneSubcommand();
  TOptions CreateArgs = Index.Subcommand("create");
  CreateArgs.Add("EXPR", Args->Expression).Required();
  CreateArgs.Flag("--unique", [Args] { Args->Flags |= ixUnique; });
  CreateArgs.Flag("--distinct", [Args] { Args->Flags |= ixPrimary | ixUnique; });
  CreateArgs.Flag("--descending", [Args] { Args->Flags |= ixDescending; });
  const TOptions ListArgs = Index.Subcommand("list");
  const TOptions VerifyArgs = Index.Subcommand("verify");
  return [Args, CreateArgs, ListArgs, VerifyArgs](const TTableCommandOptions& Options) {
    if (CreateArgs.Chosen()) return Create(Options, Args->IndexName, Args->Expression, Args->Flags);
    if (ListArgs.Chosen()) return List(Options, Args->IndexName);
    if (VerifyArgs.Chosen()) return Verify(Options, Args->IndexName);
    throw EBadArguments("missing create, list or verify after index NDX");
  };
}

}  // namespace

TTableSubcommand IndexSubcommand() {
  return {
      "index",
      TrMark(
          "  index NDX create EXPR [--unique|--distinct] [--descending]\n"
          "                           build an index on the field EXPR (under exclusive access)\n"
          "  index NDX list           one line per entry in key order: key, tab, record number\n"
          "  index NDX verify         check the tree and its keys against the records; names the\n"
          "                           first fault and exits 1 when there is one\n"
          "Options before SUBCOMMAND: --index NDX (repeatable) keeps that index up to date while\n"
          "set, append and delete change the table.\n"),
      Define};
}
