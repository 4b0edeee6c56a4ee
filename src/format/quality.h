// The four qualities of an XA audio channel, and what each fixes: sample rate, interleave,
// samples per sector and the rate of the decoded sound.
#pragma once

#include <cstdint>

#include "format/sector.h"

namespace sorvane {

// In the order of the append dialog's quality list: 2 x high rate + stereo.
enum class Quality : std::uint8_t { Mono189 = 0, Stereo189 = 1, Mono378 = 2, Stereo378 = 3 };

inline constexpr std::int32_t kXaHighRate = 37800;  // Hz
inline constexpr std::int32_t kXaLowRate = 18900;
inline constexpr std::int32_t kDecodedHighRate = 44100;  // 7/6 of the XA rate
inline constexpr std::int32_t kDecodedLowRate = 22050;

constexpr Quality QualityOf(bool highRate, bool stereo) {
  return static_cast<Quality>((highRate ? 2 : 0) + (stereo ? 1 : 0));
}
constexpr bool IsHighRate(Quality q) { return q == Quality::Mono378 || q == Quality::Stereo378; }
constexpr bool IsStereo(Quality q) { return q == Quality::Stereo189 || q == Quality::Stereo378; }

// The sample rate of the channel's sound: 37800 or 18900 Hz.
constexpr std::int32_t XaRate(Quality q) { return IsHighRate(q) ? kXaHighRate : kXaLowRate; }
// The rate the decoder delivers: 44100 or 22050 Hz.
constexpr std::int32_t DecodedRate(Quality q) {
  return IsHighRate(q) ? kDecodedHighRate : kDecodedLowRate;
}

// Sectors between two of the channel's sectors at normal speed: 16, 8, 8 or 4; twice as
// many at double speed.
constexpr std::int32_t NominalInterleave(Quality q) {
  const std::int32_t e = IsHighRate(q) ? 4 : 8;
  return IsStereo(q) ? e : 2 * e;
}
constexpr std::int32_t Interleave(Quality q, bool doubleSpeed) {
  return NominalInterleave(q) * (doubleSpeed ? 2 : 1);
}

// Frames (samples of each side) held by one sector: 4032 mono, 2016 stereo.
constexpr std::int32_t FramesPerSector(Quality q) {
  return IsStereo(q) ? kStereoFramesPerSector : kMonoFramesPerSector;
}

// Sectors that hold `frames` frames at the XA rate, the last one partly filled.
constexpr std::int32_t SectorsNeeded(Quality q, std::int64_t frames) {
  const std::int64_t perSector = FramesPerSector(q);
  return static_cast<std::int32_t>((frames + perSector - 1) / perSector);
}

// The coding information byte of the quality's audio sectors.
constexpr std::uint8_t CodingInfo(Quality q) {
  return static_cast<std::uint8_t>((IsStereo(q) ? kCodingStereo : 0) |
                                   (IsHighRate(q) ? 0 : kCodingLowRate));
}

}  // namespace sorvane
