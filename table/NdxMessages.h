// Messages of the NDX index beyond the engine's classic texts.
#pragma once

#include <string>

#include "table/DbaseMessages.h"

// An index file whose header or pages contradict each other, or that a change left half done;
// read no further. Being derived from its table, such an index can be rebuilt.
class ENdxDamaged : public EDbaseError {
 public:
  using EDbaseError::EDbaseError;
};

namespace DbaseMessages {
inline constexpr const char* IndexDamaged = TrMark("Index file \"%s\" is damaged: %s.");
inline constexpr const char* IndexOutOfStep =
    TrMark("Index file \"%s\" does not match its table: %s.");
}  // namespace DbaseMessages

inline std::string NdxDamaged(const std::string& FileName, const std::string& Reason) {
  return FormatMessage(DbaseMessages::IndexDamaged, FileName.c_str(), Reason.c_str());
}

// An index that lacks records of its table, names records it no longer has, or holds keys the
// records no longer have: another program changed the table without keeping the index.
inline std::string NdxOutOfStep(const std::string& FileName, const std::string& Fault) {
  return FormatMessage(DbaseMessages::IndexOutOfStep, FileName.c_str(), Fault.c_str());
}
