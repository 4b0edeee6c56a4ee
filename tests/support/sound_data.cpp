#include "support/sound_data.h"

#include <algorithm>

namespace sorvane::testing {
namespace {

// Both copies of each unit's parameter byte in a group.
constexpr int kParameterCopies[8][2] = {{0, 4},  {1, 5},  {2, 6},   {3, 7},
                                        {8, 12}, {9, 13}, {10, 14}, {11, 15}};

}  // namespace

SoundData& SoundData::Parameter(int group, int unit, int filter, int range) {
  const auto value = static_cast<std::uint8_t>(filter * 16 + range);
  for (int offset : kParameterCopies[unit]) Byte(group, offset, value);
  return *this;
}

SoundData& SoundData::Nibble(int group, int unit, int k, int value) {
  std::uint8_t& byte = bytes_[group * kGroupBytes + 16 + 4 * k + unit / 2];
  const auto bits = static_cast<std::uint8_t>(value & 0x0F);
  byte = (unit & 1) ? static_cast<std::uint8_t>((byte & 0x0F) | (bits << 4))
                    : static_cast<std::uint8_t>((byte & 0xF0) | bits);
  return *this;
}

SoundData& SoundData::Nibbles(int group, int unit, std::initializer_list<int> values) {
  int k = 0;
  for (int v : values) Nibble(group, unit, k++, v);
  return *this;
}

SoundData& SoundData::FillNibbles(int group, int unit, int value) {
  for (int k = 0; k < 28; ++k) Nibble(group, unit, k, value);
  return *this;
}

SoundData& SoundData::Byte(int group, int offset, std::uint8_t value) {
  bytes_[group * kGroupBytes + offset] = value;
  return *this;
}

std::vector<std::uint8_t> SoundData::Payload() const {
  std::vector<std::uint8_t> payload(2328, 0);
  std::copy(bytes_.begin(), bytes_.end(), payload.begin());
  return payload;
}

}  // namespace sorvane::testing
