#include "edit/every_channel_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "codec/adpcm_decoder.h"
#include "common/fixed_texts.h"
#include "edit/channel_export.h"

namespace sorvane {
namespace {

// One channel's share of a progress display that shows all of them.
class ChannelShare : public ProgressMonitor {
 public:
  ChannelShare(ProgressMonitor& whole, int index, int count)
      : whole_(whole), index_(index), count_(count) {}

  // The whole display was started once for every channel.
  void Start() override {}
  void SetPosition(int percent) override { whole_.SetPosition((index_ * 100 + percent) / count_); }
  bool PollCancel() override { return whole_.PollCancel(); }
  void Finish() override {}
  void Notify(const char* text) override { whole_.Notify(text); }

 private:
  ProgressMonitor& whole_;
  int index_;
  int count_;
};

std::int64_t FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// One channel to a temporary name beside its final one, renamed when complete. The
// temporary file goes again when the export did not complete.
Outcome ExportUnderTemporaryName(XaFile& xa, const ChannelRecord& record, const std::string& wav,
                                 ProgressMonitor& share) {
  const std::string temporary = wav + ".tmp";
  // Renaming onto the file being read would replace it.
  if (IsOpenXaFile(xa, wav)) {
    xa.LastErrorText = text::kExportOntoOpenFile;
    return Outcome::Failed;
  }
  // The one-channel export starts with the state a new run has.
  DecoderState fresh;
  Outcome outcome = ExportChannelWith(xa, fresh, record, temporary, share);
  if (outcome == Outcome::Done && xa.Io->Rename(temporary.c_str(), wav.c_str()) != 0) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  if (outcome != Outcome::Done) ::unlink(temporary.c_str());
  return outcome;
}

}  // namespace

std::string ChannelWavPath(const std::string& base, int channel) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "_ch%03d.wav", channel);
  return base + suffix;
}

std::string WavBaseIn(const std::string& folder, const std::string& xaPath) {
  return (std::filesystem::path(folder) / std::filesystem::path(xaPath).stem()).string();
}

Outcome ExportEveryChannel(XaFile& xa, const std::string& base, ProgressMonitor& monitor,
                           std::vector<ChannelWav>& written) {
  std::error_code ignored;  // a folder that cannot be made fails the first WAV's opening
  const std::filesystem::path folder = std::filesystem::path(base).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  const ChannelTable& table = xa.AudioChannelTable;
  monitor.Start();
  Outcome outcome = Outcome::Done;
  for (int i = 0; i < table.Count && outcome == Outcome::Done; ++i) {
    const ChannelRecord& record = table.Records[i];
    ChannelShare share(monitor, i, table.Count);
    const std::string wav = ChannelWavPath(base, record.Channel);
    outcome = ExportUnderTemporaryName(xa, record, wav, share);
    if (outcome == Outcome::Done) written.push_back({record.Channel, wav, FileBytes(wav)});
  }
  monitor.Finish();
  return outcome;
}

}  // namespace sorvane
