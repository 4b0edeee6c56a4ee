#include "container/file_size.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::ScriptedPrompter;
using testing::ScriptedProgress;
using testing::TempDir;
using testing::XaBuilder;

class FileSize : public ::testing::TestWithParam<Layout> {
 protected:
  // A channel on sectors 0, 4, ..., 36 (end 40) in a file of `sectors` sectors.
  void Open(int sectors, Layout layout) {
    XaBuilder(sectors, layout).Channel(1, true, true, 0, 4, 10).Write(path);
    ASSERT_EQ(OpenXaFile(xa, path), 0);
    ScriptedProgress quiet;
    ASSERT_EQ(ScanChannels(xa, kWalkLimitOpen, quiet), 0);
  }
  SectorInfo Subheader(int index) {
    SectorInfo info;
    EXPECT_EQ(ReadSubheader(xa, index, info), 0);
    return info;
  }
  void ExpectReopensWith(int sectors) {
    XaFile again;
    ASSERT_EQ(OpenXaFile(again, path), 0);
    EXPECT_EQ(again.SectorCount, sectors);
  }

  TempDir dir;
  std::string path = dir.File("size.xa");
  XaFile xa;
  ScriptedPrompter prompter;
};

TEST_P(FileSize, NothingHappensRightAfterAScan) {
  Open(50, GetParam());
  const std::string before = testing::ReadFileBytes(path);
  EXPECT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_TRUE(prompter.Questions.empty());
  EXPECT_TRUE(testing::ReadFileBytes(path) == before);
}

TEST_P(FileSize, GrowsWithEmptySectorsAndMovesTheEndMark) {
  Open(50, GetParam());
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 20;  // wanted: 40 + 20 = 60
  ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_TRUE(prompter.Questions.empty());
  EXPECT_EQ(xa.SectorCount, 60);
  EXPECT_EQ(testing::FileLength(path), FileLengthFor(xa, 60));
  EXPECT_EQ(Subheader(49).Subheader[2], 0);
  for (int i = 50; i < 59; ++i) EXPECT_EQ(Subheader(i), (SectorInfo{SectorEmpty, 0, 0, 0, {1, 0, 0, 0}})) << i;
  EXPECT_EQ(Subheader(59).Subheader[2], kSubmodeEof);
  ExpectReopensWith(60);
}

TEST_P(FileSize, ShrinksByTruncationAndMarksTheNewLastSector) {
  Open(80, GetParam());
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 5;
  ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(xa.SectorCount, 45);
  EXPECT_EQ(testing::FileLength(path), FileLengthFor(xa, 45));
  EXPECT_EQ(Subheader(44).Subheader[2], kSubmodeEof);
  ExpectReopensWith(45);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, FileSize,
                         ::testing::Values(Layout::Plain2336, Layout::Raw2352, Layout::Riff2352));

TEST_F(FileSize, TheEndLengthsOfEachLayout) {
  Open(50, Layout::Raw2352);
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 0;
  ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(testing::FileLength(path), 40 * 2352);
}

TEST_F(FileSize, GrowingByOneSectorWritesOnlyTheMarkedLastSector) {
  Open(50, Layout::Plain2336);
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 11;
  ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(xa.SectorCount, 51);
  EXPECT_EQ(Subheader(50).Subheader[2], kSubmodeEof);
  EXPECT_EQ(Subheader(49).Subheader[2], 0);
}

TEST_F(FileSize, AddedRawSectorsGetSyncAndAnAddressFollowingThePreviousOne) {
  XaBuilder b(3, Layout::Raw2352);
  std::string bytes = b.Bytes();
  const char lastHeader[4] = {0x00, 0x02, 0x74, 0x02};  // 00:02:74, mode 2
  std::memcpy(bytes.data() + 2 * 2352 + 12, lastHeader, 4);
  testing::WriteFileBytes(path, bytes);
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  ASSERT_EQ(ChangeSectorCount(xa, 5, prompter), 0);
  const std::string grown = testing::ReadFileBytes(path);
  ASSERT_EQ(grown.size(), 5u * 2352);
  const std::string sync = std::string(1, '\0') + std::string(10, '\xFF') + std::string(1, '\0');
  EXPECT_EQ(grown.substr(3 * 2352, 12), sync);
  EXPECT_EQ(grown.substr(3 * 2352 + 12, 4), std::string("\x00\x03\x00\x02", 4));
  EXPECT_EQ(grown.substr(4 * 2352 + 12, 4), std::string("\x00\x03\x01\x02", 4));
}

TEST_F(FileSize, AnInvalidPreviousAddressGivesIndexPlus150) {
  XaBuilder b(3, Layout::Raw2352);
  std::string bytes = b.Bytes();
  bytes[2 * 2352 + 13] = '\x7A';  // not BCD
  testing::WriteFileBytes(path, bytes);
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  ASSERT_EQ(ChangeSectorCount(xa, 4, prompter), 0);
  // Sector 3 at 153 = 00:02:03.
  EXPECT_EQ(testing::ReadFileBytes(path).substr(3 * 2352 + 12, 4), std::string("\x00\x02\x03\x02", 4));
}

TEST_F(FileSize, TheRiffHeaderLengthsFollowTheFile) {
  Open(50, Layout::Riff2352);
  xa.ResizePermission = ResizeAllowed;
  for (int gap : {30, 2}) {
    xa.EndPostGap = gap;
    ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
    const std::string bytes = testing::ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), 44u + (40 + gap) * 2352u);
    EXPECT_EQ(testing::Le32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(testing::Le32(bytes, 40), bytes.size() - 44);
  }
}

TEST_F(FileSize, NeverShrinksBelowTwoSectors) {
  XaBuilder(10).Write(path);
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  ScriptedProgress quiet;
  ASSERT_EQ(ScanChannels(xa, kWalkLimitOpen, quiet), 0);
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 0;
  ASSERT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(xa.SectorCount, 2);
  ExpectReopensWith(2);
}

TEST_F(FileSize, ThePermissionQuestionIsAskedOnceAndItsAnswerKept) {
  Open(50, Layout::Plain2336);
  xa.EndPostGap = 20;
  prompter.Answers = {false};
  EXPECT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskResize});
  EXPECT_EQ(xa.ResizePermission, ResizeForbidden);
  EXPECT_EQ(xa.SectorCount, 50);
  xa.EndPostGap = 30;
  EXPECT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(prompter.Questions.size(), 1u);
  EXPECT_EQ(testing::FileLength(path), 50 * 2336);

  xa.ResizePermission = ResizeAsk;
  prompter.Answers = {true};
  EXPECT_EQ(AdjustFileSize(xa, prompter), 0);
  EXPECT_EQ(xa.ResizePermission, ResizeAllowed);
  EXPECT_EQ(xa.SectorCount, 70);
}

TEST_F(FileSize, AFailedTruncationIsReportedAndLeavesTheCountAlone) {
  Open(80, Layout::Plain2336);
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = 0;
  // The path now names a folder: the truncation and the re-open both fail.
  ASSERT_EQ(std::rename(path.c_str(), dir.File("moved.xa").c_str()), 0);
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  EXPECT_EQ(AdjustFileSize(xa, prompter), -1);
  EXPECT_EQ(prompter.Notices, std::vector<std::string>{text::kResizeFailed});
  EXPECT_EQ(xa.SectorCount, 80);
  EXPECT_EQ(testing::FileLength(dir.File("moved.xa")), 80 * 2336);
}

}  // namespace
}  // namespace sorvane
