// More than two channels mixed to stereo: files with a known constant value on each channel,
// with and without a channel map, read back as the first frame the import would encode.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

#include "input/audio_file.h"
#include "support/named_case.h"
#include "support/sound_file_writer.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;

// The value of channel k of every frame (full scale 1.0).
const double kValues[] = {0.30, -0.20, 0.10, 0.90, 0.05, -0.40, 0.70, -0.70};

struct MixCase {
  const char* Name;
  int Format;
  int Channels;
  std::vector<int> Map;  // empty: the file names no positions
  int Left;              // worked out by hand from the rule and the positions
  int Right;
};

// L = FL + 0.7071 FC + 0.7071 BL, R = FR + 0.7071 FC + 0.7071 BR, over 2.4142, x 32768, rounded.
const MixCase kMixes[] = {
    // FL FR FC LFE BL BR: (0.30 + 0.7071 x 0.10 + 0.7071 x 0.05) / 2.4142 = 0.1682
    {"SixChannelsInWavOrder", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 6, {}, 5512, -5594},
    {"SixChannelsExtensibleDefaultMap", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 6, {}, 5512, -5594},
    {"SixChannelsFlac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 6, {}, 5512, -5594},
    // Beyond six the channels are left out.
    {"EightChannelsInWavOrder", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 8, {}, 5512, -5594},
    // FL FR FC; four in WAV order add an LFE, which is left out.
    {"ThreeChannels", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 3, {}, 5032, -1755},
    {"FourChannelsInWavOrder", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 4, {}, 5032, -1755},
    // Quadraphonic by its map: the third and fourth are the back channels.
    {"FourChannelsMappedQuad",
     SF_FORMAT_WAVEX | SF_FORMAT_FLOAT,
     4,
     {SF_CHANNEL_MAP_FRONT_LEFT, SF_CHANNEL_MAP_FRONT_RIGHT, SF_CHANNEL_MAP_REAR_LEFT,
      SF_CHANNEL_MAP_REAR_RIGHT},
     5032,
     5923},
};

class Mixdown : public ::testing::TestWithParam<MixCase> {};

TEST_P(Mixdown, GivesTheStereoFrameOfTheChannelPositions) {
  const MixCase& c = GetParam();
  testing::TempDir dir;
  const bool flac = (c.Format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC;
  const std::string path = dir.File(flac ? "mix.flac" : "mix.wav");
  std::vector<double> samples;
  for (int frame = 0; frame < 100; ++frame)
    samples.insert(samples.end(), kValues, kValues + c.Channels);
  ASSERT_TRUE(testing::WriteSoundFileDouble(path, c.Format, c.Channels, 44100, samples, c.Map));

  AudioFile file;
  ASSERT_EQ(file.Open(path), 0);
  EXPECT_TRUE(file.ThroughLibsndfile());
  EXPECT_EQ(file.ChannelCount(), 2);
  EXPECT_EQ(file.SetTargetRate(44100), 100);
  std::int16_t frame[2];
  file.ReadFrame(frame);
  EXPECT_NEAR(frame[0], c.Left, 1);
  EXPECT_NEAR(frame[1], c.Right, 1);
}

INSTANTIATE_TEST_SUITE_P(Channels, Mixdown, ::testing::ValuesIn(kMixes),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
