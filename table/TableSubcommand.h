// What the subcommands of the headless "table" command share: the options given before the
// subcommand, opening the table the way every subcommand does, and the shape of a subcommand.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/CommandLine.h"
#include "table/DbaseTable.h"

// How the subcommands open the table: unless "--open" says otherwise, reading ones read-only
// and writing ones shared.
enum TOpenChoice { ocDefault, ocShared, ocExclusive };

// FILE and the options in front of SUBCOMMAND, which apply to whatever the subcommand opens.
struct TTableCommandOptions {
  std::string FileName;              // as given, relative to the current directory
  std::vector<std::string> Indexes;  // "--index NDX": kept up to date while the table changes
  TOpenChoice Open = ocDefault;      // "--open shared|exclusive"
  int CodePage = 0;                  // "--encoding NAME": 0 as the table says
};

// Name made absolute from the current directory, as the table engine keeps file names.
std::string CommandFileName(const std::string& Name);

// Opens the options' table as the subcommands do: as "--open" says, else shared and read-only
// unless Write; deleted records shown so that record numbers address every record, the options'
// indexes attached. An index found damaged and rebuilt is reported on stderr.
std::unique_ptr<TDbaseTable> OpenCommandTable(const TTableCommandOptions& Options, bool Write);

// What a subcommand does once its arguments have been read.
using TTableAction = std::function<int(const TTableCommandOptions& Options)>;

// A subcommand: its name, its usage lines, and Define, which declares its arguments on its own
// options and returns the action that uses them.
struct TTableSubcommand {
  std::string Name;
  std::string Usage;
  std::function<TTableAction(TOptions& Args)> Define;
};
