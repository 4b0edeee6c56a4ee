// Passing over the first sectors of a channel before a play from a point: they are decoded, so
// that the decoder state moves on exactly as in a play through, but only to their values (no
// resampling) and nothing is kept of them.
#pragma once

#include <cstdint>

#include "codec/adpcm_decoder.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"
#include "edit/decode_walk.h"

namespace sorvane {

enum class SkipEnd { Done, End, Cancelled, Failed };

// Walks `cursor` over the channel's next `count` audio sectors with DecodeNextValues. Done: all
// passed; End: the channel ended first; Cancelled: `monitor`'s cancel (polled before each
// sector); Failed: a read failed (LastErrorText set).
SkipEnd SkipChannelSectors(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                           std::int64_t count, ProgressMonitor& monitor);

}  // namespace sorvane
