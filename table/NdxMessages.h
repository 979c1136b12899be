// Messages of the NDX index beyond the engine's classic texts.
#pragma once

#include <string>

#include "table/DbaseMessages.h"

// An index file whose header or pages contradict each other; read no further.
inline std::string NdxDamaged(const std::string& FileName, const std::string& Reason) {
  return "Index file \"" + FileName + "\" is damaged: " + Reason + ".";
}
