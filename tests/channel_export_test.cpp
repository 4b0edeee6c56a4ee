#include "edit/channel_export.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "support/process_tools.h"
#include "support/scripted_ui.h"
#include "support/sound_channel.h"
#include "support/sound_data.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::FileLength;
using testing::Le16;
using testing::Le32;
using testing::ReadFileBytes;
using testing::ScriptedProgress;
using testing::SoundData;
using testing::XaBuilder;

// Channel 1 of the given quality and sectors.
ChannelRecord Record(bool highRate, bool stereo, int first, int count, int interleave) {
  return testing::SoundRecord(1, highRate, stereo, first, interleave, count);
}

// Lengths in the header agree with a file of `blocks` PCM blocks.
void ExpectLengths(const std::string& wav, long long length) {
  ASSERT_EQ(static_cast<long long>(wav.size()), length);
  EXPECT_EQ(Le32(wav, 4), length - 8);
  EXPECT_EQ(Le32(wav, 40), length - 44);
}

class WavExportTest : public ::testing::Test {
 protected:
  // A file with channel 1 at sectors 0, 4, 8, ... (count of them) and distinct sound in each.
  void OpenChannel(bool highRate, bool stereo, int count, int sectors = 40) {
    XaBuilder builder(sectors);
    builder.Channel(1, highRate, stereo, 0, 4, count);
    for (int n = 0; n < count; ++n) {
      SoundData data;
      data.Parameter(0, 0, 0, 6).FillNibbles(0, 0, n % 8).FillNibbles(3, 1, -(n % 8));
      builder.Payload(4 * n, data.Payload());
    }
    builder_ = builder;
    builder.Write(dir_.File("in.xa"));
    ASSERT_EQ(OpenXaFile(xa_, dir_.File("in.xa")), 0);
    record_ = Record(highRate, stereo, 0, count, 4);
  }

  Outcome Export(const std::string& name) { return ExportTo(dir_.File(name)); }
  Outcome ExportTo(const std::string& path) {
    return ExportChannel(workspace_, record_, path, progress_);
  }

  testing::TempDir dir_;
  XaBuilder builder_{1};
  Workspace workspace_;
  XaFile& xa_ = workspace_.File;
  ChannelRecord record_;
  ScriptedProgress progress_;
};

struct FormatCase {
  bool HighRate, Stereo;
  std::uint16_t Channels;
  std::uint32_t Rate, BytesPerSecond;
  std::uint16_t Align;
};

class WavExportFormat : public WavExportTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(WavExportFormat, HeaderDescribesTheChannelAndTheBlocks) {
  const FormatCase& c = GetParam();
  OpenChannel(c.HighRate, c.Stereo, 5);
  ASSERT_EQ(Export("out.wav"), Outcome::Done);
  const std::string wav = ReadFileBytes(dir_.File("out.wav"));
  ExpectLengths(wav, 44 + 9408LL * 5);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 16u);
  EXPECT_EQ(Le16(wav, 20), 1);
  EXPECT_EQ(Le16(wav, 22), c.Channels);
  EXPECT_EQ(Le32(wav, 24), c.Rate);
  EXPECT_EQ(Le32(wav, 28), c.BytesPerSecond);
  EXPECT_EQ(Le16(wav, 32), c.Align);
  EXPECT_EQ(Le16(wav, 34), 16);
  EXPECT_EQ(wav.substr(36, 4), "data");
}

INSTANTIATE_TEST_SUITE_P(Export, WavExportFormat,
                         ::testing::Values(FormatCase{false, false, 1, 22050, 44100, 2},
                                           FormatCase{false, true, 2, 22050, 88200, 4},
                                           FormatCase{true, false, 1, 44100, 88200, 2},
                                           FormatCase{true, true, 2, 44100, 176400, 4}));

TEST_F(WavExportTest, BlocksAreTheDecodedSectorsInOrder) {
  OpenChannel(true, true, 3);
  ASSERT_EQ(Export("out.wav"), Outcome::Done);
  const std::string wav = ReadFileBytes(dir_.File("out.wav"));
  DecoderState fresh;
  std::array<std::uint8_t, kPcmBlockBytes> block;
  for (int n = 0; n < 3; ++n) {
    DecodeStereoSector(fresh, builder_.SectorBytes(4 * n).data() + kGroupsOffset, block.data());
    EXPECT_EQ(wav.substr(44 + 9408 * n, 9408), std::string(block.begin(), block.end())) << n;
  }
}

