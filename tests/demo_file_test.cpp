#include "edit/demo_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress_monitor.h"
#include "container/channel_scan.h"
#include "edit/channel_export.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::TempDir;

// Signal-to-noise ratio in dB of `decoded` (16-bit little-endian PCM) against `original`,
// over the samples both have.
double SnrDb(const std::vector<std::int16_t>& original, const std::string& decoded) {
  const std::size_t n = std::min(original.size(), decoded.size() / 2);
  double signal = 0, noise = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto lo = static_cast<std::uint8_t>(decoded[2 * i]);
    const auto hi = static_cast<std::uint8_t>(decoded[2 * i + 1]);
    const double got = static_cast<std::int16_t>(lo | hi << 8);
    signal += double(original[i]) * original[i];
    noise += (got - original[i]) * (got - original[i]);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST(DemoFile, HoldsThreeQualitiesThatExportBackToTheGeneratedSound) {
  TempDir dir;
  const std::string path = dir.File("demo.xa");
  Workspace workspace;
  ASSERT_EQ(WriteDemoFile(workspace, path), Outcome::Done) << workspace.File.LastErrorText;
  XaFile& xa = workspace.File;
  SilentProgress quiet;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, quiet), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 3);
  for (int k = 0; k < 3; ++k) {
    const ChannelRecord& r = xa.AudioChannelTable.Records[k];
    EXPECT_EQ(r.HighRate, kDemoChannels[k].Rate == 44100 ? 1 : 0) << k;
    EXPECT_EQ(r.Stereo, kDemoChannels[k].Stereo ? 1 : 0) << k;
    const std::string wav = dir.File("out" + std::to_string(k) + ".wav");
    ASSERT_EQ(ExportChannel(workspace, r, wav, quiet), Outcome::Done);
    const double snr = SnrDb(DemoSound(k), testing::ReadFileBytes(wav).substr(kWavHeaderBytes));
    std::printf("demo channel %d: SNR %.1f dB\n", k, snr);
    // The whole chain keeps 31-39 dB; a decoder that takes the wrong filter falls to about 0 dB.
    EXPECT_GT(snr, 20.0) << k;
  }
}

// The sound goes to the encoder from memory: nothing but the demo file is written.
TEST(DemoFile, WritesNoFileBesideItself) {
  TempDir dir;
  Workspace workspace;
  ASSERT_EQ(WriteDemoFile(workspace, dir.File("demo.xa")), Outcome::Done);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"demo.xa"});
  EXPECT_FALSE(workspace.File.IsOpen());
}

TEST(DemoFile, AFolderThatCannotHoldTheFileFails) {
  TempDir dir;
  Workspace workspace;
  EXPECT_EQ(WriteDemoFile(workspace, dir.File("no/such/folder/demo.xa")), Outcome::Failed);
  EXPECT_STRNE(workspace.File.LastErrorText, "");
}

TEST(DemoFile, TheCommandRefusesToReplaceAFileWithoutForce) {
  TempDir dir;
  const std::string path = dir.File("demo.xa");
  EXPECT_EQ(testing::RunInProcess("demo " + path).ExitStatus, 0);
  const testing::ProgramResult again = testing::RunInProcess("demo " + path);
  EXPECT_EQ(again.ExitStatus, 1);
  EXPECT_NE(again.Err.find("--force"), std::string::npos);
  const testing::ProgramResult list = testing::RunInProcess("list " + path);
  EXPECT_NE(list.Out.find(" 37.8k Stereo"), std::string::npos);
  EXPECT_NE(list.Out.find(" 37.8k Mono"), std::string::npos);
  EXPECT_NE(list.Out.find(" 18.9k Mono"), std::string::npos);
}

}  // namespace
}  // namespace sorvane
