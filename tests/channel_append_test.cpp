#include "edit/channel_append.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "edit/position_text.h"
#include "input/audio_file.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ScriptedProgress;
using testing::ScriptedPrompter;
using testing::TempDir;
using testing::WavBuilder;
using testing::XaBuilder;

ChannelRecord Channel(std::uint8_t number, int first, int count, int interleave,
                      std::uint8_t doubleSpeed = 0) {
  return {number, 1, 1, doubleSpeed, first, count, interleave};
}

class Append : public ::testing::Test {
 protected:
  // Opens a WAV of `frames` silent frames with `channels` channels at `rate`.
  void OpenWav(int channels, int rate, int frames) {
    WavBuilder(channels, rate, 16)
        .Samples16(std::vector<std::int16_t>(std::size_t(frames) * channels))
        .Write(wavPath);
    ASSERT_EQ(wave.Open(wavPath), 0);
  }

  TempDir dir;
  std::string wavPath = dir.File("in.wav");
  std::string xaPath = dir.File("a.xa");
  Workspace workspace;
  XaFile& xa = workspace.File;
  AudioFile wave;
  AppendDialogState dialog;
};

TEST_F(Append, AnEmptyFileProposesChannelZeroAtSectorZero) {
  OpenWav(2, 44100, 44100);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  EXPECT_EQ(r.Channel, 0);
  EXPECT_EQ(r.FirstSector, 0);
  EXPECT_EQ(r.DoubleSpeed, 0);
  EXPECT_EQ(r.SectorCount, 19);  // 37800 frames / 2016, rounded up
  ShowParams(r, dialog);
  EXPECT_EQ(dialog.StartText, "0.0");
  EXPECT_EQ(dialog.TrackItem, 0);
  EXPECT_EQ(dialog.QualityItem, 3);
  EXPECT_EQ(dialog.TrackItems, (std::vector<std::string>{"0", "1", "2", "3"}));
}

struct QualityCase {
  int channels, rate;
  std::uint8_t lastDoubleSpeed;
  int quality, interleave;
};

class AppendQuality : public Append, public ::testing::WithParamInterface<QualityCase> {};

TEST_P(AppendQuality, FollowsTheWavAndTheLastChannelsSpeed) {
  xa.AudioChannelTable.Append(Channel(0, 0, 10, 8, GetParam().lastDoubleSpeed));
  OpenWav(GetParam().channels, GetParam().rate, 100);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  EXPECT_EQ(2 * r.HighRate + r.Stereo, GetParam().quality);
  EXPECT_EQ(r.Interleave, GetParam().interleave);
  EXPECT_EQ(r.DoubleSpeed, GetParam().lastDoubleSpeed);
}

INSTANTIATE_TEST_SUITE_P(
    Wavs, AppendQuality,
    ::testing::Values(QualityCase{1, 37800, 0, 2, 8}, QualityCase{1, 37799, 0, 0, 16},
                      QualityCase{2, 44100, 0, 3, 4}, QualityCase{2, 44100, 1, 3, 8},
                      QualityCase{1, 22050, 0, 0, 16}, QualityCase{4, 22050, 0, 1, 8}));

TEST_F(Append, TheSectorCountRoundsUp) {
  ChannelRecord mono{0, 0, 0, 0, 0, 0, 16};
  OpenWav(1, 18900, 4033);
  EXPECT_EQ(SectorsForSound(wave, mono), 2);
  wave.Close();
  OpenWav(1, 18900, 4032);
  EXPECT_EQ(SectorsForSound(wave, mono), 1);
}

TEST_F(Append, TheChannelNumberWalkCountsInEightBits) {
  for (std::uint8_t n : {0, 1, 5}) xa.AudioChannelTable.Append(Channel(n, 0, 0, 8));
  OpenWav(2, 44100, 100);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  EXPECT_EQ(r.Channel, 6);
  ShowParams(r, dialog);
  dialog.ChannelText = "9";
  FindButtonClick(xa, dialog, wave, r);
  EXPECT_EQ(dialog.ChannelText, "9");
  dialog.ChannelText = "3";
  FindButtonClick(xa, dialog, wave, r);
  EXPECT_EQ(dialog.ChannelText, "6");

  XaFile wrapped;
  wrapped.AudioChannelTable.Append(Channel(255, 0, 0, 8));
  EXPECT_EQ(ProposeNewChannel(wrapped, wave).Channel, 0);
  wrapped.AudioChannelTable.Append(Channel(3, 0, 0, 8));
  EXPECT_EQ(ProposeNewChannel(wrapped, wave).Channel, 4);
}

