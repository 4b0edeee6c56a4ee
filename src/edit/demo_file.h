// A demo file for a first look at the editor: three channels of different qualities made
// from generated sound, appended to a new file as the append command would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/workspace.h"

namespace sorvane {

struct DemoChannel {
  int Rate;     // of the generated WAV: 44100 or 22050
  bool Stereo;  // of the generated WAV
};

// 37.8k stereo, 37.8k mono, 18.9k mono.
inline constexpr DemoChannel kDemoChannels[3] = {{44100, true}, {44100, false}, {22050, false}};
inline constexpr int kDemoSeconds = 6;

// The generated sound of demo channel `index` (a chord over a slow sweep), interleaved
// 16-bit samples of kDemoSeconds at the channel's WAV rate.
std::vector<std::int16_t> DemoSound(int index);

// Creates `path` (replacing a file there) with the three demo channels. 0, or -1 with
// LastErrorText set. The generated WAV files are written next to `path` and removed.
int WriteDemoFile(Workspace& workspace, const std::string& path);

}  // namespace sorvane
