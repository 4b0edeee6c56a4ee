// Writes a demonstration disc image, DEMO.CUE and DEMO.BIN, into a folder: a game's layout
// in small, with data files and three XA files (the music is the demo file of
// `sorvane-cli demo`, given in the plain layout; voices and effects a silent channel each),
// for the screenshot of the editor's chooser.
#include <cstdio>
#include <string>

#include "support/disc_image_builder.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace {

using sorvane::testing::DataSectors;
using sorvane::testing::kXaInterleavedForm2;
using sorvane::testing::ReadFileBytes;
using sorvane::testing::SplitSectors;
using sorvane::testing::XaBuilder;

sorvane::testing::DiscFile Audio(const char* path, const XaBuilder& xa) {
  return {path, SplitSectors(xa.Bytes()), kXaInterleavedForm2, 1};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_demo_image FOLDER DEMO.xa\n");
    return 2;
  }
  sorvane::testing::DiscImageBuilder image;
  image.Names("DEMO.BIN", "", "DEMO.CUE");
  image.Add({"SYSTEM.CNF", DataSectors(1, 1)});
  image.Add({"SLPS_000.00", DataSectors(40, 2)});
  // The music is the demo file of `sorvane-cli demo`, sound and all.
  image.Add({"XA/BGM.XA", SplitSectors(ReadFileBytes(argv[2])), kXaInterleavedForm2, 1});
  image.Add(Audio("XA/VOICE.XA", XaBuilder(480).Channel(1, true, false, 0, 8, 60)));
  image.Add(Audio("XA/SE.XA", XaBuilder(160).Channel(1, false, false, 0, 16, 10)));
  image.Add({"DATA/STAGE1.BIN", DataSectors(20, 3)});
  const std::string cue = image.Build().Write(argv[1]);
  std::printf("%s\n", cue.c_str());
  return 0;
}
