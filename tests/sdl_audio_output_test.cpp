// The SDL2 sound output on SDL's own test drivers: "disk" plays in real time into a file,
// an unknown driver cannot open. Each test runs in its own process under CTest, since SDL's
// audio set-up belongs to the process; the sounds are kept to a second or so.
#include "audio/sdl_audio_output.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/channel_play.h"
#include "support/named_case.h"
#include "support/scripted_ui.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::SoundRecord;

std::string Joined(const std::vector<std::string>& blocks) {
  std::string all;
  for (const std::string& b : blocks) all += b;
  return all;
}

class DiskAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", written_.c_str(), 1);
    ::unsetenv("SDL_DISKAUDIODELAY");  // the default delay plays in real time
  }

  testing::TempDir dir_;
  std::string written_ = dir_.File("device.raw");
};

struct ChannelCase {
  const char* Name;
  ChannelRecord Record;
};

class DiskAudioPlayback : public DiskAudioTest,
                          public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(DiskAudioPlayback, TheDeviceWritesTheDecodedChannelInOrder) {
  const ChannelRecord& record = GetParam().Record;
  const std::string path = dir_.File("play.xa");
  testing::SoundChannelFile(static_cast<int>(RecordEnd(record)), record).Write(path);
  Workspace workspace;
  XaFile& xa = workspace.File;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  const std::string expected = Joined(testing::ReferenceBlocks(xa, record));
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(record.SectorCount) * kPcmBlockBytes);
  ASSERT_NE(expected.find_first_not_of('\0'), std::string::npos) << "the sound is not silence";

  SdlAudioOutput output;
  testing::ScriptedProgress progress;
  EXPECT_EQ(PlayChannel(workspace, record, output, progress), Outcome::Done) << xa.LastErrorText;
  EXPECT_EQ(progress.Finishes, 1);

  // The whole sound in order, and nothing else but silence.
  const std::string device = testing::ReadFileBytes(written_);
  EXPECT_EQ(testing::Sounding(device), testing::Sounding(expected))
      << "written " << device.size() << " bytes, expected " << expected.size() << " in them";
}

const ChannelCase kChannels[] = {
    // 20 sectors of 53 ms: the ring of 16 is refilled while the device plays.
    {"Stereo378", SoundRecord(1, true, true, 0, 2, 20)},
    {"Mono189", SoundRecord(2, false, false, 1, 4, 3)},
};

INSTANTIATE_TEST_SUITE_P(Sdl, DiskAudioPlayback, ::testing::ValuesIn(kChannels),
                         [](const auto& info) { return std::string(info.param.Name); });

// Waits in real time until buffer `index` is done; false after `limitMs`.
bool WaitDone(SdlAudioOutput& output, int index, int limitMs) {
  for (int waited = 0; waited < limitMs; waited += 10) {
    if (output.IsDone(index)) return true;
    output.Sleep(10);
  }
  return output.IsDone(index);
}

TEST_F(DiskAudioTest, DoneFlagsAndPositionFollowThePlayedBytes) {
  SdlAudioOutput output;
  ASSERT_TRUE(output.Open(AudioFormat{22050, 1}));
  std::int64_t position = -1;
  ASSERT_TRUE(output.Position(position));
  EXPECT_EQ(position, 0);
  const std::vector<std::uint8_t> block(kPcmBlockBytes, 0x11);
  output.Write(3, block.data(), kPcmBlockBytes);  // 213 ms each at 22050 Hz mono
  output.Write(4, block.data(), kPcmBlockBytes);
  EXPECT_TRUE(output.IsDone(5)) << "never handed over";
  ASSERT_TRUE(WaitDone(output, 4, 3000));
  EXPECT_TRUE(output.IsDone(3));
  ASSERT_TRUE(output.Position(position));
  EXPECT_EQ(position, 2 * kPcmBlockBytes);
  output.Close();
  const std::string device = testing::ReadFileBytes(written_);
  EXPECT_NE(device.find(std::string(2 * kPcmBlockBytes, 0x11)), std::string::npos);
}

TEST_F(DiskAudioTest, ResetStopsTheSoundAndGivesBackEveryBuffer) {
  SdlAudioOutput output;
  ASSERT_TRUE(output.Open(AudioFormat{22050, 1}));
  // Four buffers of 213 ms, each of its own byte; the fourth starts 640 ms from now.
  std::vector<std::vector<std::uint8_t>> blocks;
  for (int i = 0; i < 4; ++i)
    blocks.emplace_back(kPcmBlockBytes, static_cast<std::uint8_t>(0x21 + i));
  for (int i = 0; i < 4; ++i) output.Write(i, blocks[i].data(), kPcmBlockBytes);
  output.Reset();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(output.IsDone(i)) << i;
  std::int64_t stopped = -1;
  ASSERT_TRUE(output.Position(stopped));
  EXPECT_LT(stopped, 3 * kPcmBlockBytes);
  output.Sleep(300);
  std::int64_t later = -1;
  ASSERT_TRUE(output.Position(later));
  EXPECT_EQ(later, stopped) << "nothing plays after a reset";
  output.Close();
  const std::string device = testing::ReadFileBytes(written_);
  EXPECT_EQ(device.find(static_cast<char>(0x24)), std::string::npos)
      << "the last buffer was never played";
}

TEST(SdlAudioOutput, AnUnknownDriverCannotOpenTheDevice) {
  ::setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
  testing::TempDir dir;
  const ChannelRecord record = SoundRecord(1, true, false, 0, 1, 2);
  testing::SoundChannelFile(2, record).Write(dir.File("play.xa"));
  Workspace workspace;
  XaFile& xa = workspace.File;
  ASSERT_EQ(OpenXaFile(xa, dir.File("play.xa")), 0);
  SdlAudioOutput output;
  testing::ScriptedProgress progress;
  EXPECT_EQ(PlayChannel(workspace, record, output, progress), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kWaveDeviceCannotOpen);
  EXPECT_EQ(progress.Starts, 0);
}

}  // namespace
}  // namespace sorvane