TEST_F(WavExportTest, ProgressFollowsTheCursorAndFinishes) {
  OpenChannel(true, false, 4);
  ASSERT_EQ(Export("out.wav"), Outcome::Done);
  EXPECT_EQ(progress_.Positions,
            (std::vector<int>{0, 6, 31, 56, 81}));  // sectors 0, 1, 5, 9, 13 of 16
  EXPECT_EQ(progress_.Polls, 5);
  EXPECT_EQ(progress_.Starts, 1);
  EXPECT_EQ(progress_.Finishes, 1);
}

TEST_F(WavExportTest, AnEmptySpanShowsZeroAndWritesNoBlock) {
  OpenChannel(true, false, 1);
  record_ = Record(true, false, 0, 0, 4);
  ASSERT_EQ(Export("out.wav"), Outcome::Done);
  EXPECT_EQ(progress_.Positions, (std::vector<int>{0}));
  ExpectLengths(ReadFileBytes(dir_.File("out.wav")), 44);
}

TEST_F(WavExportTest, CancelAtTheFirstStepLeavesAnEmptyValidFile) {
  OpenChannel(true, true, 3);
  progress_.CancelAtPoll = 1;
  EXPECT_EQ(Export("out.wav"), Outcome::Cancelled);
  EXPECT_STREQ(xa_.LastErrorText, text::kCancelled);
  const std::string wav = ReadFileBytes(dir_.File("out.wav"));
  ExpectLengths(wav, 44);
  EXPECT_EQ(Le32(wav, 4), 36u);
  EXPECT_EQ(Le32(wav, 40), 0u);
  EXPECT_EQ(progress_.Finishes, 1);
  EXPECT_FALSE(progress_.Active);
}

TEST_F(WavExportTest, CancelHalfWayKeepsTheBlocksSoFar) {
  OpenChannel(true, true, 5);
  progress_.CancelAtPoll = 3;
  EXPECT_EQ(Export("out.wav"), Outcome::Cancelled);
  EXPECT_STREQ(xa_.LastErrorText, text::kCancelled);
  ExpectLengths(ReadFileBytes(dir_.File("out.wav")), 44 + 9408 * 2);
  EXPECT_EQ(progress_.Finishes, 1);
}

TEST_F(WavExportTest, ExistingFileIsTruncated) {
  OpenChannel(true, false, 1);
  testing::WriteFileBytes(dir_.File("out.wav"), std::string(100000, 'x'));
  ASSERT_EQ(Export("out.wav"), Outcome::Done);
  ExpectLengths(ReadFileBytes(dir_.File("out.wav")), 44 + 9408);
}

TEST_F(WavExportTest, AFileThatCannotBeCreatedIsReported) {
  OpenChannel(true, false, 1);
  EXPECT_EQ(Export("no/such/folder/out.wav"), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kWavCannotOpen);
  EXPECT_EQ(progress_.Starts, 0);
  EXPECT_EQ(progress_.Finishes, 0);
}

TEST_F(WavExportTest, AShortHeaderWriteIsReportedBeforeAnyProgress) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  OpenChannel(true, false, 1);
  EXPECT_EQ(ExportTo("/dev/full"), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kWavWriteFailed);
  EXPECT_EQ(progress_.Starts, 0);
}

TEST_F(WavExportTest, AShortBlockWriteFixesTheHeaderToTheLengthReached) {
  OpenChannel(true, true, 6);
  const long long limit = 44 + 9408 * 2 + 1000;
  Outcome result;
  {
    testing::FileSizeLimit writesFailPast(limit);
    result = Export("out.wav");
  }
  EXPECT_EQ(result, Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kWavWriteFailed);
  ExpectLengths(ReadFileBytes(dir_.File("out.wav")), limit);
  EXPECT_EQ(progress_.Starts, 1);
  EXPECT_EQ(progress_.Finishes, 1);
}