TEST_F(Append, ChangingTheQualityRebuildsTheSlotsAndKeepsTheSelection) {
  dialog.QualityItem = 3;
  dialog.TrackItem = 2;
  QualitySelChange(dialog);
  ASSERT_EQ(dialog.TrackItems.size(), 4u);
  dialog.QualityItem = 0;
  QualitySelChange(dialog);
  EXPECT_EQ(dialog.TrackItems.size(), 16u);
  EXPECT_EQ(dialog.TrackItem, 2);
  dialog.TrackItem = 13;
  dialog.QualityItem = 3;
  QualitySelChange(dialog);
  EXPECT_EQ(dialog.TrackItem, 1);
  dialog.SpeedItem = 1;
  QualitySelChange(dialog);
  EXPECT_EQ(dialog.TrackItems.size(), 8u);
  dialog.TrackItem = -1;
  QualitySelChange(dialog);
  EXPECT_EQ(dialog.TrackItem, -1);
}

struct StartCase {
  const char* text;
  int slot;
  std::int32_t first;
  const char* shown;
};

class AppendStart : public Append, public ::testing::WithParamInterface<StartCase> {};

TEST_P(AppendStart, IsReadAsSecondsAndSectorsCutToTheCycleWithTheSlotAdded) {
  OpenWav(1, 44100, 100);  // 37.8k mono: interleave 8
  ChannelRecord r = ProposeNewChannel(xa, wave);
  ShowParams(r, dialog);
  dialog.StartText = GetParam().text;
  dialog.TrackItem = GetParam().slot;
  EXPECT_EQ(OKButtonClick(xa, dialog, wave, r), nullptr);
  EXPECT_EQ(r.FirstSector, GetParam().first);
  EXPECT_EQ(dialog.StartText, GetParam().shown);
  EXPECT_EQ(dialog.TrackItem, GetParam().slot);
}

INSTANTIATE_TEST_SUITE_P(Texts, AppendStart,
                         ::testing::Values(StartCase{"2.5", 3, 155, "2.2"},
                                           StartCase{"150", 0, 11248, "149.73"},
                                           StartCase{"", 5, 5, "0.0"}, StartCase{".5", 0, 0, "0.0"},
                                           StartCase{"1.80", 0, 152, "2.2"}));

TEST_F(Append, TheChannelTextIsTakenInEightBits) {
  OpenWav(1, 44100, 100);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  ShowParams(r, dialog);
  dialog.ChannelText = "300";
  EXPECT_EQ(OKButtonClick(xa, dialog, wave, r), nullptr);
  EXPECT_EQ(r.Channel, 44);
  EXPECT_EQ(dialog.ChannelText, "44");
}

TEST_F(Append, OkRefusesAUsedNumberAnOverlapAndAStartBeforeTheFile) {
  xa.AudioChannelTable.Append(Channel(1, 0, 10, 8));
  OpenWav(1, 44100, 100);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  ShowParams(r, dialog);
  dialog.ChannelText = "1";
  EXPECT_STREQ(OKButtonClick(xa, dialog, wave, r), text::kChannelInUse);
  dialog.ChannelText = "2";
  dialog.StartText = "0.0";
  dialog.TrackItem = 0;
  EXPECT_STREQ(OKButtonClick(xa, dialog, wave, r), text::kOverlap);
  dialog.StartText = "-1.0";
  dialog.TrackItem = 1;
  EXPECT_STREQ(OKButtonClick(xa, dialog, wave, r), text::kBadStart);
  EXPECT_EQ(dialog.TrackItem, 1);  // the refused entry stays as typed
  EXPECT_EQ(dialog.StartText, "-1.0");
  dialog.StartText = "0.0";
  dialog.TrackItem = 1;
  EXPECT_EQ(OKButtonClick(xa, dialog, wave, r), nullptr);
}

TEST_F(Append, RefusesAFullTable) {
  EXPECT_EQ(RefuseAppend(xa), nullptr);
  for (int i = 0; i < kMaxRecords; ++i)
    xa.AudioChannelTable.Append(Channel(std::uint8_t(i), 0, 0, 8));
  EXPECT_STREQ(RefuseAppend(xa), text::kTableFull);
}

class AppendToFile : public Append {
 protected:
  void SetUp() override {
    XaBuilder(100).Channel(0, true, true, 0, 4, 5).Write(xaPath);
    ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
    ASSERT_EQ(ScanChannels(xa, kWalkLimitOpen, progress), 0);
  }
  ScriptedProgress progress;
  ScriptedPrompter prompter;
};

