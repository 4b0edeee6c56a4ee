// Writes the seed corpora of the fuzz targets, made by the test builders:
//   make_fuzz_seeds DIR   ->  DIR/xa_file, DIR/wav_reader, DIR/edit_commands
// Small files of every layout, with channels of every quality, data runs, end marks and a
// broken subheader; WAVs of the shapes the reader accepts and refuses; and each XA seed
// behind the command bytes of every edit the edit target runs.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/disc_image_builder.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace {

using sorvane::testing::Layout;
using sorvane::testing::WavBuilder;
using sorvane::testing::XaBuilder;

void Save(const std::filesystem::path& folder, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::vector<std::string> XaSeeds() {
  std::vector<std::string> seeds;
  for (const Layout layout : {Layout::Plain2336, Layout::Raw2352, Layout::Riff2352}) {
    seeds.push_back(XaBuilder(2, layout).Bytes());
    seeds.push_back(XaBuilder(8, layout).Channel(1, true, true, 0, 2, 4).Bytes());
    seeds.push_back(XaBuilder(9, layout)
                        .Channel(0, false, false, 0, 8, 1)
                        .Channel(3, true, false, 1, 4, 2)
                        .DataRange(5, 2)
                        .Eof(8)
                        .Bytes());
    seeds.push_back(XaBuilder(8, layout)
                        .Channel(2, false, true, 1, 4, 2)
                        .Channel(2, false, true, 2, 4, 1)
                        .BreakSubheader(7)
                        .Bytes());
  }
  return seeds;
}

std::vector<std::string> WavSeeds() {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < 400; ++i) samples.push_back(std::int16_t((i * 523) % 30000 - 15000));
  return {
      WavBuilder(1, 37800, 16).Samples16(samples).Bytes(),
      WavBuilder(2, 44100, 16).Samples16(samples).Bytes(),
      WavBuilder(1, 8000, 8).Samples8(std::vector<std::uint8_t>(300, 0x80)).Bytes(),
      WavBuilder(2, 22050, 16).Samples16(samples).ChunkBeforeData("LIST", "abcd").Bytes(),
      WavBuilder(2, 18900, 16).Samples16(samples).DataSize(0xFFFFFFF0u).Bytes(),
      WavBuilder(1, 0, 16).Samples16(samples).Bytes(),
  };
}

// Small images of each shape, raw ('\x00' first) and behind their CUE sheet ('\x01', the
// sheet, NUL, the image).
std::vector<std::string> DiscSeeds() {
  using namespace sorvane::testing;
  const auto voice = SplitSectors(XaBuilder(8).Channel(1, true, false, 0, 4, 2).Bytes());
  std::vector<DiscImageBuilder> builders(4);
  for (DiscImageBuilder& b : builders) b.Add({"XA/V.XA", voice, kXaInterleavedForm2, 1});
  builders[1].Add({"D.BIN", DataSectors(2, 1)}).ZeroForm2Edc();
  builders[2].CddaTrack(4, false, 2);
  builders[3].LoopDirectory("XA");
  std::vector<std::string> seeds;
  for (const DiscImageBuilder& b : builders) {
    const DiscImage image = b.Build();
    seeds.push_back(std::string(1, '\0') + image.bin);
    seeds.push_back(std::string(1, '\1') + image.cue + std::string(1, '\0') + image.bin);
  }
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::vector<std::string> xa = XaSeeds();
  for (std::size_t k = 0; k < xa.size(); ++k) Save(root / "xa_file", std::to_string(k), xa[k]);
  const std::vector<std::string> wav = WavSeeds();
  // The wav target's first two bytes choose the target rate: 37800 + 100.
  for (std::size_t k = 0; k < wav.size(); ++k)
    Save(root / "wav_reader", std::to_string(k), std::string("\x93\xcc", 2) + wav[k]);
  // Command bytes: command, parameter, channels, rate, frames, start, slot, answers.
  const std::string commands[] = {
      std::string("\x00\x00\x01\x98\x20\x00\x00\xff", 8),  // import, answers OK
      std::string("\x00\x01\x00\x40\x80\x00\x00\x55", 8),  // import, mixed answers
      std::string("\x01\x03\x01\x98\x20\x01\x02\xff", 8),  // append 37.8 stereo
      std::string("\x01\x04\x02\x20\x10\x04\x00\xff", 8),  // append, 検索 pressed
      std::string("\x02\x00\x00\x00\x00\x00\x00\xff", 8),  // delete
      std::string("\x03\x10\x00\x00\x00\x08\x01\xff", 8),  // settings, allow resizing
      std::string("\x03\x00\x00\x00\x00\x10\x00\x00", 8),  // settings, ask and decline
  };
  int n = 0;
  for (const std::string& command : commands) {
    for (const std::string& file : xa)
      Save(root / "edit_commands", std::to_string(n++), command + file);
  }
  const std::vector<std::string> disc = DiscSeeds();
  for (std::size_t k = 0; k < disc.size(); ++k)
    Save(root / "disc_image", std::to_string(k), disc[k]);
  return 0;
}
