// The "index NDX create|list|verify" subcommand of the "table" command.
#pragma once

#include "table/TableSubcommand.h"

TTableSubcommand IndexSubcommand();