TEST_F(AppendToFile, StampsTheFirstSectorAddsTheEntryAndImports) {
  OpenWav(1, 22050, 3 * 4032 * 22050 / 18900);  // 18.9k mono, 3 sectors
  ChannelRecord r = ProposeNewChannel(xa, wave);
  EXPECT_EQ(r.Channel, 1);
  EXPECT_EQ(r.FirstSector, 1);
  EXPECT_EQ(r.Interleave, 16);
  wave.Close();
  xa.ResizePermission = ResizeAllowed;
  ASSERT_EQ(AppendChannel(workspace, r, wavPath, progress, prompter), Outcome::Done);
  ASSERT_EQ(xa.AudioChannelTable.Count, 2);
  const ChannelRecord& added = xa.AudioChannelTable.Records[1];
  EXPECT_EQ(added.SectorCount, 3);
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  ASSERT_EQ(ReadSector(xa, 1, sector, info), 0);
  EXPECT_EQ(std::vector<std::uint8_t>(sector, sector + 8),
            (std::vector<std::uint8_t>{1, 1, 0x64, 4, 1, 1, 0x64, 4}));
  ASSERT_EQ(ReadSubheader(xa, 33, info), 0);
  EXPECT_EQ(info.Subheader[2], kSubmodeAudioSector | kSubmodeEof);
  EXPECT_TRUE(prompter.LengthMessages.empty());
}

TEST_F(AppendToFile, AStartPastTheEndGrowsTheFileOrIsRefused) {
  OpenWav(2, 37800, 2016);
  ChannelRecord r = ProposeNewChannel(xa, wave);
  r.FirstSector = 120;
  wave.Close();
  const std::string before = testing::ReadFileBytes(xaPath);
  // Forbidden: refused without a question. Asked and answered "キャンセル": declined.
  xa.ResizePermission = ResizeForbidden;
  EXPECT_EQ(AppendChannel(workspace, r, wavPath, progress, prompter), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotGrowForAppend);
  EXPECT_TRUE(prompter.Questions.empty());
  xa.ResizePermission = ResizeAsk;
  prompter.Answers = {false};
  xa.LastErrorText = "";
  EXPECT_EQ(AppendChannel(workspace, r, wavPath, progress, prompter), Outcome::Declined);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotGrowForAppend);
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
  EXPECT_EQ(xa.AudioChannelTable.Count, 1);

  xa.ResizePermission = ResizeAsk;
  prompter.Answers = {true};
  ASSERT_EQ(AppendChannel(workspace, r, wavPath, progress, prompter), Outcome::Done);
  EXPECT_EQ(prompter.Questions, (std::vector<std::string>{text::kAskResize, text::kAskResize}));
  ASSERT_EQ(xa.AudioChannelTable.Count, 2);
  EXPECT_EQ(xa.AudioChannelTable.Records[1].SectorCount, 1);
  SectorInfo info;
  ASSERT_EQ(ReadSubheader(xa, 120, info), 0);
  EXPECT_EQ(info.Kind, SectorAudio);
  EXPECT_EQ(info.Channel, 1);
}

TEST_F(AppendToFile, ACancelHalfWayKeepsTheChannelWithWhatWasWritten) {
  OpenWav(1, 22050, 3 * 4032 * 22050 / 18900);  // 18.9k mono, 3 sectors
  const ChannelRecord r = ProposeNewChannel(xa, wave);
  wave.Close();
  xa.ResizePermission = ResizeAllowed;
  progress.CancelAtPoll = 2;
  xa.LastErrorText = "";
  EXPECT_EQ(AppendChannel(workspace, r, wavPath, progress, prompter), Outcome::Cancelled);
  EXPECT_STREQ(xa.LastErrorText, "") << "a cancel has no message";
  ASSERT_EQ(xa.AudioChannelTable.Count, 2);
  SectorInfo info;
  ASSERT_EQ(ReadSubheader(xa, r.FirstSector, info), 0);
  EXPECT_EQ(info.Channel, r.Channel);
}

TEST(PositionText, StartTextsShowSecondsAndSectorsWithoutPadding) {
  EXPECT_EQ(FormatStartText(155), "2.5");
  EXPECT_EQ(FormatStartText(152), "2.2");
  EXPECT_EQ(FormatStartText(0), "0.0");
  std::int32_t value = 7;
  EXPECT_FALSE(ParseLeadingInteger("x1", value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(ParseLeadingInteger("  -12abc", value));
  EXPECT_EQ(value, -12);
}

}  // namespace
}  // namespace sorvane
