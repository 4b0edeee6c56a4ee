// The export: one channel to a 16-bit PCM WAV file, 44100 Hz for 37.8 kHz channels, 22050 Hz
// for 18.9 kHz ones, mono or stereo as the channel record says.
#pragma once

#include <cstdint>
#include <string>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"
#include "edit/workspace.h"

namespace sorvane {

inline constexpr int kWavHeaderBytes = 44;

// The 44-byte PCM WAV header describing `record`, with the RIFF length (fileLength - 8)
// and the data length (fileLength - 44), each limited to what 32 bits hold.
void MakeWavHeader(const ChannelRecord& record, std::int64_t fileLength, std::uint8_t* header);

// Creates (or empties) the WAV at `wavPath` for an export: its descriptor, or -1 with
// LastErrorText ("開いているXAファイルには書き出せません。" for the open XA file itself,
// "WAVファイルがオープンできません。" when it cannot be created).
int CreateExportWav(XaFile& xa, const std::string& wavPath);

// Writes channel `record` of the open file to `wavPath`, created or truncated: the header,
// then one PCM block per audio sector, with progress and cancel through `monitor`. The
// workspace's decoder state carries over from the run's earlier exports and plays.
// Failed: the path is the open XA file itself (nothing written), or the WAV could not be
// opened or written, or a sector read failed; Cancelled: the cancel was pressed
// ("キャンセルしました。"). LastErrorText holds the message of both. Once the header is
// written, the file is always left as a valid WAV file whose lengths match the blocks that
// reached it; a partial file is never deleted.
// Reading and decoding run on this thread, resampling and writing on a second one.
Outcome ExportChannel(Workspace& workspace, const ChannelRecord& record, const std::string& wavPath,
                      ProgressMonitor& monitor);

// ExportChannel with a decoder state of the caller's own instead of the workspace's, all on
// this thread (export-all runs several of these at once).
Outcome ExportChannelWith(XaFile& xa, DecoderState& state, const ChannelRecord& record,
                          const std::string& wavPath, ProgressMonitor& monitor);

}  // namespace sorvane
