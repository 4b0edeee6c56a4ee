#include "container/channel_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "common/fixed_texts.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::ScriptedProgress;
using testing::TempDir;
using testing::XaBuilder;

class Scan : public ::testing::Test {
 protected:
  // Writes the file, opens it and scans it with the given walk limit.
  int OpenAndScan(const XaBuilder& builder, std::int32_t limit) {
    builder.Write(path);
    if (OpenXaFile(xa, path) != 0) return -2;
    return ScanChannels(xa, limit, progress);
  }
  const ChannelRecord& Audio(int k) const { return xa.AudioChannelTable.Records[k]; }

  TempDir dir;
  std::string path = dir.File("scan.xa");
  XaFile xa;
  ScriptedProgress progress;
};

TEST_F(Scan, ANewFileHasNoChannelsAndBothGapsAtItsLength) {
  ASSERT_EQ(CreateXaFile(xa, path), 0);
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  EXPECT_EQ(xa.AudioChannelTable.Count, 0);
  EXPECT_EQ(xa.DataRunTable.Count, 0);
  EXPECT_EQ(xa.EndPostGap, 150);
  EXPECT_EQ(xa.ChannelPostGap, 150);
}

struct InterleaveCase {
  int interleave;
  int result;
  int doubleSpeed;
};

class ScanInterleave : public Scan, public ::testing::WithParamInterface<InterleaveCase> {};

TEST_P(ScanInterleave, AcceptsTheNominalInterleaveOrTwiceIt) {
  const int d = GetParam().interleave;
  const int count = (1000 + d - 1) / d;
  ASSERT_EQ(OpenAndScan(XaBuilder(1000).Channel(1, true, true, 0, d, count), kWalkLimitOpen),
            GetParam().result);
  if (GetParam().result != 0) {
    EXPECT_STREQ(xa.LastErrorText, text::kInconsistentRate);
    EXPECT_EQ(xa.AudioChannelTable.Count, 0);
    return;
  }
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(Audio(0).Interleave, d);
  EXPECT_EQ(Audio(0).SectorCount, 1000 / d);
  EXPECT_EQ(Audio(0).DoubleSpeed, GetParam().doubleSpeed);
  EXPECT_EQ(Audio(0).HighRate, 1);
  EXPECT_EQ(Audio(0).Stereo, 1);
  EXPECT_EQ(xa.EndPostGap, 0);
}

INSTANTIATE_TEST_SUITE_P(Stereo378, ScanInterleave,
                         ::testing::Values(InterleaveCase{4, 0, 0}, InterleaveCase{8, 0, 1},
                                           InterleaveCase{6, -1, 0}));

