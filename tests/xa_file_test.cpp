#include "container/xa_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/fixed_texts.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::TempDir;
using testing::XaBuilder;

struct LayoutCase {
  Layout layout;
  XaLayout found;
  int stride;
  int offset;
};

class LayoutDetection : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutDetection, FindsStrideOffsetAndCountsEverySectorThatFits) {
  TempDir dir;
  const std::string path = dir.File("a.xa");
  XaBuilder(10, GetParam().layout).Write(path);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0) << xa.LastErrorText;
  EXPECT_EQ(xa.Layout, GetParam().found);
  EXPECT_EQ(xa.Stride(), GetParam().stride);
  EXPECT_EQ(xa.DataOffset(), GetParam().offset);
  // N x 2352 (or 44 + N x 2352) bytes hold N sectors, not N - 1.
  EXPECT_EQ(xa.SectorCount, 10);
  EXPECT_EQ(xa.ResizePermission, ResizeAsk);
  EXPECT_EQ(FileLengthFor(xa, 10), testing::FileLength(path));
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, LayoutDetection,
    ::testing::Values(LayoutCase{Layout::Plain2336, XaLayout::Plain2336, 2336, 0},
                      LayoutCase{Layout::Raw2352, XaLayout::Raw2352, 2352, 16},
                      LayoutCase{Layout::Riff2352, XaLayout::Riff2352, 2352, 60}));

TEST(SectorCount, CountsASectorOnlyWhenItsWholeSpanLiesInsideTheFile) {
  XaFile raw;
  raw.Layout = XaLayout::Raw2352;
  EXPECT_EQ(SectorCountFor(raw, 10 * 2352), 10);
  EXPECT_EQ(SectorCountFor(raw, 10 * 2352 - 1), 9);
  EXPECT_EQ(SectorCountFor(raw, 10 * 2352 + 2351), 10);
  EXPECT_EQ(SectorCountFor(raw, 15), 0);
  XaFile plain;
  plain.Layout = XaLayout::Plain2336;
  EXPECT_EQ(SectorCountFor(plain, 10 * 2336), 10);
  EXPECT_EQ(SectorCountFor(plain, 10 * 2336 - 1), 9);
  EXPECT_EQ(FileLengthFor(plain, 7), 7 * 2336);
}

struct BadFileCase {
  const char* name;
  std::string bytes;
  const char* message;
};

class BadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFiles, AreRefusedWithTheirMessageAndLeaveNoFileOpen) {
  TempDir dir;
  const std::string path = dir.File("bad.xa");
  testing::WriteFileBytes(path, GetParam().bytes);
  XaFile xa;
  EXPECT_EQ(OpenXaFile(xa, path), -1);
  EXPECT_STREQ(xa.LastErrorText, GetParam().message);
  EXPECT_FALSE(xa.IsOpen());
}

std::string DifferingHalves(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; i += 8) bytes[i] = 1;  // first half 1, second half 0
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadFiles,
    ::testing::Values(BadFileCase{"empty", "", text::kDetectReadError},
                      BadFileCase{"seven_bytes", std::string(7, '\1'), text::kDetectReadError},
                      BadFileCase{"one_plain_sector", XaBuilder(1).Bytes(), text::kDetectReadError},
                      BadFileCase{"no_layout", DifferingHalves(3 * 2352 + 100),
                                  text::kFormatUnknown}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenXaFile, RefusesMissingFilesAndDirectories) {
  TempDir dir;
  XaFile xa;
  EXPECT_EQ(OpenXaFile(xa, dir.File("missing.xa")), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotOpenFile);
  EXPECT_EQ(OpenXaFile(xa, dir.Path()), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotOpenFile);
}

// As an ordinary user, for whom the system itself refuses to open the file for writing: it
// opens read-only, its sectors read, a write is refused by the system.
void OpenReadOnlyAsOrdinaryUser(const std::string& path) {
  if (geteuid() == 0 && setuid(65534) != 0) std::exit(2);
  XaFile xa;
  if (OpenXaFile(xa, path) != 0 || !xa.ReadOnly || xa.SectorCount != 3) std::exit(1);
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  if (ReadSector(xa, 1, sector, info) != 0 || CheckWritable(xa) != -1) std::exit(1);
  if (std::strcmp(xa.LastErrorText, text::kReadOnlyFile) != 0) std::exit(1);
  std::exit(WriteSector(xa, 1, sector) == -1 ? 0 : 1);
}

TEST(OpenXaFile, OpensAFileThatCannotBeWrittenReadOnly) {
  TempDir dir;
  const std::string path = dir.File("read-only.xa");
  XaBuilder(3).Write(path);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EXIT(OpenReadOnlyAsOrdinaryUser(path), ::testing::ExitedWithCode(0), "");
}

TEST(OpenXaFile, TakesAnyFileWhoseFirstTwoSubheadersHaveEqualHalvesAsPlain) {
  TempDir dir;
  const std::string path = dir.File("odd.xa");
  std::string bytes(3 * 2352, '\x55');
  testing::WriteFileBytes(path, bytes);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  EXPECT_EQ(xa.Layout, XaLayout::Plain2336);
}

