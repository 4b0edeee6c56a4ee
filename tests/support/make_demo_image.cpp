// Writes a demonstration disc image, DEMO.CUE and DEMO.BIN, into a folder: a game's layout
// in small, with data files and three XA files of silent channels (music of four channels,
// voices of two, effects of one), for the screenshot of the editor's chooser.
#include <cstdio>
#include <string>

#include "support/disc_image_builder.h"
#include "support/xa_builder.h"

namespace {

using sorvane::testing::DataSectors;
using sorvane::testing::kXaInterleavedForm2;
using sorvane::testing::SplitSectors;
using sorvane::testing::XaBuilder;

sorvane::testing::DiscFile Audio(const char* path, const XaBuilder& xa) {
  return {path, SplitSectors(xa.Bytes()), kXaInterleavedForm2, 1};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_image FOLDER\n");
    return 2;
  }
  sorvane::testing::DiscImageBuilder image;
  image.Names("DEMO.BIN", "", "DEMO.CUE");
  image.Add({"SYSTEM.CNF", DataSectors(1, 1)});
  image.Add({"SLPS_000.00", DataSectors(40, 2)});
  image.Add(Audio("XA/BGM.XA", XaBuilder(1200)
                                   .Channel(0, true, true, 0, 8, 150)
                                   .Channel(1, true, true, 1, 8, 150)
                                   .Channel(2, false, true, 2, 8, 150)
                                   .Channel(3, false, false, 3, 16, 75)));
  image.Add(
      Audio("XA/VOICE.XA",
            XaBuilder(480).Channel(0, true, false, 0, 8, 60).Channel(1, true, false, 1, 8, 60)));
  image.Add(Audio("XA/SE.XA", XaBuilder(160).Channel(0, false, false, 0, 16, 10)));
  image.Add({"DATA/STAGE1.BIN", DataSectors(20, 3)});
  const std::string cue = image.Build().Write(argv[1]);
  std::printf("%s\n", cue.c_str());
  return 0;
}
