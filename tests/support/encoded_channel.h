// A channel encoded by our encoder from a generated WAV, together with the exact frames the
// encoder was fed, for round trips through a decoder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sorvane::testing {

struct EncodedChannel {
  int Rate = 0;
  bool Stereo = false;
  std::vector<std::array<std::uint8_t, 2336>> Sectors;  // sector images, subheader first
  // The encoder's input at the channel's rate; for mono the mixed sample, in Left.
  std::vector<std::int32_t> Left;
  std::vector<std::int32_t> Right;
};

enum class GeneratedSignal { ChordWithSweep, FadeToQuiet };

// Writes a 44.1 kHz stereo WAV of the signal to `wavPath` and encodes `seconds` of it at
// `rate` (37800 or 18900), stereo or mono, from zero histories.
EncodedChannel EncodeGeneratedSound(const std::string& wavPath, int rate, bool stereo,
                                    double seconds,
                                    GeneratedSignal signal = GeneratedSignal::ChordWithSweep);

}  // namespace sorvane::testing
