#include "input/wav_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "common/fixed_texts.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"

namespace sorvane {
namespace {

using testing::Frames16;
using testing::PrintTo;
using testing::TempDir;
using testing::WavBuilder;
using Frame = std::array<std::int16_t, 2>;

struct ReadResult {
  std::vector<Frame> Frames;
  std::vector<int> Results;
};

ReadResult ReadFrames(WavReader& reader, int count) {
  ReadResult r;
  for (int i = 0; i < count; ++i) {
    Frame f{123, 456};
    r.Results.push_back(reader.ReadFrame(f.data()));
    r.Frames.push_back(f);
  }
  return r;
}

class WavReaderTest : public ::testing::Test {
 protected:
  // Writes the file and opens a reader on it; the reader is left open for the test.
  int Open(const WavBuilder& wav) {
    wav.Write(dir_.File("in.wav"));
    return reader_.Open(dir_.File("in.wav"));
  }
  std::vector<Frame> Read(int count) { return ReadFrames(reader_, count).Frames; }

  TempDir dir_;
  WavReader reader_;
};

// --- refusals ---

struct Refusal {
  const char* Name;
  WavBuilder Wav;
  const char* Message;
};

WavBuilder Stereo16() {
  return WavBuilder(2, 44100, 16).Samples16(Frames16(8, 2, [](int i, int) { return i; }));
}

const Refusal kRefusals[] = {
    {"FormatChunkOf18", Stereo16().FormatChunkSize(18), text::kWavUnexpectedLayout},
    {"FormatChunkOf40", Stereo16().FormatChunkSize(40), text::kWavUnexpectedLayout},
    {"ListBeforeData", Stereo16().ChunkBeforeData("LIST", "INFOabcd"), text::kWavUnexpectedLayout},
    {"FactBeforeData", Stereo16().ChunkBeforeData("fact", "\x08\0\0\0"),
     text::kWavUnexpectedLayout},
    {"NotRiff", Stereo16().Patch(0, "RIFX"), text::kWavUnexpectedLayout},
    {"NotWave", Stereo16().Patch(8, "AVI "), text::kWavUnexpectedLayout},
    {"NoFormatChunk", Stereo16().Patch(12, "junk"), text::kWavUnexpectedLayout},
    {"NoDataChunk", Stereo16().Patch(36, "dat "), text::kWavUnexpectedLayout},
    {"Bits24", WavBuilder(2, 44100, 24).Data(std::string(60, '\1')), text::kWavUnsupported},
    {"FloatTag3", WavBuilder(2, 44100, 32).FormatTag(3).Data(std::string(64, '\0')),
     text::kWavUnsupported},
    {"Bits8Tag3", WavBuilder(1, 44100, 8).FormatTag(3).Data(std::string(64, '\0')),
     text::kWavUnsupported},
    {"FileOf43Bytes", Stereo16().TruncateTo(43), text::kWavCannotRead},
    {"EmptyFile", Stereo16().TruncateTo(0), text::kWavCannotRead},
    {"BlockAlign0", Stereo16().BlockAlign(0), text::kWavUnsupported},
    {"BlockAlign2353", WavBuilder(1, 44100, 8).BlockAlign(2353).Data(std::string(5000, '\x80')),
     text::kWavUnsupported},
    {"BlockAlignBelowFrame", Stereo16().BlockAlign(2), text::kWavUnsupported},
    {"Rate0", Stereo16().Rate(0), text::kWavUnsupported},
    {"RateAboveInt32", Stereo16().Rate(0x80000000u), text::kWavUnsupported},
};

class WavReaderRefusal : public WavReaderTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WavReaderRefusal, FailsWithItsMessageAndHoldsNoFile) {
  GetParam().Wav.Write(dir_.File("bad.wav"));

  EXPECT_EQ(reader_.Open(dir_.File("bad.wav")), -1);
  EXPECT_STREQ(reader_.LastErrorText, GetParam().Message);
  EXPECT_FALSE(reader_.IsOpen());
  Frame f{1, 1};
  EXPECT_EQ(reader_.ReadFrame(f.data()), -1);
  EXPECT_EQ(f, (Frame{0, 0}));

