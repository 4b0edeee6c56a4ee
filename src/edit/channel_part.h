// A part of a channel's exported sound: the frames From..To-1 of what ExportChannel would
// write at this moment, written as a WAV file of their own.
#pragma once

#include <cstdint>
#include <string>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "edit/workspace.h"

namespace sorvane {

// Frames of the exported sound (see list_position.h), From included, To excluded.
struct FrameSpan {
  std::int64_t From = 0;
  std::int64_t To = 0;
};

// Writes frames `span` of channel `record` to `wavPath`, created or truncated: the 44-byte
// header for exactly those bytes, then the bytes a whole ExportChannel would write between
// the two frames (fewer when the channel's sectors end first). The channel is decoded from its
// first sector with the workspace's decoder state, as an export does, and the decoding stops
// after the sector holding frame To - 1; the sectors before frame From are decoded but not
// resampled. Outcomes, messages and the file left behind as ExportChannel's; a reversed span
// is refused ("終わりの位置が始まりより前です。") before anything is written, an empty one
// gives a file of the header alone.
Outcome ExportChannelPart(Workspace& workspace, const ChannelRecord& record, FrameSpan span,
                          const std::string& wavPath, ProgressMonitor& monitor);

}  // namespace sorvane
