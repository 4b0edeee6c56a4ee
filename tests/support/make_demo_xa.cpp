// Writes a demonstration XA file of 1200 sectors with five silent channels of every
// quality, one of them at double speed and one starting past the first 64 sectors, so that
// only "全検索(&F)" lists it. Used for screenshots until the command line makes demo files.
#include <cstdio>

#include "support/xa_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_xa OUT.xa\n");
    return 2;
  }
  sorvane::testing::XaBuilder xa(1200);
  xa.Channel(0, true, false, 0, 8, 120)      // 37.8k Mono
      .Channel(1, false, true, 1, 8, 120)    // 18.9k Stereo
      .Channel(2, true, true, 2, 8, 120)     // 37.8k Stereo at double speed
      .Channel(3, false, false, 3, 16, 60)   // 18.9k Mono
      .Channel(4, true, true, 1000, 4, 40);  // 37.8k Stereo, after the others
  xa.Write(argv[1]);
  return 0;
}
