// Runs the real sorvane-cli for the commands that change a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::CliRun;
using testing::TempDir;
using testing::WavBuilder;
using testing::XaBuilder;

std::string Line(const char* text) { return std::string(text) + "\n"; }

class CliEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    // Channel 1: 37.8k stereo, 10 sectors at 4..40; 200 sectors.
    XaBuilder(200).Channel(1, true, true, 4, 4, 10).Write(xaPath);
  }
  CliRun Run(const std::string& args) { return testing::RunCli(SORVANE_CLI, args, dir); }
  void WriteWav(int frames, int channels = 2, int rate = 37800) {
    WavBuilder(channels, rate, 16)
        .Samples16(testing::Frames16(frames, channels, [](int i, int) { return (i * 37) % 3000 - 1500; }))
        .Write(wavPath);
  }

  TempDir dir;
  std::string xaPath = dir.File("a.xa");
  std::string wavPath = dir.File("in.wav");
};

TEST_F(CliEdit, ImportFollowsFitAndReportsTheNewLength) {
  WriteWav(12 * 2016);
  CliRun keep = Run("import " + xaPath + " 1 " + wavPath);
  EXPECT_EQ(keep.status, 0) << keep.err;
  EXPECT_NE(keep.err.find(text::kWavLonger), std::string::npos);
  EXPECT_NE(Run("list " + xaPath + " --units sectors").out.find("      4      44"), std::string::npos);
  CliRun follow = Run("import " + xaPath + " 1 " + wavPath + " --fit wav --yes");
  EXPECT_EQ(follow.status, 0) << follow.err;
  EXPECT_NE(Run("list " + xaPath + " --units sectors").out.find("      4      52"), std::string::npos);
}

TEST_F(CliEdit, ImportFailuresExitWithTheirStatus) {
  WriteWav(2016);
  EXPECT_EQ(Run("import " + xaPath + " 7 " + wavPath).err, "no such channel\n");
  EXPECT_EQ(Run("import " + xaPath + " 7 " + wavPath).status, 1);
  EXPECT_EQ(Run("import " + xaPath + " 300 " + wavPath).status, 2);
  testing::WriteFileBytes(wavPath, "RIFF");
  CliRun refused = Run("import " + xaPath + " 1 " + wavPath);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, Line(text::kWavCannotRead));
  EXPECT_EQ(Run("import " + xaPath + " 1 " + wavPath + " --yes --no").status, 2);
  EXPECT_EQ(Run("import " + xaPath + " 1 " + wavPath + " --fit all").status, 2);
}

TEST_F(CliEdit, AnOverwriteQuestionAnsweredCancelStopsTheImportWithStatus3) {
  // Data after the first 64 sectors is not listed after a quick open; channel 2 on other
  // slots keeps the file's end where it is, so no size question comes first.
  XaBuilder(200).Channel(1, true, true, 4, 4, 10).Channel(2, true, true, 1, 4, 45).Data(64).Data(68).Write(xaPath);
  WriteWav(20 * 2016);
  CliRun run = Run("import " + xaPath + " 1 " + wavPath + " --fit wav --quick --no");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find(text::kAskOverwriteData), std::string::npos);
  EXPECT_NE(run.err.find(Line(text::kCancelled)), std::string::npos);
}

TEST_F(CliEdit, AppendProposesAppliesTheOptionsAndRefusesLikeTheDialog) {
  WriteWav(12 * 2016);  // three sectors of 18.9k mono: a channel of one sector is never found again
  CliRun used = Run("append " + xaPath + " " + wavPath + " --channel 1 --start 0.2 --slot 1");
  EXPECT_EQ(used.status, 1);
  EXPECT_EQ(used.err, Line(text::kChannelInUse));
  CliRun overlap = Run("append " + xaPath + " " + wavPath + " --channel 9 --start 0.4 --slot 0");
  EXPECT_EQ(overlap.err, Line(text::kOverlap));
  CliRun negative = Run("append " + xaPath + " " + wavPath + " --start -1.0");
  EXPECT_EQ(negative.err, Line(text::kBadStart));
  EXPECT_EQ(Run("append " + xaPath + " " + wavPath + " --slot 4").status, 2);
  EXPECT_EQ(Run("append " + xaPath + " " + wavPath + " --quality 18.9m --slot 15 --channel 300 --yes").status, 0);
  const std::string list = Run("list " + xaPath + " --units sectors").out;
  EXPECT_NE(list.find(" 44  15"), std::string::npos) << list;
  EXPECT_NE(list.find(" 18.9k Mono"), std::string::npos);
}

TEST_F(CliEdit, AnAppendPastTheEndNeedsTheFileToGrow) {
  WriteWav(2016);
  CliRun declined = Run("append " + xaPath + " " + wavPath + " --start 4.0 --no");
  EXPECT_EQ(declined.status, 3);
  EXPECT_NE(declined.err.find(Line(text::kCannotGrowForAppend)), std::string::npos);
  EXPECT_EQ(testing::FileLength(xaPath), 200 * 2336);
  EXPECT_EQ(Run("append " + xaPath + " " + wavPath + " --start 4.0 --yes").status, 0);
  EXPECT_GT(testing::FileLength(xaPath), 300 * 2336);
}

TEST_F(CliEdit, DeleteAsksAndCancelKeepsTheChannel) {
  const std::string before = testing::ReadFileBytes(xaPath);
  CliRun no = Run("delete " + xaPath + " 1 --no");
  EXPECT_EQ(no.status, 3);
  EXPECT_EQ(no.err, Line(text::kAskDelete));
  EXPECT_EQ(testing::ReadFileBytes(xaPath), before);
  EXPECT_EQ(Run("delete " + xaPath + " 1 --yes").status, 0);
  EXPECT_EQ(Run("list " + xaPath).out.find("\n  1 "), std::string::npos);
}

TEST_F(CliEdit, SettingsShowValidateAndApply) {
  CliRun shown = Run("settings " + xaPath);
  EXPECT_EQ(shown.out, std::string(text::kLabelChannelGap) + ": 2.06\n" + text::kLabelEndGap + ": 2.06\n" +
                           text::kLabelModify + ": \n");
  CliRun tooLarge = Run("settings " + xaPath + " --channel-gap 2.01 --end-gap 2.00");
  EXPECT_EQ(tooLarge.status, 1);
  EXPECT_EQ(tooLarge.err, Line(text::kGapTooLarge));
  EXPECT_EQ(Run("settings " + xaPath + " --channel-gap -1.0 --end-gap -0.5").err, Line(text::kNegativeGap));
  CliRun applied = Run("settings " + xaPath + " --channel-gap 0.5 --end-gap 2.5 --resize allow --json");
  EXPECT_EQ(applied.status, 0);
  EXPECT_EQ(applied.out, "{\"channel_post_gap\": 5, \"end_post_gap\": 155, \"resize_permission\": 1}\n");
  EXPECT_EQ(testing::FileLength(xaPath), (44 + 155) * 2336);
  EXPECT_EQ(Run("settings " + xaPath + " --resize sometimes").status, 2);
}

}  // namespace
}  // namespace sorvane
