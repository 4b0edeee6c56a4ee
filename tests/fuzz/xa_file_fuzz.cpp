// libFuzzer target: any bytes as an XA file must open (or be refused), scan and decode
// without a crash or undefined behaviour.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "codec/adpcm_decoder.h"
#include "common/progress_monitor.h"
#include "container/channel_scan.h"
#include "edit/decode_walk.h"
#include "edit/workspace.h"

namespace {

// The bytes as a file in memory, reachable by path.
std::string MemoryFile(const std::uint8_t* data, std::size_t size, int& fd) {
  fd = memfd_create("xa", 0);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return "";
  return "/proc/self/fd/" + std::to_string(fd);
}

void DecodeEveryChannel(sorvane::Workspace& w) {
  std::uint8_t block[sorvane::kPcmBlockBytes];
  for (const sorvane::ChannelRecord& r : w.File.AudioChannelTable) {
    sorvane::SelectDecodeChannel(w.Decoding, r);
    for (int step = 0; step < 4096; ++step) {
      const sorvane::WalkStep result =
          sorvane::DecodeNextSector(w.File, w.Decoding, w.Decoder, block);
      if (result == sorvane::WalkStep::End || result == sorvane::WalkStep::Failed) break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int fd = -1;
  const std::string path = MemoryFile(data, size, fd);
  sorvane::Workspace w;
  sorvane::SilentProgress quiet;
  if (!path.empty() && sorvane::OpenXaFile(w.File, path) == 0) {
    if (sorvane::ScanChannels(w.File, sorvane::kWalkLimitFull, quiet) == 0) DecodeEveryChannel(w);
    sorvane::CloseXaFile(w.File);
  }
  if (fd >= 0) close(fd);
  return 0;
}
