// The export of every channel of one open XA file, each to its own WAV named after the file
// and the channel. The editor's "全チャンネルをWAV出力" runs it on the open file, and
// export-all on each file it opens (export_all.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"

namespace sorvane {

// One WAV that reached its final name, whole.
struct ChannelWav {
  int Channel = 0;
  std::string Wav;
  std::int64_t Bytes = 0;
};

// "<base>_chNNN.wav", the channel number in three digits.
std::string ChannelWavPath(const std::string& base, int channel);

// "<folder>/<name of the file without its extension>", the base of the open file's WAVs.
std::string WavBaseIn(const std::string& folder, const std::string& xaPath);

// Exports each channel of the open file's table, in table order, to ChannelWavPath(base,
// channel), each with a fresh decoder state so that every WAV holds what the one-channel
// export writes alone. Each WAV is written under a temporary name and renamed when complete;
// `written` receives the WAVs that were. Creates base's folder when it is missing. Stops at
// the first failure (LastErrorText says why) or cancel ("キャンセルしました。"): the WAV being
// written then is removed and no partial file is left under a final name; those before stay.
// `monitor` is started once and shows the whole file.
Outcome ExportEveryChannel(XaFile& xa, const std::string& base, ProgressMonitor& monitor,
                           std::vector<ChannelWav>& written);

}  // namespace sorvane