TEST_F(WavExportTest, AReadFailureLeavesAValidFileWithTheBlocksSoFar) {
  XaBuilder builder(20);
  builder.Channel(1, true, false, 0, 4, 4).BreakSubheader(9);
  builder.Write(dir_.File("in.xa"));
  ASSERT_EQ(OpenXaFile(xa_, dir_.File("in.xa")), 0);
  record_ = Record(true, false, 0, 4, 4);
  EXPECT_EQ(Export("out.wav"), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kBadData);
  ExpectLengths(ReadFileBytes(dir_.File("out.wav")), 44 + 9408 * 3);
  EXPECT_EQ(progress_.Finishes, 1);
}

// Truncating the open XA file would destroy it before a block is decoded; whatever path
// names it, the export refuses before writing.
TEST_F(WavExportTest, TheOpenFileItselfIsRefusedByAnyOfItsNames) {
  OpenChannel(true, false, 2);
  const std::string before = ReadFileBytes(dir_.File("in.xa"));
  std::filesystem::create_symlink(dir_.File("in.xa"), dir_.File("link.wav"));
  for (const std::string& path : {dir_.File("in.xa"), dir_.File("link.wav")}) {
    EXPECT_EQ(ExportTo(path), Outcome::Failed) << path;
    EXPECT_STREQ(xa_.LastErrorText, text::kExportOntoOpenFile);
  }
  EXPECT_EQ(ReadFileBytes(dir_.File("in.xa")), before);
  EXPECT_EQ(progress_.Starts, 0);
}

// The export on two threads (decoding here, resampling and writing on the other) writes
// the bytes of the one-thread export and leaves the decoder state as it does, for every
// quality, over sound that moves the histories.
class TwoThreadExport : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TwoThreadExport, WritesTheBytesAndLeavesTheStateOfTheOneThreadExport) {
  testing::TempDir dir;
  const FormatCase& c = GetParam();
  XaBuilder(400).Noise(3).Channel(1, c.HighRate, c.Stereo, 0, 4, 90).Write(dir.File("in.xa"));
  auto workspace = std::make_unique<Workspace>();
  Workspace& two = *workspace;
  ASSERT_EQ(OpenXaFile(two.File, dir.File("in.xa")), 0);
  const ChannelRecord record = Record(c.HighRate, c.Stereo, 0, 90, 4);
  // A state carried over from an earlier run, as the editor's is.
  two.Decoder.Left = {1234, -4321};
  two.Decoder.Right = {-77, 99};
  DecoderState one = two.Decoder;
  ScriptedProgress progress;
  ASSERT_EQ(ExportChannel(two, record, dir.File("two.wav"), progress), Outcome::Done);
  ASSERT_EQ(ExportChannelWith(two.File, one, record, dir.File("one.wav"), progress), Outcome::Done);
  EXPECT_TRUE(ReadFileBytes(dir.File("two.wav")) == ReadFileBytes(dir.File("one.wav")));
  EXPECT_EQ(FileLength(dir.File("two.wav")), 44 + 9408LL * 90);
  EXPECT_EQ(two.Decoder.Left.S1, one.Left.S1);
  EXPECT_EQ(two.Decoder.Left.S2, one.Left.S2);
  EXPECT_EQ(two.Decoder.Right.S1, one.Right.S1);
  EXPECT_EQ(two.Decoder.Right.S2, one.Right.S2);
  EXPECT_EQ(two.Decoder.Phase, one.Phase);
  EXPECT_EQ(two.Decoder.Previous, one.Previous);
  EXPECT_EQ(two.Decoder.OutputPosition, one.OutputPosition);
  EXPECT_EQ(two.Decoder.Step, one.Step);
}

INSTANTIATE_TEST_SUITE_P(Export, TwoThreadExport,
                         ::testing::Values(FormatCase{false, false, 1, 22050, 44100, 2},
                                           FormatCase{false, true, 2, 22050, 88200, 4},
                                           FormatCase{true, false, 1, 44100, 88200, 2},
                                           FormatCase{true, true, 2, 44100, 176400, 4}));

TEST(WavHeader, LengthsBeyond32BitsAreLimited) {
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(Record(true, true, 0, 1, 4), 0x200000000LL, header);
  const std::string bytes(header, header + kWavHeaderBytes);
  EXPECT_EQ(Le32(bytes, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Le32(bytes, 40), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace sorvane
