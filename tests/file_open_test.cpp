// Opening, the whole-file scan and a new file, as both front ends do them.
#include "edit/file_open.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "common/fixed_texts.h"
#include "support/named_case.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::XaBuilder;

// Relative forms of one path, from the test's folder.
struct PathCase {
  const char* Name;
  const char* Relative;
};

const PathCase kPaths[] = {{"Plain", "a.xa"},
                           {"Dot", "./a.xa"},
                           {"DotDot", "sub/../a.xa"},
                           {"DoubleSlash", "sub//..//a.xa"}};

class ResolvePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ResolvePathTest, EveryFormOpensUnderOneAbsoluteName) {
  testing::TempDir dir;
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0700), 0);
  char* previous = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  XaFile xa;
  testing::ScriptedProgress progress;
  const Outcome opened = OpenAndScan(xa, GetParam().Relative, ScanExtent::FirstSectors, progress);
  const std::string resolved = ResolvePath(GetParam().Relative);
  ASSERT_EQ(::chdir(previous), 0);
  std::free(previous);
  EXPECT_EQ(opened, Outcome::Done);
  EXPECT_EQ(xa.Path, dir.File("a.xa"));
  EXPECT_EQ(resolved, dir.File("a.xa"));
  EXPECT_EQ(xa.AudioChannelTable.Count, 1);
}

INSTANTIATE_TEST_SUITE_P(Paths, ResolvePathTest, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return std::string(info.param.Name); });

class OpenTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string path = dir.File("a.xa");
  XaFile xa;
  testing::ScriptedProgress progress;
};

// Channel 2 starts after the first 64 sectors: only the whole-file scan finds it.
TEST_F(OpenTest, TheWholeFileScanFindsWhatTheFirstSectorsMiss) {
  XaBuilder(1000).Channel(1, true, true, 0, 4, 5).Channel(2, false, false, 100, 16, 10).Write(path);
  ASSERT_EQ(OpenAndScan(xa, path, ScanExtent::FirstSectors, progress), Outcome::Done);
  EXPECT_EQ(xa.AudioChannelTable.Count, 1);
  ASSERT_EQ(FindAll(xa, progress), Outcome::Done);
  EXPECT_EQ(xa.AudioChannelTable.Count, 2);
  ASSERT_EQ(OpenAndScan(xa, path, ScanExtent::WholeFile, progress), Outcome::Done);
  EXPECT_EQ(xa.AudioChannelTable.Count, 2);
}

TEST_F(OpenTest, ACancelledScanKeepsTheFileOpenWithWhatWasFound) {
  XaBuilder(1000).Channel(1, true, true, 0, 4, 5).Channel(2, false, false, 900, 16, 5).Write(path);
  progress.CancelAtPoll = 1;
  EXPECT_EQ(OpenAndScan(xa, path, ScanExtent::WholeFile, progress), Outcome::Cancelled);
  EXPECT_TRUE(xa.IsOpen());
  EXPECT_EQ(progress.Finishes, 1);
}

TEST_F(OpenTest, AFailedScanClosesTheFileWithItsMessage) {
  XaBuilder(1000).Channel(1, true, true, 0, 6, 100).Write(path);  // an interleave of 6
  EXPECT_EQ(OpenAndScan(xa, path, ScanExtent::WholeFile, progress), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kInconsistentRate);
  EXPECT_FALSE(xa.IsOpen());
}

TEST_F(OpenTest, AMissingFileFails) {
  EXPECT_EQ(OpenAndScan(xa, dir.File("none.xa"), ScanExtent::FirstSectors, progress),
            Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotOpenFile);
}

TEST_F(OpenTest, ANewFileIsOpenAndMayChangeItsSize) {
  ASSERT_EQ(NewFile(xa, path, progress), Outcome::Done);
  EXPECT_TRUE(xa.IsOpen());
  EXPECT_EQ(xa.SectorCount, 150);
  EXPECT_EQ(xa.ResizePermission, ResizeAllowed);
  EXPECT_EQ(NewFile(xa, dir.File("no/such/b.xa"), progress), Outcome::Failed);
  EXPECT_FALSE(xa.IsOpen());
}

}  // namespace
}  // namespace sorvane