TEST(OpenXaFile, AcceptsPathsLongerThan255Bytes) {
  TempDir dir;
  std::string folder = dir.Path();
  for (int i = 0; i < 4; ++i) {
    folder += "/" + std::string(80, 'd');
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  }
  const std::string path = folder + "/long.xa";
  ASSERT_GT(path.size(), 255u);
  XaFile xa;
  ASSERT_EQ(CreateXaFile(xa, path), 0);
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  EXPECT_EQ(xa.SectorCount, 150);
}

struct ClassifyCase {
  std::uint8_t submode, coding;
  SectorKind kind;
  int highRate, stereo;
};

class Classification : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(Classification, ReadsKindRateAndStereoFromTheSubheader) {
  const auto& c = GetParam();
  const std::uint8_t subheader[4] = {1, 9, c.submode, c.coding};
  SectorInfo info = ClassifySubheader(subheader);
  EXPECT_EQ(info.Kind, c.kind);
  EXPECT_EQ(info.HighRate, c.highRate);
  EXPECT_EQ(info.Stereo, c.stereo);
  EXPECT_EQ(info.Channel, c.kind == SectorAudio ? 9 : 0);
  EXPECT_EQ(0, std::memcmp(info.Subheader, subheader, 4));
}

INSTANTIATE_TEST_SUITE_P(Submodes, Classification,
                         ::testing::Values(ClassifyCase{0x80, 0x05, SectorEmpty, 0, 0},
                                           ClassifyCase{0x00, 0x00, SectorEmpty, 0, 0},
                                           ClassifyCase{0x64, 0x00, SectorAudio, 1, 0},
                                           ClassifyCase{0x60, 0x05, SectorAudio, 0, 1},
                                           ClassifyCase{0xE4, 0x01, SectorAudio, 1, 1},
                                           ClassifyCase{0x08, 0x01, SectorData, 0, 0},
                                           ClassifyCase{0x20, 0x00, SectorData, 0, 0},
                                           ClassifyCase{0x40, 0x00, SectorData, 0, 0}));

class OpenPlainFile : public ::testing::Test {
 protected:
  void SetUp() override {
    XaBuilder(4).Channel(3, true, false, 0, 8, 1).BreakSubheader(2).Write(path);
    ASSERT_EQ(OpenXaFile(xa, path), 0);
  }
  TempDir dir;
  std::string path = dir.File("f.xa");
  XaFile xa;
};

