// One filter's trial on one unit, on its own: the encoder keeps the best of four of these,
// and the tests compare the kept one with each alone.
#pragma once

#include <cstdint>

#include "codec/adpcm_encoder.h"

namespace sorvane {

// Encodes 28 samples with one filter (0..3), starting from a copy of `history`.
UnitResult EncodeUnit(int filter, const std::int16_t samples[kSamplesPerUnit],
                      const EncoderHistory& history);

}  // namespace sorvane
