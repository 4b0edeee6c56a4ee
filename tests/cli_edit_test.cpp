// sorvane-cli in-process for the commands that change a file; a real process where Ctrl-C
// is pressed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ProgramResult;
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
  ProgramResult Run(const std::string& args) { return testing::RunInProcess(args); }
  void WriteWav(int frames, int channels = 2, int rate = 37800) {
    WavBuilder(channels, rate, 16)
        .Samples16(
            testing::Frames16(frames, channels, [](int i, int) { return (i * 37) % 3000 - 1500; }))
        .Write(wavPath);
  }

  TempDir dir;
  std::string xaPath = dir.File("a.xa");
  std::string wavPath = dir.File("in.wav");
};

TEST_F(CliEdit, ImportFollowsFitAndReportsTheNewLength) {
  WriteWav(12 * 2016);
  ProgramResult keep = Run("import " + xaPath + " 1 " + wavPath);
  EXPECT_EQ(keep.ExitStatus, 0) << keep.Err;
  EXPECT_NE(keep.Err.find(text::kWavLonger), std::string::npos);
  EXPECT_NE(Run("list " + xaPath + " --units sectors").Out.find("      4      44"),
            std::string::npos);
  ProgramResult follow = Run("import " + xaPath + " 1 " + wavPath + " --fit wav --yes");
  EXPECT_EQ(follow.ExitStatus, 0) << follow.Err;
  EXPECT_NE(Run("list " + xaPath + " --units sectors").Out.find("      4      52"),
            std::string::npos);
}

// What was cut of a sound is said after the described texts, with both playing times, and the
// settings named when the file's size cut it.
TEST_F(CliEdit, AnImportThatCutsItsSoundSaysSo) {
  const struct {
    int Frames;
    const char* Options;
    const char* Report;  // the last line of standard error, or "" when nothing was cut
  } cases[] = {
      {8 * 2016, "", ""},
      {12 * 2016, "", "WAVデータを切り詰めて書き込みました: 0:00.48 → 0:00.40"},
      {12 * 2016, " --fit wav --yes", ""},
      {60 * 2016, " --fit wav --no",
       "WAVデータを切り詰めて書き込みました: 0:03.15 → 0:00.40 "
       "ファイルサイズの変更は「設定」で許可できます。"},
  };
  for (const auto& c : cases) {
    XaBuilder(200).Channel(1, true, true, 4, 4, 10).Write(xaPath);
    WriteWav(c.Frames);
    const ProgramResult r = Run("import " + xaPath + " 1 " + wavPath + c.Options);
    SCOPED_TRACE(c.Options);
    EXPECT_EQ(r.ExitStatus, 0) << r.Err;
    const std::string report = *c.Report == '\0' ? "" : std::string(c.Report) + "\n";
    EXPECT_TRUE(r.Err.ends_with(report) &&
                r.Err.find(text::kSoundCut) ==
                    (report.empty() ? std::string::npos : r.Err.size() - report.size()))
        << r.Err;
  }
}

TEST_F(CliEdit, ImportFailuresExitWithTheirStatus) {
  WriteWav(2016);
  EXPECT_EQ(Run("import " + xaPath + " 7 " + wavPath).Err, "no such channel\n");
  EXPECT_EQ(Run("import " + xaPath + " 7 " + wavPath).ExitStatus, 1);
  EXPECT_EQ(Run("import " + xaPath + " 300 " + wavPath).ExitStatus, 2);
  testing::WriteFileBytes(wavPath, "RIFF");
  ProgramResult refused = Run("import " + xaPath + " 1 " + wavPath);
  EXPECT_EQ(refused.ExitStatus, 1);
  EXPECT_EQ(refused.Err, Line(text::kWavCannotRead));
  EXPECT_EQ(Run("import " + xaPath + " 1 " + wavPath + " --yes --no").ExitStatus, 2);
  EXPECT_EQ(Run("import " + xaPath + " 1 " + wavPath + " --fit all").ExitStatus, 2);
}

TEST_F(CliEdit, AnOverwriteQuestionAnsweredCancelStopsTheImportWithStatus3) {
  // Data after the first 64 sectors is not listed after a quick open; channel 2 on other
  // slots keeps the file's end where it is, so no size question comes first.
  XaBuilder(200)
      .Channel(1, true, true, 4, 4, 10)
      .Channel(2, true, true, 1, 4, 45)
      .Data(64)
      .Data(68)
      .Write(xaPath);
  WriteWav(20 * 2016);
  ProgramResult run = Run("import " + xaPath + " 1 " + wavPath + " --fit wav --quick --no");
  EXPECT_EQ(run.ExitStatus, 3);
  EXPECT_NE(run.Err.find(text::kAskOverwriteData), std::string::npos);
  EXPECT_NE(run.Err.find(Line(text::kCancelled)), std::string::npos);
}

TEST_F(CliEdit, AppendProposesAppliesTheOptionsAndRefusesLikeTheDialog) {
  WriteWav(12 * 2016);  // three sectors of 18.9k mono: a channel of one sector is never found again
  ProgramResult used =
      Run("append " + xaPath + " " + wavPath + " --channel 1 --start 0.2 --slot 1");
  EXPECT_EQ(used.ExitStatus, 1);
  EXPECT_EQ(used.Err, Line(text::kChannelInUse));
  ProgramResult overlap =
      Run("append " + xaPath + " " + wavPath + " --channel 9 --start 0.4 --slot 0");
  EXPECT_EQ(overlap.Err, Line(text::kOverlap));
  ProgramResult negative = Run("append " + xaPath + " " + wavPath + " --start -1.0");
  EXPECT_EQ(negative.Err, Line(text::kBadStart));
  EXPECT_EQ(Run("append " + xaPath + " " + wavPath + " --slot 4").ExitStatus, 2);
  EXPECT_EQ(
      Run("append " + xaPath + " " + wavPath + " --quality 18.9m --slot 15 --channel 300 --yes")
          .ExitStatus,
      0);
  const std::string list = Run("list " + xaPath + " --units sectors").Out;
  EXPECT_NE(list.find(" 44  15"), std::string::npos) << list;
  EXPECT_NE(list.find(" 18.9k Mono"), std::string::npos);
}

