// Builds the 18 sound groups of one audio sector unit by unit: parameter bytes (both
// copies) and signed nibbles, for decoder tests with hand-computed results.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace sorvane::testing {

class SoundData {
 public:
  static constexpr int kGroups = 18;
  static constexpr int kGroupBytes = 128;

  // All bytes zero: filter 0, range 0, nibbles 0.
  SoundData() { bytes_.fill(0); }

  // Writes filter * 16 + range at both copies of the unit's parameter byte.
  SoundData& Parameter(int group, int unit, int filter, int range);
  // Sets nibble k (0..27) of a unit to value (-8..7).
  SoundData& Nibble(int group, int unit, int k, int value);
  // Sets nibbles 0.. of a unit from a list.
  SoundData& Nibbles(int group, int unit, std::initializer_list<int> values);
  // The same value in all 28 nibbles of a unit.
  SoundData& FillNibbles(int group, int unit, int value);
  // A raw byte of a group (offset 0..127).
  SoundData& Byte(int group, int offset, std::uint8_t value);

  const std::uint8_t* Groups() const { return bytes_.data(); }
  const std::uint8_t* Group(int group) const { return bytes_.data() + group * kGroupBytes; }
  // The 2328 payload bytes of a sector (after the subheader), for XaBuilder::Payload.
  std::vector<std::uint8_t> Payload() const;

 private:
  std::array<std::uint8_t, kGroups * kGroupBytes> bytes_;
};

}  // namespace sorvane::testing
