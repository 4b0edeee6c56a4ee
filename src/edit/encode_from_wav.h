// Encoding whole audio sectors from the frames a WavReader delivers (codec/adpcm_encoder.h
// encodes the sound groups).
#pragma once

#include <cstdint>

#include "codec/adpcm_encoder.h"
#include "format/sector.h"
#include "input/wav_reader.h"

namespace sorvane {

// Reads 2016 frames and writes 18 sound groups (2304 bytes) to `groups`.
void EncodeStereoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups);
// Reads 4032 frames, each made mono as (left + right) / 2, and writes 18 sound groups.
void EncodeMonoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups);

// Builds a 2336-byte sector image: the 4-byte subheader twice, the 18 sound groups (stereo
// when the coding information has kCodingStereo) and 24 zero bytes.
void EncodeAudioSector(EncoderState& state, WavReader& reader, const std::uint8_t subheader[4],
                       std::uint8_t image[kSectorBytes]);

}  // namespace sorvane
