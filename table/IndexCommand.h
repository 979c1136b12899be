// The index parts of the "table" command: "--index NDX" attaching an index to every
// subcommand, and the "index NDX create|list|verify" subcommand.
#pragma once

#include <string>
#include <vector>

#include "table/DbaseTable.h"
#include "table/TableCommand.h"

// Takes an "--index NDX" (or "--index=NDX") at the front of Args, if there is one; the names
// are attached by AttachCommandIndexes to each table the command opens until cleared.
bool TakeCommandIndex(TArgList& Args);
void ClearCommandIndexes();
void AttachCommandIndexes(TDbaseTable& Table);

// The "index" subcommand.
TTableSubcommand IndexSubcommand();
