// A demo file for a first look at the editor: three channels of different qualities made
// from generated sound, appended to a new file as the append command would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "edit/workspace.h"

namespace sorvane {

struct DemoChannel {
  int Rate;     // of the generated sound: 44100 or 22050
  bool Stereo;  // of the generated sound
};

// 37.8k stereo, 37.8k mono, 18.9k mono.
inline constexpr DemoChannel kDemoChannels[3] = {{44100, true}, {44100, false}, {22050, false}};
inline constexpr int kDemoSeconds = 6;

// The generated sound of demo channel `index` (a chord over a slow sweep), interleaved
// 16-bit samples of kDemoSeconds at the channel's rate.
std::vector<std::int16_t> DemoSound(int index);

// Creates `path` (replacing a file there) with the three demo channels, each appended as
// the append command appends a WAV of the same sound. Done, or Failed with LastErrorText
// set; the file is left closed.
Outcome WriteDemoFile(Workspace& workspace, const std::string& path);

}  // namespace sorvane
