// libFuzzer target: any bytes as a disc image, raw or behind a CUE sheet, must be listed, and
// every entry opened, scanned and decoded, or refused, without a crash, undefined behaviour
// or a read outside the image. The first byte chooses the shape: even, the rest is a raw
// image; odd, the rest is a CUE sheet up to its first NUL byte and the image after it.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/progress_monitor.h"
#include "edit/decode_walk.h"
#include "edit/disc_listing.h"
#include "edit/file_open.h"
#include "edit/workspace.h"

namespace {

// A folder of this process for the two files, on a memory file system where there is one.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                     ? "/dev/shm"
                                     : std::filesystem::temp_directory_path();
    base /= "sorvane-disc-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(base);
    return base;
  }();
  return folder;
}

void Save(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WalkEntry(sorvane::Workspace& w, const std::string& image, const std::string& entry) {
  sorvane::SilentProgress quiet;
  if (sorvane::OpenAndScan(w.File, image, sorvane::ScanExtent::WholeFile, quiet, entry) !=
      sorvane::Outcome::Done)
    return;
  std::uint8_t block[sorvane::kPcmBlockBytes];
  for (const sorvane::ChannelRecord& r : w.File.AudioChannelTable) {
    sorvane::SelectDecodeChannel(w.Decoding, r);
    for (int step = 0; step < 256; ++step) {
      const sorvane::WalkStep result =
          sorvane::DecodeNextSector(w.File, w.Decoding, w.Decoder, block);
      if (result == sorvane::WalkStep::End || result == sorvane::WalkStep::Failed) break;
    }
  }
  sorvane::CloseXaFile(w.File);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::filesystem::path bin = Folder() / "IMAGE.BIN";
  const std::filesystem::path cue = Folder() / "IMAGE.CUE";
  std::filesystem::path opened = bin;
  if ((data[0] & 1) == 0) {
    Save(bin, data + 1, size - 1);
  } else {
    const std::uint8_t* end = data + 1;
    while (end < data + size && *end != 0) ++end;
    Save(cue, data + 1, std::size_t(end - data - 1));
    const std::uint8_t* image = end < data + size ? end + 1 : end;
    Save(bin, image, std::size_t(data + size - image));
    opened = cue;
  }
  auto w = std::make_unique<sorvane::Workspace>();
  sorvane::DiscContents contents;
  if (sorvane::ListDiscFiles(opened.string(), true, contents) != nullptr) return 0;
  for (const sorvane::DiscListing& listing : contents.Files)
    WalkEntry(*w, opened.string(), listing.File.Path);
  WalkEntry(*w, opened.string(), "@16:8");
  return 0;
}
