#include "edit/import_passes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "codec/adpcm_decoder.h"
#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "edit/channel_import.h"
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

// A stereo WAV of `frames` frames of a quiet ramp at `rate`.
void WriteStereoWav(const std::string& path, int frames, int rate) {
  WavBuilder(2, rate, 16)
      .Samples16(
          testing::Frames16(frames, 2, [](int i, int c) { return (i % 2000) * 8 - c * 100; }))
      .Write(path);
}

class Import : public ::testing::Test {
 protected:
  // Opens the built file and selects the channel of table entry `entry`.
  void Open(const XaBuilder& builder, int entry = 0, std::int32_t walkLimit = kWalkLimitFull) {
    builder.Write(xaPath);
    ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
    ASSERT_EQ(ScanChannels(xa, walkLimit, quiet), 0);
    ASSERT_GT(xa.AudioChannelTable.Count, entry);
    SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[entry]);
  }
  Outcome ImportRamp(int frames, int rate) {
    WriteStereoWav(wavPath, frames, rate);
    return ImportWav(xa, importer, wavPath, progress, prompter);
  }
  SectorInfo Info(int index) {
    SectorInfo info;
    EXPECT_EQ(ReadSubheader(xa, index, info), 0);
    return info;
  }
  std::vector<std::uint8_t> Sector(int index) {
    std::vector<std::uint8_t> bytes(kSectorBytes);
    SectorInfo info;
    EXPECT_EQ(ReadSector(xa, index, bytes.data(), info), 0);
    return bytes;
  }
  bool HasEof(int index) { return (Info(index).Subheader[2] & kSubmodeEof) != 0; }
  bool IsEmptySector(int index) {
    std::vector<std::uint8_t> empty(kSectorBytes);
    MakeEmptySector(xa, empty.data(), false);
    return Sector(index) == empty;
  }
  const ChannelRecord& Entry(int k = 0) { return xa.AudioChannelTable.Records[k]; }

  TempDir dir;
  std::string xaPath = dir.File("a.xa");
  std::string wavPath = dir.File("in.wav");
  XaFile xa;
  Importer importer;
  ScriptedProgress quiet;
  ScriptedProgress progress;
  ScriptedPrompter prompter;
};

// A 37.8 kHz stereo channel of 10 sectors at 4, 8, ..., 40 in a 200-sector file.
XaBuilder TenSectorChannel() { return XaBuilder(200).Channel(1, true, true, 4, 4, 10); }

TEST_F(Import, AWavOfTheChannelsLengthIsEncodedInPlaceWithoutAQuestion) {
  Open(TenSectorChannel());
  const auto before = Sector(4);
  ASSERT_EQ(ImportRamp(20160, 37800), Outcome::Done);
  EXPECT_TRUE(prompter.LengthMessages.empty());
  EXPECT_EQ(Entry().SectorCount, 10);
  EXPECT_NE(Sector(4), before);
  for (int k = 0; k < 10; ++k) {
    SectorInfo info = Info(4 + 4 * k);
    EXPECT_EQ(info.Kind, SectorAudio);
    EXPECT_EQ(info.Channel, 1);
    EXPECT_EQ(HasEof(4 + 4 * k), k == 9) << k;
  }
  EXPECT_EQ(progress.Starts, 1);
  EXPECT_EQ(progress.Finishes, 1);
}

TEST_F(Import, AShorterWavKeepsTheLengthWithTheFirstChoice) {
  Open(TenSectorChannel());
  prompter.LengthAnswers = {LengthChoice::KeepOriginal};
  ASSERT_EQ(ImportRamp(20160, 44100), Outcome::Done);  // 17280 frames at 37800: 9 sectors
  EXPECT_EQ(prompter.LengthMessages, std::vector<std::string>{text::kWavShorter});
  EXPECT_EQ(prompter.SecondChoices, std::vector<std::string>{text::kFollowWav});
  EXPECT_EQ(Entry().SectorCount, 10);
  EXPECT_TRUE(HasEof(40));
  EXPECT_FALSE(HasEof(36));
  EXPECT_EQ(Info(40).Kind, SectorAudio);
}

TEST_F(Import, AShorterWavShortensTheChannelWithTheSecondChoice) {
  Open(TenSectorChannel());
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  ASSERT_EQ(ImportRamp(20160, 44100), Outcome::Done);
  EXPECT_EQ(Entry().SectorCount, 9);
  EXPECT_EQ(importer.Cursor.Channel.SectorCount, 9);
  EXPECT_TRUE(HasEof(36));
  EXPECT_TRUE(IsEmptySector(40));
}