TEST_F(Scan, ARunCutOffByTheEndOfTheFileLosesItsLastSector) {
  ASSERT_EQ(OpenAndScan(XaBuilder(1000).Channel(1, true, false, 3, 8, 125), kWalkLimitOpen), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(Audio(0).SectorCount, 124);
  EXPECT_EQ(Audio(0).DoubleSpeed, 0);
  EXPECT_EQ(xa.EndPostGap, 5);
  EXPECT_TRUE(progress.Notices.empty());
  // The full walk meets sector 995, owned by no record: one warning, once per open.
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  EXPECT_EQ(progress.Notices, std::vector<std::string>{text::kDuplicateChannel});
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  EXPECT_EQ(progress.Notices.size(), 1u);
}

TEST_F(Scan, OpeningWalks64SectorsAndFindAllTheWholeFile) {
  ASSERT_EQ(OpenAndScan(XaBuilder(400).Channel(2, false, false, 100, 16, 10), kWalkLimitOpen), 0);
  EXPECT_EQ(xa.AudioChannelTable.Count, 0);
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(Audio(0).FirstSector, 100);
  EXPECT_EQ(Audio(0).SectorCount, 10);
  EXPECT_EQ(progress.Starts, 0);  // 400 sectors show no progress
}

TEST_F(Scan, AChannelBrokenByDataIsCutBackAndItsLaterRunWarnsOnce) {
  XaBuilder b(1000);
  b.DataRange(0, 1000).Channel(1, true, true, 0, 4, 100).Channel(1, true, true, 800, 4, 50);
  ASSERT_EQ(OpenAndScan(b, kWalkLimitFull), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(Audio(0).SectorCount, 100);
  EXPECT_EQ(progress.Notices, std::vector<std::string>{text::kDuplicateChannel});
  ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  EXPECT_EQ(progress.Notices.size(), 1u);
}

TEST_F(Scan, DataSectorsFormOneRunPerSlotWithInterleave32) {
  ASSERT_EQ(OpenAndScan(XaBuilder(200).DataRange(0, 32), kWalkLimitFull), 0);
  ASSERT_EQ(xa.DataRunTable.Count, 32);
  for (int k = 0; k < 32; ++k) {
    const ChannelRecord& run = xa.DataRunTable.Records[k];
    EXPECT_EQ(run.Channel, 255);
    EXPECT_EQ(run.FirstSector, k);
    EXPECT_EQ(run.Interleave, 32);
    EXPECT_EQ(run.SectorCount, 1);
  }
  EXPECT_EQ(xa.EndPostGap, 200 - 63);
}

TEST_F(Scan, ATwoSectorChannelWithTheEndMarkIsFoundAgain) {
  ASSERT_EQ(OpenAndScan(XaBuilder(64).Channel(5, false, true, 2, 8, 2).Eof(10), kWalkLimitOpen), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(Audio(0).FirstSector, 2);
  EXPECT_EQ(Audio(0).Interleave, 8);
  EXPECT_EQ(Audio(0).SectorCount, 2);
}

TEST_F(Scan, AnAudioSectorWithoutASecondWithin32IsSkipped) {
  ASSERT_EQ(OpenAndScan(XaBuilder(100).Channel(5, true, true, 10, 40, 2), kWalkLimitFull), 0);
  EXPECT_EQ(xa.AudioChannelTable.Count, 0);
}

TEST_F(Scan, ABrokenSubheaderFailsTheScanKeepingTheChannelsBeforeIt) {
  XaBuilder b(200);
  b.Channel(1, true, true, 0, 4, 50).BreakSubheader(150);
  ASSERT_EQ(OpenAndScan(b, kWalkLimitFull), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kBadData);
  EXPECT_EQ(xa.AudioChannelTable.Count, 1);
}

TEST_F(Scan, A257thDataRunIsTooManyChannels) {
  // Rows of 32 data sectors alternate with rows of a known channel's sectors, which cut
  // every run back, so each data row starts 32 new runs.
  XaBuilder b(40 * 32);
  b.Channel(1, true, true, 0, 4, 2);
  for (int row = 1; row < 40; ++row) {
    if (row % 2)
      b.DataRange(row * 32, 32);
    else
      b.Channel(1, true, true, row * 32, 1, 32);
  }
  ASSERT_EQ(OpenAndScan(b, kWalkLimitFull), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kTooManyChannels);
  EXPECT_EQ(xa.DataRunTable.Count, 256);
}

TEST_F(Scan, LongWalksReportProgressEvery64SectorsAndShortOnesNever) {
  ASSERT_EQ(OpenAndScan(XaBuilder(501), kWalkLimitFull), 0);
  EXPECT_EQ(progress.Starts, 1);
  EXPECT_EQ(progress.Finishes, 1);
  EXPECT_EQ(progress.Positions, (std::vector<int>{0, 12, 25, 38, 51, 63, 76, 89}));
  ScriptedProgress quiet;
  ASSERT_EQ(ScanChannels(xa, 500, quiet), 0);
  EXPECT_EQ(quiet.Starts, 0);
  EXPECT_EQ(quiet.Polls, 0);
}

TEST_F(Scan, ACancelKeepsWhatWasFoundAndDerivesTheGapsFromIt) {
  XaBuilder b(2000, Layout::Raw2352);
  b.Channel(1, true, true, 0, 4, 10).Channel(2, true, true, 700, 4, 10);
  progress.CancelAtPoll = 3;  // at sector 128
  ASSERT_EQ(OpenAndScan(b, kWalkLimitFull), 0);
  EXPECT_EQ(progress.Finishes, 1);
  ASSERT_EQ(xa.AudioChannelTable.Count, 1);
  EXPECT_EQ(xa.EndPostGap, 2000 - 40);
}

TEST_F(Scan, ThePerChannelGapIsTheRoomBeforeTheNextChannelOnItsSlots) {
  // Channel 1 ends at 40; channel 2 starts on the same slots at 100: room 60.
  XaBuilder b(300);
  b.Channel(1, true, true, 0, 4, 10).Channel(2, true, true, 100, 4, 25);
  ASSERT_EQ(OpenAndScan(b, kWalkLimitFull), 0);
  ASSERT_EQ(xa.AudioChannelTable.Count, 2);
  EXPECT_EQ(xa.EndPostGap, 100);
  EXPECT_EQ(xa.ChannelPostGap, 60);
}

TEST(ChannelTableQueries, FindRecordAtSearchesAudioBeforeDataAndIsChannelUsedSeesCountZero) {
  XaFile xa;
  xa.AudioChannelTable.Append({7, 1, 1, 0, 8, 4, 4});
  xa.AudioChannelTable.Append({9, 1, 1, 0, 50, 0, 4});
  xa.DataRunTable.Append({255, 0, 0, 0, 8, 2, 32});
  EXPECT_EQ(FindRecordAt(xa, 8), &xa.AudioChannelTable.Records[0]);
  EXPECT_EQ(FindRecordAt(xa, 20), &xa.AudioChannelTable.Records[0]);
  EXPECT_EQ(FindRecordAt(xa, 24), nullptr);  // one step past the channel's end
  EXPECT_EQ(FindRecordAt(xa, 10), nullptr);  // off the channel's slot
  EXPECT_EQ(FindRecordAt(xa, 40), &xa.DataRunTable.Records[0]);
  EXPECT_EQ(FindRecordAt(xa, 50), nullptr);
  EXPECT_TRUE(IsChannelUsed(xa, 9));
  EXPECT_FALSE(IsChannelUsed(xa, 255));
}

}  // namespace
}  // namespace sorvane