TEST_F(OpenPlainFile, ReadsAndWritesPastTheEndAsDescribed) {
  SectorInfo info;
  info.Kind = SectorAudio;
  EXPECT_EQ(ReadSubheader(xa, 4, info), 0);
  EXPECT_EQ(info, SectorInfo{});
  std::uint8_t buffer[kSectorBytes];
  std::memset(buffer, 0x77, sizeof buffer);
  EXPECT_EQ(ReadSector(xa, 4, buffer, info), 0);
  EXPECT_EQ(buffer[100], 0);
  EXPECT_EQ(WriteSubheader(xa, 4, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kWritePositionError);
  const std::string before = testing::ReadFileBytes(path);
  EXPECT_EQ(WriteSector(xa, 4, buffer), 0);
  EXPECT_TRUE(testing::ReadFileBytes(path) == before);
}

TEST_F(OpenPlainFile, NegativeIndexesAreReadAndWriteFailures) {
  SectorInfo info;
  std::uint8_t buffer[kSectorBytes] = {};
  EXPECT_EQ(ReadSubheader(xa, -1, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kReadError);
  xa.LastErrorText = "";
  EXPECT_EQ(ReadSector(xa, -5, buffer, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kReadError);
  EXPECT_EQ(WriteSubheader(xa, -1, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kWriteError);
  xa.LastErrorText = "";
  EXPECT_EQ(WriteSector(xa, -1, buffer), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kWriteError);
}

TEST_F(OpenPlainFile, DifferingSubheaderCopiesAreBadData) {
  SectorInfo info;
  std::uint8_t buffer[kSectorBytes];
  EXPECT_EQ(ReadSubheader(xa, 2, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kBadData);
  xa.LastErrorText = "";
  EXPECT_EQ(ReadSector(xa, 2, buffer, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kBadData);
  ASSERT_EQ(ReadSector(xa, 0, buffer, info), 0);
  EXPECT_EQ(info.Kind, SectorAudio);
  EXPECT_EQ(info.Channel, 3);
}

TEST_F(OpenPlainFile, ShortReadOfATruncatedSectorIsAReadError) {
  ASSERT_EQ(truncate(path.c_str(), 3 * 2336 + 4), 0);  // SectorCount still says 4
  SectorInfo info;
  std::uint8_t buffer[kSectorBytes];
  EXPECT_EQ(ReadSubheader(xa, 3, info), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kReadError);
  EXPECT_EQ(ReadSector(xa, 3, buffer, info), -1);
}

TEST(SectorAccess, WritesOnlyThe2336BytesAtTheSectorsPositionInARawFile) {
  TempDir dir;
  const std::string path = dir.File("raw.xa");
  XaBuilder(3, Layout::Raw2352).Write(path);
  const std::string before = testing::ReadFileBytes(path);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  std::uint8_t sector[kSectorBytes];
  std::memset(sector, 0xAB, sizeof sector);
  ASSERT_EQ(WriteSector(xa, 1, sector), 0);
  SectorInfo info;
  info.Subheader[0] = 7;
  ASSERT_EQ(WriteSubheader(xa, 2, info), 0);
  const std::string after = testing::ReadFileBytes(path);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    const bool inSector1 = i >= 2352 + 16 && i < 2 * 2352;
    const bool inSubheader2 = i >= 2 * 2352 + 16 && i < 2 * 2352 + 24;
    if (inSector1) {
      ASSERT_EQ(static_cast<std::uint8_t>(after[i]), 0xAB) << i;
    } else if (inSubheader2) {
      ASSERT_EQ(after[i], (i - (2 * 2352 + 16)) % 4 == 0 ? 7 : 0) << i;
    } else {
      ASSERT_EQ(after[i], before[i]) << i;
    }
  }
}

TEST(SectorAccess, AWalkSeesWhatWasJustWritten) {
  TempDir dir;
  const std::string path = dir.File("walk.xa");
  XaBuilder(300).Write(path);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  SectorInfo info;
  for (int i = 0; i < 10; ++i) ASSERT_EQ(ReadSubheader(xa, i, info), 0);
  SectorInfo data;
  data.Subheader[0] = 1;
  data.Subheader[2] = 0x08;
  ASSERT_EQ(WriteSubheader(xa, 10, data), 0);
  std::uint8_t sector[kSectorBytes];
  MakeEmptySector(xa, sector, false);
  sector[2] = sector[6] = 0x08;
  ASSERT_EQ(WriteSector(xa, 11, sector), 0);
  for (int i = 10; i < 12; ++i) {
    ASSERT_EQ(ReadSubheader(xa, i, info), 0);
    EXPECT_EQ(info.Kind, SectorData) << i;
  }
}

TEST(SectorAccess, WholeSectorsReadDuringAWalkMatchTheFileAndFollowWrites) {
  TempDir dir;
  const std::string path = dir.File("walk.xa");
  XaBuilder b(300, Layout::Raw2352);
  for (int i = 0; i < 300; ++i)
    b.Payload(i, std::vector<std::uint8_t>(2328, static_cast<std::uint8_t>(i)));
  b.Write(path);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  SectorInfo info;
  std::uint8_t sector[kSectorBytes];
  for (int i = 0; i < 140; ++i) {
    ASSERT_EQ(ReadSubheader(xa, i, info), 0);
    ASSERT_EQ(ReadSector(xa, i, sector, info), 0);
    ASSERT_EQ(sector[8], static_cast<std::uint8_t>(i)) << i;
    ASSERT_EQ(sector[kSectorBytes - 1], static_cast<std::uint8_t>(i)) << i;
  }
  std::memset(sector + 8, 0xAB, kSectorBytes - 8);
  ASSERT_EQ(WriteSector(xa, 141, sector), 0);
  for (int i = 140; i < 143; ++i) ASSERT_EQ(ReadSubheader(xa, i, info), 0);
  ASSERT_EQ(ReadSector(xa, 141, sector, info), 0);
  EXPECT_EQ(sector[100], 0xAB);
}

TEST(CreateXaFile, Writes150EmptySectorsWithTheMarkOnTheLast) {
  TempDir dir;
  const std::string rawPath = dir.File("raw.xa");
  XaBuilder(5, Layout::Raw2352).Write(rawPath);
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, rawPath), 0);
  CloseXaFile(xa);
  const std::string path = dir.File("new.xa");
  ASSERT_EQ(CreateXaFile(xa, path), 0);
  EXPECT_FALSE(xa.IsOpen());
  EXPECT_EQ(xa.ResizePermission, ResizeAllowed);
  EXPECT_EQ(xa.EndPostGap, 150);
  EXPECT_EQ(xa.ChannelPostGap, 150);
  const std::string bytes = testing::ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 350400u);
  for (int i = 0; i < 150; ++i) {
    const char* s = bytes.data() + i * 2336;
    const char submode = i == 149 ? '\x80' : '\0';
    EXPECT_EQ(std::string(s, 8), std::string({1, 0, submode, 0, 1, 0, submode, 0})) << i;
  }
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  EXPECT_EQ(xa.Layout, XaLayout::Plain2336);
  EXPECT_EQ(xa.SectorCount, 150);
}

TEST(CreateXaFile, FailsInAMissingFolder) {
  TempDir dir;
  XaFile xa;
  EXPECT_EQ(CreateXaFile(xa, dir.File("no/such/folder.xa")), -1);
  EXPECT_STREQ(xa.LastErrorText, text::kCannotOpenFile);
}

}  // namespace
}  // namespace sorvane