TEST_F(Import, CancellingTheLengthDialogLeavesTheFileAsItWas) {
  Open(TenSectorChannel());
  const std::string before = testing::ReadFileBytes(xaPath);
  prompter.LengthAnswers = {LengthChoice::Cancel};
  EXPECT_EQ(ImportRamp(30000, 37800), Outcome::Cancelled);
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
  EXPECT_EQ(progress.Starts, 0);
  EXPECT_FALSE(importer.Reader.IsOpen());
}

TEST_F(Import, ALongerWavIsCutWithTheFirstChoice) {
  Open(TenSectorChannel());
  prompter.LengthAnswers = {LengthChoice::KeepOriginal};
  ASSERT_EQ(ImportRamp(15 * 2016, 37800), Outcome::Done);
  EXPECT_EQ(prompter.LengthMessages, std::vector<std::string>{text::kWavLonger});
  EXPECT_EQ(Entry().SectorCount, 10);
  EXPECT_TRUE(HasEof(40));
  EXPECT_EQ(Info(44).Kind, SectorEmpty);
}

TEST_F(Import, ALongerWavAddsSectorsAtInterleaveStepsWithTheSecondChoice) {
  Open(TenSectorChannel());
  SectorInfo first = Info(4);
  first.Subheader[0] = 7;  // a first sector with its own file number
  ASSERT_EQ(WriteSubheader(xa, 4, first), 0);
  xa.ResizePermission = ResizeAllowed;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  ASSERT_EQ(ImportRamp(15 * 2016, 37800), Outcome::Done);
  EXPECT_EQ(Entry().SectorCount, 15);
  for (int k = 10; k < 15; ++k) {
    SectorInfo info = Info(4 + 4 * k);
    EXPECT_EQ(info.Subheader[0], 7) << k;  // the first sector's subheader
    EXPECT_EQ(info.Channel, 1);
    EXPECT_EQ(HasEof(4 + 4 * k), k == 14);
  }
  EXPECT_FALSE(HasEof(40));
  EXPECT_EQ(Info(5).Kind, SectorEmpty);
}

TEST_F(Import, ALongerWavStopsBeforeAFollowingChannel) {
  // Channel 2 starts on the same slots at 64: channel 1 can have (64 - 4) / 4 = 15 sectors.
  Open(TenSectorChannel().Channel(2, true, true, 64, 4, 10));
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  ASSERT_EQ(ImportRamp(30 * 2016, 37800), Outcome::Done);
  EXPECT_EQ(prompter.LengthMessages, std::vector<std::string>{text::kFollowingOverlap});
  EXPECT_EQ(prompter.SecondChoices, std::vector<std::string>{text::kFitBeforeFollowing});
  EXPECT_EQ(Entry().SectorCount, 15);
  EXPECT_TRUE(HasEof(60));
  EXPECT_EQ(Info(64).Channel, 2);
  EXPECT_TRUE(prompter.Questions.empty());
}

struct ResizeCase {
  ResizePermissionValue permission;
  std::deque<bool> answers;
  int expectedCount;
  std::int32_t expectedSectors;
};

class ImportPastTheEnd : public Import, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(ImportPastTheEnd, GrowsTheFileOrCutsTheChannelToIt) {
  // 10 sectors at 4..40 in a 60-sector file; the scan leaves an end post-gap of 16.
  Open(XaBuilder(60).Channel(1, true, true, 4, 4, 10));
  ASSERT_EQ(xa.EndPostGap, 16);
  xa.ResizePermission = GetParam().permission;
  prompter.Answers = GetParam().answers;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  ASSERT_EQ(ImportRamp(20 * 2016, 37800), Outcome::Done);
  EXPECT_EQ(Entry().SectorCount, GetParam().expectedCount);
  EXPECT_EQ(xa.SectorCount, GetParam().expectedSectors);
  EXPECT_EQ(prompter.Questions.size(), GetParam().permission == ResizeAsk ? 1u : 0u);
  const int last = 4 + 4 * (GetParam().expectedCount - 1);
  EXPECT_TRUE(HasEof(last));
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, ImportPastTheEnd,
    ::testing::Values(ResizeCase{ResizeAllowed, {}, 20, 84 + 16},  // grown to 4 + 80 + 16
                      ResizeCase{ResizeAsk, {true}, 20, 100},
                      ResizeCase{ResizeAsk, {false}, 10, 60},  // (60 - 16 - 4) / 4
                      ResizeCase{ResizeForbidden, {}, 10, 60}));

