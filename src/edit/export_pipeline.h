// The export's loop on two threads: the calling thread reads the channel's sectors, decodes
// their units and keeps the progress display and the cancel; a second thread resamples the
// values to PCM blocks and writes them. The blocks, and the writes that carry them, are those
// of the one-thread loop, in the same order.
#pragma once

#include "codec/adpcm_decoder.h"
#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"
#include "edit/block_writer.h"
#include "edit/decode_walk.h"

namespace sorvane {

// Walks `cursor` to its end, a cancel or a failure as the export's loop does. Done, Cancelled
// ("キャンセルしました。") or Failed (a read failed, or a write: "書込みに失敗しました。"), with
// LastErrorText set for the last two. Blocks decoded before a cancel or a read failure are
// all handed to `writer`; the caller flushes it. The resampler fields of `state` end as the
// one-thread loop leaves them.
Outcome WriteBlocksOnTwoThreads(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                                ProgressMonitor& monitor, BlockWriter& writer);

}  // namespace sorvane