TEST_F(CliEdit, AnAppendPastTheEndNeedsTheFileToGrow) {
  WriteWav(2016);
  ProgramResult declined = Run("append " + xaPath + " " + wavPath + " --start 4.0 --no");
  EXPECT_EQ(declined.ExitStatus, 3);
  EXPECT_NE(declined.Err.find(Line(text::kCannotGrowForAppend)), std::string::npos);
  EXPECT_EQ(testing::FileLength(xaPath), 200 * 2336);
  EXPECT_EQ(Run("append " + xaPath + " " + wavPath + " --start 4.0 --yes").ExitStatus, 0);
  EXPECT_GT(testing::FileLength(xaPath), 300 * 2336);
}

TEST_F(CliEdit, DeleteAsksAndCancelKeepsTheChannel) {
  const std::string before = testing::ReadFileBytes(xaPath);
  ProgramResult no = Run("delete " + xaPath + " 1 --no");
  EXPECT_EQ(no.ExitStatus, 3);
  EXPECT_EQ(no.Err, Line(text::kAskDelete));
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
  EXPECT_EQ(Run("delete " + xaPath + " 1 --yes").ExitStatus, 0);
  EXPECT_EQ(Run("list " + xaPath).Out.find("\n  1 "), std::string::npos);
}

TEST_F(CliEdit, SettingsShowValidateAndApply) {
  ProgramResult shown = Run("settings " + xaPath);
  EXPECT_EQ(shown.Out, std::string(text::kLabelChannelGap) + ": 2.06\n" + text::kLabelEndGap +
                           ": 2.06\n" + text::kLabelModify + ": \n");
  ProgramResult tooLarge = Run("settings " + xaPath + " --channel-gap 2.01 --end-gap 2.00");
  EXPECT_EQ(tooLarge.ExitStatus, 1);
  EXPECT_EQ(tooLarge.Err, Line(text::kGapTooLarge));
  EXPECT_EQ(Run("settings " + xaPath + " --channel-gap -1.0 --end-gap -0.5").Err,
            Line(text::kNegativeGap));
  ProgramResult applied =
      Run("settings " + xaPath + " --channel-gap 0.5 --end-gap 2.5 --resize allow --json");
  EXPECT_EQ(applied.ExitStatus, 0);
  EXPECT_EQ(applied.Out,
            "{\"channel_post_gap\": 5, \"end_post_gap\": 155, \"resize_permission\": 1}\n");
  EXPECT_EQ(testing::FileLength(xaPath), (44 + 155) * 2336);
  EXPECT_EQ(Run("settings " + xaPath + " --resize sometimes").ExitStatus, 2);
}

TEST_F(CliEdit, CtrlCStopsAnImportAndADeleteAtTheirFirstPoll) {
  WriteWav(10 * 2016);
  const std::string before = testing::ReadFileBytes(xaPath);
  testing::RunOptions interrupted;
  interrupted.InterruptPending = true;
  const ProgramResult import =
      testing::RunProgram({SORVANE_CLI, "import", xaPath, "1", wavPath, "--quick"}, interrupted);
  EXPECT_EQ(import.ExitStatus, 3);
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
  const ProgramResult erase =
      testing::RunProgram({SORVANE_CLI, "delete", xaPath, "1", "--yes", "--quick"}, interrupted);
  EXPECT_EQ(erase.ExitStatus, 3);
  // Stopped before its first sector: the channel's sectors keep their sound, so a new scan
  // finds the channel again.
  EXPECT_NE(Run("list " + xaPath).Out.find("\n  1   0"), std::string::npos);
}

// The high-quality path writes the same sectors with the same subheaders; only the sound
// groups differ, and their ranges stay within 0 to 12.
TEST_F(CliEdit, HighQualityImportRewritesOnlyTheSound) {
  WriteWav(10 * 2016, 2, 44100);
  const std::string plain = dir.File("plain.xa");
  testing::WriteFileBytes(plain, testing::ReadFileBytes(xaPath));
  ASSERT_EQ(Run("import " + plain + " 1 " + wavPath).ExitStatus, 0);
  const ProgramResult hq = Run("import " + xaPath + " 1 " + wavPath + " --hq");
  ASSERT_EQ(hq.ExitStatus, 0) << hq.Err;
  const std::string a = testing::ReadFileBytes(plain);
  const std::string b = testing::ReadFileBytes(xaPath);
  ASSERT_EQ(a.size(), b.size());
  int differing = 0;
  for (int sector = 4; sector < 44; sector += 4) {
    const std::size_t at = std::size_t(sector) * 2336;
    EXPECT_EQ(a.substr(at, 8), b.substr(at, 8)) << sector;
    differing += a.compare(at + 8, 2304, b, at + 8, 2304) != 0;
    for (int g = 0; g < 18; ++g) {
      for (int p = 0; p < 16; ++p) ASSERT_LE(b[at + 8 + g * 128 + p] & 15, 12) << sector;
    }
  }
  EXPECT_EQ(a.substr(0, 4 * 2336), b.substr(0, 4 * 2336));
  EXPECT_GT(differing, 5);
}

}  // namespace
}  // namespace sorvane
