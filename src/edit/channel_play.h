// Playing one channel through an AudioOutput: a ring of 16 buffers of one decoded sector
// each is kept queued while the progress display shows how far the channel has been read.
// The device is only polled (done flags, then the play position at the end); no callbacks.
#pragma once

#include "audio/audio_output.h"
#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"
#include "edit/workspace.h"

namespace sorvane {

// Plays channel `record` of the open file to its end, with progress and cancel through
// `monitor`; the workspace's decoder state carries over between plays and exports.
// Done: played to the end. Cancelled: the sound stopped at once, no message is due.
// Failed: the device could not be opened ("WAVデバイスがオープンできません"), its buffers
// could not be had ("再生用メモリが確保できません。") or a sector read failed, with
// LastErrorText set. The progress display is shown only once the device is open, and
// removed on every way out.
Outcome PlayChannel(Workspace& workspace, const ChannelRecord& record, AudioOutput& output,
                    ProgressMonitor& monitor);

// PlayChannel from frame `frame` of the channel's sound (list_position.h): the channel is
// decoded from its first sector with the workspace's decoder state, as a play through is, and
// only the sound from the frame on reaches the device, so that it sounds exactly as when
// played through. Sectors wholly before the frame are decoded to their values, not resampled.
// A frame past the channel's last sector plays nothing (Done).
Outcome PlayChannelFrom(Workspace& workspace, const ChannelRecord& record, std::int64_t frame,
                        AudioOutput& output, ProgressMonitor& monitor);

}  // namespace sorvane