// Data sectors beyond the first 64 are not in the tables after opening: the placement
// sees free room, and the second pass meets them.
XaBuilder ChannelBeforeUnlistedData() { return TenSectorChannel().DataRange(64, 8); }

TEST_F(Import, OverwritingDataSectorsIsAskedOnce) {
  Open(ChannelBeforeUnlistedData(), 0, kWalkLimitOpen);
  xa.ResizePermission = ResizeAllowed;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  prompter.Answers = {true};
  ASSERT_EQ(ImportRamp(20 * 2016, 37800), Outcome::Done);
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskOverwriteData});
  EXPECT_EQ(Info(64).Kind, SectorAudio);
  EXPECT_EQ(Info(68).Kind, SectorAudio);
  EXPECT_EQ(Info(65).Kind, SectorData);
  EXPECT_TRUE(HasEof(80));
}

TEST_F(Import, CancelOfTheOverwriteQuestionKeepsWhatWasWritten) {
  Open(ChannelBeforeUnlistedData(), 0, kWalkLimitOpen);
  xa.ResizePermission = ResizeAllowed;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  prompter.Answers = {false};
  EXPECT_EQ(ImportRamp(20 * 2016, 37800), Outcome::Declined);
  EXPECT_STREQ(xa.LastErrorText, text::kCancelled);
  EXPECT_EQ(Info(60).Channel, 1);
  EXPECT_EQ(Info(64).Kind, SectorData);
  EXPECT_FALSE(HasEof(40));
  EXPECT_FALSE(HasEof(60));
  EXPECT_EQ(progress.Finishes, 1);
  EXPECT_FALSE(importer.Reader.IsOpen());
}

TEST_F(Import, OverwritingAnotherChannelIsItsOwnQuestion) {
  // A lone sector of channel 2 (no second one within 32) is not listed as a channel.
  Open(TenSectorChannel().Channel(2, true, true, 48, 4, 1));
  xa.ResizePermission = ResizeAllowed;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  prompter.Answers = {false};
  EXPECT_EQ(ImportRamp(12 * 2016, 37800), Outcome::Declined);
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskOverwriteAudio});
  EXPECT_EQ(Info(44).Channel, 1);
  EXPECT_EQ(Info(48).Channel, 2);
}

class ImportCancel : public Import, public ::testing::WithParamInterface<int> {};

TEST_P(ImportCancel, StopsWhereItWasAndLeavesNoEndMarkBeforeTheSecondPassEnds) {
  Open(TenSectorChannel());
  xa.ResizePermission = ResizeAllowed;
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  progress.CancelAtPoll = GetParam();
  const auto last = Sector(40);
  ASSERT_EQ(ImportRamp(12 * 2016, 37800), Outcome::Cancelled);
  EXPECT_EQ(progress.Finishes, 1);
  EXPECT_EQ(Entry().SectorCount, 12);
  EXPECT_FALSE(importer.Reader.IsOpen());
  const bool endMarkWritten = HasEof(48);
  EXPECT_EQ(endMarkWritten, GetParam() >= 15);
  if (GetParam() <= 10) {
    EXPECT_EQ(Sector(40), last);
  }
}

// Polls 1..11 belong to the first pass (poll k writes sector 4k), 12..14 to the second,
// 15 to the third, after the end mark.
INSTANTIATE_TEST_SUITE_P(Polls, ImportCancel, ::testing::Values(1, 5, 12, 15));

// The sides of a stereo sector as decoded from zero histories.
void DecodeSides(const std::vector<std::uint8_t>& sector, std::vector<std::int16_t>& left,
                 std::vector<std::int16_t>& right) {
  DecoderState state;
  std::uint8_t pcm[kPcmBlockBytes];
  DecodeStereoSector(state, sector.data() + kGroupsOffset, pcm);
  for (int i = 0; i < kPcmBlockBytes / 4; ++i) {
    left.push_back(static_cast<std::int16_t>(pcm[4 * i] | pcm[4 * i + 1] << 8));
    right.push_back(static_cast<std::int16_t>(pcm[4 * i + 2] | pcm[4 * i + 3] << 8));
  }
}

