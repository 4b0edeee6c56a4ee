// Reference signals generated in code for codec round trips, and the measure they are
// judged by.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvane::testing {

// Interleaved 16-bit frames at `rate`: a major chord on 220 Hz over a sine sweeping
// exponentially from 100 Hz to 4 kHz, the two sides slightly detuned and out of phase.
// Peaks stay below 0.9 of full scale.
std::vector<std::int16_t> ChordWithSweep(int rate, double seconds, int channels);

// ChordWithSweep fading out to silence over the first half, then passages of a few steps
// (a 3-step tone, then a 1-step one) between stretches of digital silence: the quiet units
// an encoder gives its smallest steps to.
std::vector<std::int16_t> FadeToQuiet(int rate, double seconds, int channels);

// Signal-to-noise ratio in dB of `test` against `reference` (same length): the energy of
// the reference over the energy of the difference; +infinity when they are equal.
double SnrDb(const std::vector<std::int32_t>& reference, const std::vector<std::int32_t>& test);

}  // namespace sorvane::testing
