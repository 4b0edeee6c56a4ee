// Writing one channel to a 16-bit PCM WAV file: 44100 Hz for 37.8 kHz channels, 22050 Hz
// for 18.9 kHz ones, mono or stereo as the channel record says.
#pragma once

#include <cstdint>
#include <string>

#include "edit/decode_walk.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr int kWavHeaderBytes = 44;

// The 44-byte PCM WAV header describing `record`, with the RIFF length (fileLength - 8)
// and the data length (fileLength - 44), each limited to what 32 bits hold.
void MakeWavHeader(const ChannelRecord& record, std::int64_t fileLength, std::uint8_t* header);

// Writes the channel selected in `cursor` (SelectDecodeChannel) to `path`, created or
// truncated: the header, then one PCM block per audio sector, with progress and cancel
// through `monitor`. Returns 0, or -1 with xa.LastErrorText set on failure or cancel.
// Once the header is written, the file is always left as a valid WAV file whose lengths
// match the blocks that reached it; a partial file is never deleted.
int ExportWav(XaFile& xa, DecodeCursor& cursor, DecoderState& state, ProgressMonitor& monitor,
              const std::string& path);

}  // namespace sorvane
