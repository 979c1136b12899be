// The "index NDX create|list|verify" subcommand of the "table" command.
#pragma once

#include "table/CommandTable.h"

TTableSubcommand IndexSubcommand();
