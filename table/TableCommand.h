// The headless "table" command: inspect and edit a dBase table from the command line.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/CommandLine.h"
#include "table/DbaseTable.h"

int TableCommand(const std::vector<std::string>& Args);

// Opens FileName (relative to the current directory) as the subcommands do: shared, read-only
// unless Write, deleted records shown so that record numbers address every record.
std::unique_ptr<TDbaseTable> OpenCommandTable(const std::string& FileName, bool Write);

// A subcommand: its name, its usage lines, and its body taking the table file name and the
// remaining arguments.
struct TTableSubcommand {
  std::string Name;
  std::string Usage;
  std::function<int(const std::string& FileName, TArgList& Args)> Run;
};
// The subcommands "table" knows, in the order its usage lists them.
const std::vector<TTableSubcommand>& TableSubcommands();
