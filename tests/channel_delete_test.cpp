#include "edit/channel_delete.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ScriptedProgress;
using testing::ScriptedPrompter;
using testing::TempDir;
using testing::XaBuilder;

class Delete : public ::testing::Test {
 protected:
  // Channels 1, 2, 3 of 18.9k stereo (interleave 8) at slots 0, 1, 2 of sectors 0..79; the
  // file ends 20 sectors after them.
  void SetUp() override {
    XaBuilder(100)
        .Channel(1, false, true, 0, 8, 10)
        .Channel(2, false, true, 1, 8, 10)
        .Channel(3, false, true, 2, 8, 10)
        .Write(path);
    Reopen();
  }
  void Reopen() {
    ASSERT_EQ(OpenXaFile(xa, path), 0);
    ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, quiet), 0);
  }
  std::vector<int> Channels() const {
    std::vector<int> numbers;
    for (const ChannelRecord& r : xa.AudioChannelTable) numbers.push_back(r.Channel);
    return numbers;
  }
  SectorInfo Info(int index) {
    SectorInfo info;
    EXPECT_EQ(ReadSubheader(xa, index, info), 0);
    return info;
  }

  TempDir dir;
  std::string path = dir.File("d.xa");
  Workspace workspace;
  XaFile& xa = workspace.File;
  ScriptedProgress quiet;
  ScriptedProgress progress;
  ScriptedPrompter prompter;
};

TEST_F(Delete, AMiddleChannelLeavesTheOthersInTheirOrder) {
  prompter.Answers = {true};
  EXPECT_EQ(DeleteChannel(workspace, 1, progress, prompter), Outcome::Done);
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskDelete});
  EXPECT_EQ(Channels(), (std::vector<int>{1, 3}));
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(Info(1 + 8 * k), (SectorInfo{SectorEmpty, 0, 0, 0, {1, 0, 0, 0}})) << k;
    EXPECT_EQ(Info(8 * k).Channel, 1);
    EXPECT_EQ(Info(2 + 8 * k).Channel, 3);
  }
  EXPECT_EQ(xa.SectorCount, 100);  // the end of the file did not move
  Reopen();
  EXPECT_EQ(Channels(), (std::vector<int>{1, 3}));
}

TEST_F(Delete, ACancelledConfirmationChangesNothing) {
  const std::string before = testing::ReadFileBytes(path);
  prompter.Answers = {false};
  EXPECT_EQ(DeleteChannel(workspace, 0, progress, prompter), Outcome::Declined);
  EXPECT_EQ(Channels(), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(testing::ReadFileBytes(path) == before);
  EXPECT_EQ(progress.Starts, 0);
}

struct LastChannelCase {
  ResizePermissionValue permission;
  std::deque<bool> answers;
  std::int32_t sectors;
};

class DeleteLast : public Delete, public ::testing::WithParamInterface<LastChannelCase> {};

TEST_P(DeleteLast, ShrinksTheFileToTheRemainingChannelsUnderThePermission) {
  xa.ResizePermission = GetParam().permission;
  prompter.Answers = GetParam().answers;
  EXPECT_EQ(DeleteChannel(workspace, 2, progress, prompter), Outcome::Done);
  EXPECT_EQ(xa.SectorCount, GetParam().sectors);
  EXPECT_EQ(testing::FileLength(path), GetParam().sectors * 2336LL);
}

// Channel 3 ends at 82, channel 2 at 81; the end post-gap is 18.
INSTANTIATE_TEST_SUITE_P(Permissions, DeleteLast,
                         ::testing::Values(LastChannelCase{ResizeAllowed, {true}, 99},
                                           LastChannelCase{ResizeAsk, {true, true}, 99},
                                           LastChannelCase{ResizeAsk, {true, false}, 100},
                                           LastChannelCase{ResizeForbidden, {true}, 100}));

TEST_F(Delete, ABrokenSubheaderKeepsTheChannelListed) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  ASSERT_EQ(ReadSector(xa, 17, sector, info), 0);
  sector[5] ^= 0x40;
  ASSERT_EQ(WriteSector(xa, 17, sector), 0);
  prompter.Answers = {true};
  EXPECT_EQ(DeleteChannel(workspace, 1, progress, prompter), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kBadData);
  EXPECT_EQ(Channels(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Info(1).Kind, SectorEmpty);
  EXPECT_EQ(Info(9).Kind, SectorEmpty);
}

TEST_F(Delete, ACancelHalfWayRemovesTheEntryAndARescanFindsTheRest) {
  prompter.Answers = {true};
  progress.CancelAtPoll = 4;  // after three sectors were emptied
  EXPECT_EQ(DeleteChannel(workspace, 0, progress, prompter), Outcome::Cancelled);
  EXPECT_EQ(Channels(), (std::vector<int>{2, 3}));
  EXPECT_EQ(Info(16).Kind, SectorEmpty);
  EXPECT_EQ(Info(24).Channel, 1);
  Reopen();  // the scan meets channel 1's first remaining sector after the others
  ASSERT_EQ(Channels(), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(xa.AudioChannelTable.Records[2].FirstSector, 24);
  EXPECT_EQ(xa.AudioChannelTable.Records[2].SectorCount, 7);
}

}  // namespace
}  // namespace sorvane
