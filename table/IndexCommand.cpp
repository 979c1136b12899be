#include "table/IndexCommand.h"

#include <filesystem>
#include <iostream>

#include "table/CodePage.h"
#include "table/DbaseMessages.h"
#include "table/NdxIndex.h"
#include "table/NdxVerify.h"

namespace {

std::vector<std::string>& CommandIndexes() {
  static std::vector<std::string> Names;
  return Names;
}

std::string FullName(const std::string& Name) {
  return std::filesystem::absolute(Name).lexically_normal().string();
}

void NoMoreArguments(TArgList& Args) {
  if (!Args.Empty()) throw EBadArguments("unexpected argument '" + Args.Peek() + "'");
}

// Builds the index in a file of its own under exclusive access to the table; a failed build
// leaves no file behind.
int Create(const std::string& TableName, const std::string& IndexName, TArgList& Args) {
  const std::string Expression = Args.Take("EXPR");
  TIndexOptions Options = 0;
  while (!Args.Empty()) {
    const std::string Option = Args.Take("option");
    if (Option == "--unique")
      Options |= ixUnique;
    else if (Option == "--distinct")
      Options |= ixPrimary | ixUnique;
    else if (Option == "--descending")
      Options |= ixDescending;
    else
      throw EBadArguments("unknown option '" + Option + "'");
  }
  TDbaseFile Table;
  Table.SetFileName(FullName(TableName));
  Table.SetMode(pfExclusiveOpen);
  Table.Open();
  TIndexFile Index(Table);
  Index.SetFileName(FullName(IndexName));
  Index.SetMode(pfExclusiveCreate);
  try {
    Index.Open();
    Index.CreateIndex(Expression, Options);
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
TIndexFile& OpenWithIndex(std::unique_ptr<TDbaseTable>& Table, const std::string& TableName,
                          const std::string& IndexName) {
  Table = OpenCommandTable(TableName, false);
  Table->AttachIndexFile(FullName(IndexName));
  return *Table->FindIndex(FullName(IndexName));
}

int List(const std::string& TableName, const std::string& IndexName, TArgList& Args) {
  NoMoreArguments(Args);
  std::unique_ptr<TDbaseTable> Table;
  TIndexFile& Index = OpenWithIndex(Table, TableName, IndexName);
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

int Verify(const std::string& TableName, const std::string& IndexName, TArgList& Args) {
  NoMoreArguments(Args);
  // Opened by itself, not attached: a damaged index is reported here, never rebuilt.
  const auto Table = OpenCommandTable(TableName, false);
  TIndexFile Index(*Table->TableFile());
  Index.SetFileName(FullName(IndexName));
  Index.SetMode(pfReadOnly);
  Index.Open();
  const std::string Fault = VerifyIndex(Index);
  if (!Fault.empty()) throw Exception("Index \"" + Index.FileName() + "\": " + Fault + ".");
  std::cout << "Index \"" << Index.FileName() << "\" is sound.\n";
  return ecSuccess;
}

int Run(const std::string& TableName, TArgList& Args) {
  const std::string IndexName = Args.Take("NDX");
  const std::string Action = Args.Take("create|list|verify");
  if (Action == "create") return Create(TableName, IndexName, Args);
  if (Action == "list") return List(TableName, IndexName, Args);
  if (Action == "verify") return Verify(TableName, IndexName, Args);
  throw EBadArguments("unknown index action '" + Action + "'");
}

}  // namespace

void ClearCommandIndexes() {
  CommandIndexes().clear();
}

bool TakeCommandIndex(TArgList& Args) {
  if (Args.Empty() || (Args.Peek() != "--index" && !Args.Peek().starts_with("--index=")))
    return false;
  Args.Take("--index");
  CommandIndexes().push_back(Args.TakeValue("--index"));
  return true;
}

void AttachCommandIndexes(TDbaseTable& Table) {
  for (const std::string& Name : CommandIndexes()) Table.AttachIndexFile(FullName(Name));
}

TTableSubcommand IndexSubcommand() {
  return {"index",
          "  index NDX create EXPR [--unique|--distinct] [--descending]\n"
          "                           build an index on the field EXPR (under exclusive access)\n"
          "  index NDX list           one line per entry in key order: key, tab, record number\n"
          "  index NDX verify         check the tree and its keys against the records; names the\n"
          "                           first fault and exits 1 when there is one\n"
          "Options before SUBCOMMAND: --index NDX (repeatable) keeps that index up to date while\n"
          "set, append and delete change the table.\n",
          Run};
}
