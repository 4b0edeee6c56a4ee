// Sound made in memory reaches the encoder exactly as the same sound read from a WAV file.
#include "input/frame_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;

struct SourceCase {
  const char* Name;
  int Channels;
  int SourceRate;
  int TargetRate;
  int Frames;
};

// The demo's rates and the import's targets, across the reader's buffer boundaries, plus a
// target below 100 Hz (no interpolation) and a source slower than its target.
const SourceCase kSources[] = {
    {"Stereo44100To37800", 2, 44100, 37800, 5000},
    {"Mono44100To37800", 1, 44100, 37800, 5000},
    {"Mono22050To18900", 1, 22050, 18900, 3000},
    {"Stereo22050To37800", 2, 22050, 37800, 1500},
    {"Mono8000To50", 1, 8000, 50, 4000},
    {"OneFrame", 2, 44100, 37800, 1},
    {"NoFrames", 1, 44100, 18900, 0},
};

class MemoryFramesTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(MemoryFramesTest, DeliverWhatTheWavReaderDelivers) {
  const SourceCase& c = GetParam();
  const std::vector<std::int16_t> samples =
      testing::Frames16(c.Frames, c.Channels,
                        [](int i, int side) { return (i * 7919 + side * 3001) % 60001 - 30000; });
  testing::TempDir dir;
  testing::WavBuilder(c.Channels, c.SourceRate, 16).Samples16(samples).Write(dir.File("in.wav"));
  WavReader reader;
  ASSERT_EQ(reader.Open(dir.File("in.wav")), 0);
  WavFrames fromFile(reader);
  MemoryFrames fromMemory(samples, c.Channels, c.SourceRate);

  EXPECT_EQ(fromMemory.SourceRate(), fromFile.SourceRate());
  EXPECT_EQ(fromMemory.ChannelCount(), fromFile.ChannelCount());
  const std::int32_t length = fromFile.SetTargetRate(c.TargetRate);
  ASSERT_EQ(fromMemory.SetTargetRate(c.TargetRate), length);
  // Past the end both give silence; the comparison runs on into it.
  for (int i = 0; i < length + 50; ++i) {
    std::int16_t a[2], b[2];
    fromFile.ReadFrame(a);
    fromMemory.ReadFrame(b);
    ASSERT_EQ(a[0], b[0]) << i;
    ASSERT_EQ(a[1], b[1]) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, MemoryFramesTest, ::testing::ValuesIn(kSources),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