  // The same reader opens a good file afterwards.
  ASSERT_EQ(Open(Stereo16()), 0);
  EXPECT_EQ(Read(1)[0], (Frame{0, 0}));
  EXPECT_EQ(Read(1)[0], (Frame{1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Headers, WavReaderRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WavReaderTest, MissingFileCannotBeOpened) {
  EXPECT_EQ(reader_.Open(dir_.File("missing.wav")), -1);
  EXPECT_STREQ(reader_.LastErrorText, text::kWavCannotOpen);
  EXPECT_FALSE(reader_.IsOpen());
}

TEST_F(WavReaderTest, FolderCannotBeRead) {
  EXPECT_EQ(reader_.Open(dir_.Path()), -1);
  EXPECT_STREQ(reader_.LastErrorText, text::kWavCannotRead);
}

TEST_F(WavReaderTest, LargestBlockAlignmentIsAccepted) {
  std::string data(3 * 2352, '\x80');
  data[2352] = '\xC0';
  ASSERT_EQ(Open(WavBuilder(1, 8000, 8).BlockAlign(2352).Data(data)), 0);
  EXPECT_EQ(reader_.TargetLength(), 3);
}

TEST_F(WavReaderTest, OpenSetsRatesAndChannelCount) {
  EXPECT_EQ(reader_.TargetRate, 44100);
  ASSERT_EQ(Open(WavBuilder(4, 22050, 16).Samples16(std::vector<std::int16_t>(40))), 0);
  EXPECT_EQ(reader_.SourceRate, 22050);
  EXPECT_EQ(reader_.TargetRate, 22050);
  EXPECT_EQ(reader_.ChannelCount, 4);
  reader_.Close();
  reader_.Close();
  EXPECT_FALSE(reader_.IsOpen());
}

// --- length ---

struct LengthCase {
  const char* Name;
  WavBuilder Wav;
  std::int32_t Target;
  std::int32_t Expected;
};

WavBuilder StereoFrames(int rate, int frames) {
  return WavBuilder(2, rate, 16).Samples16(std::vector<std::int16_t>(std::size_t(frames) * 2));
}

const LengthCase kLengths[] = {
    {"SecondAt37800", StereoFrames(44100, 44100), 37800, 37800},
    {"SecondAt18900", StereoFrames(44100, 44100), 18900, 18900},
    {"Frames1000At37800", StereoFrames(44100, 1000), 37800, 857},
    {"PartialLastFrame", StereoFrames(44100, 1000).Data(std::string(4003, '\0')), 37800, 857},
    {"SameRate", StereoFrames(37800, 2016), 37800, 2016},
    {"ChunkAfterDataNotCounted",
     StereoFrames(44100, 1000).ChunkAfterData("LIST", std::string(400, 'x')), 44100, 1000},
    {"SizeBeyondFileMeansToTheEnd", StereoFrames(44100, 1000).DataSize(8000), 44100, 1000},
    {"NegativeSizeMeansToTheEnd",
     StereoFrames(44100, 1000).DataSize(0xFFFFFFFFu).ChunkAfterData("LIST", std::string(392, 'x')),
     44100, 1100},
    {"ZeroSizeMeansToTheEnd", StereoFrames(44100, 10).DataSize(0), 44100, 10},
    {"TargetRate0", StereoFrames(44100, 1000), 0, 0},
    {"NegativeTargetRate", StereoFrames(44100, 1000), -37800, 0},
    {"Saturates", StereoFrames(1, 1000).Rate(1), std::numeric_limits<std::int32_t>::max(),
     std::numeric_limits<std::int32_t>::max()},
};

class WavReaderLength : public WavReaderTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(WavReaderLength, CountsFramesAtTargetRate) {
  ASSERT_EQ(Open(GetParam().Wav), 0);
  reader_.TargetRate = GetParam().Target;
  EXPECT_EQ(reader_.TargetLength(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, WavReaderLength, ::testing::ValuesIn(kLengths),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
