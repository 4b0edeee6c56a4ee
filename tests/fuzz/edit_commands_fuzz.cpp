// libFuzzer target: an edit command on any bytes as an XA file. The first eight bytes choose
// the command (import or append of a small generated sound, delete, settings) and its
// parameters and answers; the rest is the file. Whatever the bytes: no crash and no
// undefined behaviour, the file opens again after the command, and undo gives back the
// original bytes exactly.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/channel_append.h"
#include "edit/channel_delete.h"
#include "edit/channel_import.h"
#include "edit/edit_history.h"
#include "edit/file_open.h"
#include "edit/file_settings.h"
#include "format/little_endian.h"
#include "input/frame_source.h"

namespace sorvane {
namespace {

constexpr std::size_t kCommandBytes = 8;

// Answers every question from the bits of one byte, in turn.
class BitPrompter : public Prompter {
 public:
  explicit BitPrompter(std::uint8_t bits) : bits_(bits) {}
  void NotifyUser(const char*) override {}
  bool AskOkCancel(const char*) override { return Next() != 0; }
  LengthChoice ChooseLength(const char*, const char*) override {
    return static_cast<LengthChoice>((Next() << 1 | Next()) % 3);
  }

 private:
  int Next() { return (bits_ >> (turn_++ % 8)) & 1; }
  std::uint8_t bits_;
  int turn_ = 0;
};

// The bytes as a file in memory, reachable by path.
std::string MemoryFile(const void* data, std::size_t size, int& fd) {
  fd = memfd_create("file", 0);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return "";
  return "/proc/self/fd/" + std::to_string(fd);
}

std::string Contents(int fd) {
  std::string bytes;
  char chunk[65536];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, chunk, sizeof chunk, at);
    if (n <= 0) return bytes;
    bytes.append(chunk, std::size_t(n));
    at += n;
  }
}

// A sound of frames × channels samples at `rate`.
std::vector<std::int16_t> Sound(int frames, int channels) {
  std::vector<std::int16_t> samples(std::size_t(frames * channels));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>((i * 7919) % 20000 - 10000);
  return samples;
}

// A plain 16-bit PCM WAV of the sound.
std::string Wav(const std::vector<std::int16_t>& samples, int channels, int rate) {
  std::string bytes(44 + samples.size() * 2, '\0');
  auto* b = reinterpret_cast<std::uint8_t*>(bytes.data());
  std::memcpy(b, "RIFF", 4);
  PutLe32(b + 4, std::uint32_t(bytes.size() - 8));
  std::memcpy(b + 8, "WAVEfmt ", 8);
  PutLe32(b + 16, 16);
  PutLe16(b + 20, 1);
  PutLe16(b + 22, std::uint16_t(channels));
  PutLe32(b + 24, std::uint32_t(rate));
  PutLe32(b + 28, std::uint32_t(rate * channels * 2));
  PutLe16(b + 32, std::uint16_t(channels * 2));
  PutLe16(b + 34, 16);
  std::memcpy(b + 36, "data", 4);
  PutLe32(b + 40, std::uint32_t(samples.size() * 2));
  std::memcpy(b + 44, samples.data(), samples.size() * 2);
  return bytes;
}

void RunCommand(Workspace& w, const std::uint8_t* c) {
  SilentProgress quiet;
  BitPrompter answers(c[7]);
  XaFile& xa = w.File;
  const int channels = 1 + (c[2] & 1);
  const int rate = 8000 + c[3] * 200;
  const std::vector<std::int16_t> samples = Sound(1 + c[4] * 64, channels);
  switch (c[0] % 4) {
    case 0: {
      if (xa.AudioChannelTable.Count == 0) return;
      int wavFd = -1;
      const std::string wav = Wav(samples, channels, rate);
      const std::string path = MemoryFile(wav.data(), wav.size(), wavFd);
      if (!path.empty()) ImportChannel(w, c[1] % xa.AudioChannelTable.Count, path, quiet, answers);
      if (wavFd >= 0) close(wavFd);
      return;
    }
    case 1: {
      if (RefuseAppend(xa) != nullptr) return;
      MemoryFrames sound(samples, channels, rate);
      ChannelRecord record = ProposeNewChannel(xa, sound);
      AppendDialogState dialog;
      ShowParams(record, dialog);
      dialog.QualityItem = c[1] & 3;
      dialog.SpeedItem = (c[1] >> 2) & 1;
      QualitySelChange(dialog);
      dialog.StartText = std::to_string(c[5] % 40) + "." + std::to_string(c[6] % 80);
      if (!dialog.TrackItems.empty())
        dialog.TrackItem = (c[1] >> 3) % int(dialog.TrackItems.size());
      if (c[2] & 2) FindButtonClick(xa, dialog, sound, record);
      if (OKButtonClick(xa, dialog, sound, record) != nullptr) return;
      AppendSound(w, record, sound, quiet, answers);
      return;
    }
    case 2:
      if (xa.AudioChannelTable.Count > 0)
        DeleteChannel(w, c[1] % xa.AudioChannelTable.Count, quiet, answers);
      return;
    default:
      ApplyFileSettings(w, {c[1] - 16, c[5] * 4 - 16, c[6] % 3}, answers);
      return;
  }
}

// True when the layout detection now reads the file in another layout than `before`: a
// raw file without the sync pattern in front of its first sector can look like a plain one
// once an edit writes its first sector's sound, which the detection takes for a second
// subheader. The file's bytes are as the edit wrote them, and undo must still give back
// the original.
bool DetectedAnew(const std::string& path, XaLayout before) {
  XaFile again;
  return OpenXaFile(again, path) == 0 && again.Layout != before;
}

[[noreturn]] void Fault(const char* what) {
  std::fprintf(stderr, "edit_commands_fuzz: %s\n", what);
  std::abort();
}

}  // namespace
}  // namespace sorvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvane;
  if (size < kCommandBytes) return 0;
  static const std::string journal = [] {
    char folder[] = "/tmp/sorvane-edit-fuzz-XXXXXX";
    return std::string(mkdtemp(folder) != nullptr ? folder : "/tmp/sorvane-edit-fuzz");
  }();
  int fd = -1;
  const std::string path = MemoryFile(data + kCommandBytes, size - kCommandBytes, fd);
  const std::string original(reinterpret_cast<const char*>(data + kCommandBytes),
                             size - kCommandBytes);
  auto w = std::make_unique<Workspace>();
  w->Journal.SetRoot(journal);
  SilentProgress quiet;
  if (!path.empty() && OpenAndScan(w->File, path, ScanExtent::WholeFile, quiet) == Outcome::Done) {
    const XaLayout layout = w->File.Layout;
    RunCommand(*w, data);
    if (OpenAndScan(w->File, path, ScanExtent::FirstSectors, quiet) == Outcome::Failed &&
        Contents(fd) != original && !DetectedAnew(path, layout))
      Fault("the edited file does not open again");
    KeptSettings settings;
    if (OpenForHistory(w->File, path) != Outcome::Done) Fault("the file does not open for undo");
    const Outcome undone = UndoEdit(*w, settings);
    if (Contents(fd) != original)
      Fault(undone == Outcome::Done ? "undo did not give back the original"
                                    : "an edit left no way back");
  }
  CloseXaFile(w->File);
  if (fd >= 0) close(fd);
  std::error_code ignored;
  std::filesystem::remove_all(journal, ignored);
  return 0;
}
