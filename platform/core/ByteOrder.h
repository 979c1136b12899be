// Little-endian integers in byte buffers, the order of every file format the program reads and
// writes (dBase tables, NDX indexes, WAVE images, stored binary properties). Destination first:
// Put writes at a pointer, Append grows a buffer.
#pragma once

#include <cstdint>
#include <vector>

inline std::uint16_t GetLE16(const std::uint8_t* P) {
  return static_cast<std::uint16_t>(P[0] | P[1] << 8);
}

inline std::uint32_t GetLE32(const std::uint8_t* P) {
  return std::uint32_t(P[0]) | std::uint32_t(P[1]) << 8 | std::uint32_t(P[2]) << 16 |
         std::uint32_t(P[3]) << 24;
}

inline std::uint64_t GetLE64(const std::uint8_t* P) {
  return std::uint64_t(GetLE32(P)) | std::uint64_t(GetLE32(P + 4)) << 32;
}

inline void PutLE16(std::uint8_t* P, std::uint16_t Value) {
  P[0] = static_cast<std::uint8_t>(Value);
  P[1] = static_cast<std::uint8_t>(Value >> 8);
}

inline void PutLE32(std::uint8_t* P, std::uint32_t Value) {
  for (int I = 0; I < 4; ++I) P[I] = static_cast<std::uint8_t>(Value >> (8 * I));
}

inline void PutLE64(std::uint8_t* P, std::uint64_t Value) {
  PutLE32(P, static_cast<std::uint32_t>(Value));
  PutLE32(P + 4, static_cast<std::uint32_t>(Value >> 32));
}

inline void AppendLE16(std::vector<std::uint8_t>& Out, std::uint16_t Value) {
  Out.resize(Out.size() + 2);
  PutLE16(Out.data() + Out.size() - 2, Value);
}

inline void AppendLE32(std::vector<std::uint8_t>& Out, std::uint32_t Value) {
  Out.resize(Out.size() + 4);
  PutLE32(Out.data() + Out.size() - 4, Value);
}
