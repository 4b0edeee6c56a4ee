// Little-endian 16-, 32- and 64-bit fields, whatever the host's byte order: the WAV headers
// and samples, the RIFF lengths of an XA file, the undo journal's records.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace sorvane {

inline std::uint16_t GetLe16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t GetLe32(const std::uint8_t* at) {
  return GetLe16(at) | (std::uint32_t{GetLe16(at + 2)} << 16);
}

// On a little-endian host this is one store: the decoder writes every sample through it.
inline void PutLe16(std::uint8_t* at, std::uint16_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &value, 2);
  } else {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
  }
}

inline void PutLe32(std::uint8_t* at, std::uint32_t value) {
  PutLe16(at, static_cast<std::uint16_t>(value & 0xFFFF));
  PutLe16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint64_t GetLe64(const std::uint8_t* at) {
  return GetLe32(at) | (std::uint64_t{GetLe32(at + 4)} << 32);
}

inline void PutLe64(std::uint8_t* at, std::uint64_t value) {
  PutLe32(at, static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
  PutLe32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace sorvane
