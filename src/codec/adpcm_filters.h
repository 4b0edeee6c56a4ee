// The four XA ADPCM prediction filters, shared by the decoder and the encoder so that both
// sides use the very same integer arithmetic. The sound-group layout is in format/sector.h.
#pragma once

#include <cstdint>

#include "format/sector.h"

namespace sorvane {

inline constexpr int kPcmBlockBytes = 9408;  // decoded PCM of one sector

// The two latest values of one side (S1 latest), at the scale of whoever keeps them.
struct PredictorHistory {
  std::int32_t S1 = 0;
  std::int32_t S2 = 0;
};

// Where the decoder reads each unit's sound parameter byte: units 5 and 7 from the second
// copy (ParameterByte(unit) + kParameterCopyOffset), the others from the first.
inline constexpr int kUnitParameterByte[kUnitsPerGroup] = {
    ParameterByte(0), ParameterByte(1),
    ParameterByte(2), ParameterByte(3),
    ParameterByte(4), ParameterByte(5) + kParameterCopyOffset,
    ParameterByte(6), ParameterByte(7) + kParameterCopyOffset};

// Wraps a 64-bit intermediate to what signed 32-bit arithmetic would give.
inline std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// Prediction from the two previous values (s1 latest); filters 4..15 predict 0.
// Filter 1 is s1 - (s1 >> 4), not (60 * s1) >> 6: the two differ for most s1.
inline std::int32_t Predict(int filter, std::int32_t s1, std::int32_t s2) {
  switch (filter) {
    case 1:
      return Wrap32(std::int64_t{s1} - (s1 >> 4));
    case 2:
      return Wrap32(115 * std::int64_t{s1} - 52 * std::int64_t{s2}) >> 6;
    case 3:
      return Wrap32(98 * std::int64_t{s1} - 55 * std::int64_t{s2}) >> 6;
    default:
      return 0;
  }
}

}  // namespace sorvane
