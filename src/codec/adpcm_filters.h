// The four XA ADPCM prediction filters and the sound-group layout, shared by the decoder
// and the encoder so that both sides use the very same integer arithmetic.
#pragma once

#include <cstdint>

namespace sorvane {

inline constexpr int kSoundGroups = 18;       // per audio sector
inline constexpr int kSoundGroupBytes = 128;
inline constexpr int kUnitsPerGroup = 8;
inline constexpr int kSamplesPerUnit = 28;
inline constexpr int kSampleWordsOffset = 16;  // the 28 sample words follow the parameter bytes
inline constexpr int kGroupsOffset = 8;        // sound groups start after the subheader
inline constexpr int kPcmBlockBytes = 9408;    // decoded PCM of one sector

// Where each unit's sound parameter byte is read (odd units 5 and 7 from the second copy).
inline constexpr int kUnitParameterByte[kUnitsPerGroup] = {0, 1, 2, 3, 8, 13, 10, 15};

// Wraps a 64-bit intermediate to what signed 32-bit arithmetic would give.
inline std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// Prediction from the two previous values (s1 latest); filters 4..15 predict 0.
// Filter 1 is s1 - (s1 >> 4), not (60 * s1) >> 6: the two differ for most s1.
inline std::int32_t Predict(int filter, std::int32_t s1, std::int32_t s2) {
  switch (filter) {
    case 1: return Wrap32(std::int64_t{s1} - (s1 >> 4));
    case 2: return Wrap32(115 * std::int64_t{s1} - 52 * std::int64_t{s2}) >> 6;
    case 3: return Wrap32(98 * std::int64_t{s1} - 55 * std::int64_t{s2}) >> 6;
    default: return 0;
  }
}

}  // namespace sorvane
