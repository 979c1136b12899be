// The index parts of the "table" command: "--index NDX" attaching an index to every
// subcommand, and the "index NDX create|list|verify" subcommand.
#pragma once

#include <string>
#include <vector>

#include "table/DbaseTable.h"
#include "table/TableCommand.h"

// Takes every "--index NDX" (or "--index=NDX") at the front of Args; the names are attached
// by AttachCommandIndexes to each table the command opens.
void TakeCommandIndexes(TArgList& Args);
void AttachCommandIndexes(TDbaseTable& Table);

// The "index" subcommand.
TTableSubcommand IndexSubcommand();
