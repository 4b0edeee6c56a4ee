// Writes test sound in any format libsndfile can write (SF_FORMAT_* major | subtype), from
// 16-bit interleaved samples; with a channel map when one is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvane::testing {

// False when libsndfile cannot write this format (e.g. an encoder it was built without).
bool WriteSoundFile(const std::string& path, int format, int channels, int rate,
                    const std::vector<std::int16_t>& interleaved,
                    const std::vector<int>& channelMap = {});

// The same from samples of full scale 1.0 (written as doubles, for exact multichannel values).
bool WriteSoundFileDouble(const std::string& path, int format, int channels, int rate,
                          const std::vector<double>& interleaved,
                          const std::vector<int>& channelMap = {});

}  // namespace sorvane::testing
