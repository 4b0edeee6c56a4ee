// A small XA file that every edit command can work on, and a WAV to import into it: three
// stereo 18.9k channels and a run of data sectors, each sector's payload telling whose it is.
#pragma once

#include <string>
#include <vector>

#include "support/xa_builder.h"

namespace sorvane::testing {

inline constexpr int kSampleSectors = 140;
inline constexpr int kSampleInterleave = 8;  // 18.9k stereo at normal speed

// The sectors of each part of the sample: channels 1 and 2 (10 sectors each, slots 0 and 1
// of sectors 0..79), data sectors 90..95, channel 3 (4 sectors from 99).
std::vector<int> ChannelSectors(int channel);
std::vector<int> DataSectors();

void BuildEditSample(Layout layout, const std::string& path);

// A stereo 18.9k WAV of this many sectors' worth of frames.
void BuildSampleWav(int sectors, const std::string& path);

}  // namespace sorvane::testing