TEST_F(Import, TheSectorBeingWrittenDecidesStereoOrMono) {
  // A mono WAV into a stereo channel: both sides carry the same sound.
  Open(TenSectorChannel());
  WavBuilder(1, 37800, 16)
      .Samples16(testing::Frames16(10 * 2016, 1, [](int i, int) { return (i * 53) % 4000 - 2000; }))
      .Write(wavPath);
  ASSERT_EQ(ImportWav(xa, importer, wavPath, progress, prompter), Outcome::Done);
  std::vector<std::int16_t> left, right;
  DecodeSides(Sector(8), left, right);
  EXPECT_TRUE(left == right);
  EXPECT_NE(left, std::vector<std::int16_t>(left.size(), 0));

  // A stereo WAV into a mono channel: one unit per 28 frames of the sides' average, so a
  // sector takes 4032 frames, twice as many as a stereo sector.
  Open(XaBuilder(200).Channel(1, true, false, 4, 8, 2));
  WavBuilder(2, 37800, 16)
      .Samples16(testing::Frames16(2 * 4032, 2, [](int, int c) { return c ? 3000 : -1000; }))
      .Write(wavPath);
  ASSERT_EQ(ImportWav(xa, importer, wavPath, progress, prompter), Outcome::Done);
  EXPECT_TRUE(prompter.LengthMessages.empty());  // 8064 frames fill exactly two mono sectors
  DecoderState state;
  std::uint8_t pcm[kPcmBlockBytes];
  // Decoded from zero histories: by the middle of the sector the sound no longer depends on them.
  DecodeMonoSector(state, Sector(4).data() + kGroupsOffset, pcm);
  const int middle = kPcmBlockBytes / 4;
  EXPECT_NEAR(static_cast<std::int16_t>(pcm[2 * middle] | pcm[2 * middle + 1] << 8), 1000, 8);
}

TEST_F(Import, ARefusedWavChangesNothing) {
  Open(TenSectorChannel());
  const std::string before = testing::ReadFileBytes(xaPath);
  testing::WriteFileBytes(wavPath, "RIFF");
  EXPECT_EQ(ImportWav(xa, importer, wavPath, progress, prompter), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kWavCannotRead);
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
}

TEST_F(Import, AnEmptyWavIntoAJustAppendedChannelEncodesSilenceIntoTheStamp) {
  XaBuilder b(100);
  b.Subheader(8, 1, 3, 0x64, 0x01);
  b.Write(xaPath);
  ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
  xa.AudioChannelTable.Append({3, 1, 1, 0, 8, 0, 4});
  SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[0]);
  WavBuilder(2, 37800, 16).Write(wavPath);
  ASSERT_EQ(ImportWav(xa, importer, wavPath, progress, prompter), Outcome::Done);
  EXPECT_TRUE(prompter.LengthMessages.empty());
  EXPECT_EQ(Entry().SectorCount, 0);
  EXPECT_TRUE(HasEof(8));
  EXPECT_EQ(Sector(8)[8], 0x0C);  // silence from zero histories: range 12
}

TEST_F(Import, EraseEmptiesEveryOwnSectorOfTheSpanAndNothingElse) {
  // Channel 1 at 100, 108, 116; an own sector with another file number inside the span; one
  // of channel 1 just after the end; a data sector between.
  XaBuilder b(200);
  b.Channel(1, false, true, 100, 8, 3)
      .Subheader(103, 9, 1, 0x64, 0x05)
      .Channel(1, false, true, 124, 8, 1)
      .Data(101);
  b.Write(xaPath);
  ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
  xa.AudioChannelTable.Append({1, 0, 1, 0, 100, 3, 8});
  SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[0]);
  ASSERT_EQ(EraseChannel(xa, importer.Cursor, progress), Outcome::Done);
  for (int i : {100, 103, 108, 116}) EXPECT_TRUE(IsEmptySector(i)) << i;
  EXPECT_EQ(Info(101).Kind, SectorData);
  EXPECT_EQ(Info(124).Channel, 1);
  EXPECT_EQ(progress.Starts, 1);
}

TEST_F(Import, ABrokenSubheaderStopsTheEraseWithItsMessage) {
  XaBuilder b(200);
  b.Channel(1, false, true, 100, 8, 3).BreakSubheader(110);
  b.Write(xaPath);
  ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
  xa.AudioChannelTable.Append({1, 0, 1, 0, 100, 3, 8});
  SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[0]);
  EXPECT_EQ(EraseChannel(xa, importer.Cursor, progress), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kBadData);
  EXPECT_TRUE(IsEmptySector(100));
  EXPECT_TRUE(IsEmptySector(108));
  EXPECT_EQ(Info(116).Channel, 1);
  EXPECT_EQ(progress.Finishes, 1);
}

}  // namespace
}  // namespace sorvane
