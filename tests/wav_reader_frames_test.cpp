// Frames delivered by WavReader::ReadFrame: decoding of 8- and 16-bit frames, the
// hundredths-resolution interpolation, the buffer boundaries and the end of the data.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "input/wav_reader.h"
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

class WavFramesTest : public ::testing::Test {
 protected:
  void Open(const WavBuilder& wav) {
    wav.Write(dir_.File("in.wav"));
    ASSERT_EQ(reader_.Open(dir_.File("in.wav")), 0);
  }
  // Reads `count` frames; the results of the calls go to `results`.
  std::vector<Frame> Read(int count, std::vector<int>* results = nullptr) {
    std::vector<Frame> frames;
    for (int i = 0; i < count; ++i) {
      Frame f{123, 456};
      int result = reader_.ReadFrame(f.data());
      if (results != nullptr) results->push_back(result);
      frames.push_back(f);
    }
    return frames;
  }

  TempDir dir_;
  WavReader reader_;
};

// What the reader must deliver, worked out from the whole source at once: output n lies
// n x source / target frames in, weighted in hundredths of the phase. Buffering must not show.
std::vector<Frame> Interpolated(const std::vector<Frame>& source, int sourceRate, int targetRate,
                                int count) {
  std::vector<Frame> out;
  const std::int64_t w = targetRate / 100;
  for (std::int64_t n = 0; n < count; ++n) {
    std::int64_t position = n * sourceRate / targetRate;
    std::int64_t u = n * sourceRate % targetRate / 100;
    Frame f{0, 0};
    if (position + 1 < static_cast<std::int64_t>(source.size())) {
      for (int side = 0; side < 2; ++side) {
        f[side] = static_cast<std::int16_t>(
            ((w - u) * source[position][side] + u * source[position + 1][side]) / w);
      }
    }
    out.push_back(f);
  }
  return out;
}

std::vector<std::int16_t> Interleave(const std::vector<Frame>& frames) {
  std::vector<std::int16_t> samples;
  for (const Frame& f : frames) samples.insert(samples.end(), f.begin(), f.end());
  return samples;
}

std::vector<Frame> Ramp(int count, int step) {
  std::vector<Frame> frames;
  for (int i = 0; i < count; ++i) {
    frames.push_back({static_cast<std::int16_t>(i * step), static_cast<std::int16_t>(-i * step)});
  }
  return frames;
}

TEST_F(WavFramesTest, RampFrom44100To37800) {
  Open(WavBuilder(2, 44100, 16).Samples16(Interleave(Ramp(12, 1000))));
  reader_.TargetRate = 37800;
  std::vector<Frame> got = Read(8);
  const std::int16_t expected[] = {0, 1166, 2333, 3500, 4666, 5833, 7000, 8166};
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(got[n][0], expected[n]) << n;
    EXPECT_EQ(got[n][1], -expected[n]) << n;  // division truncates toward zero
  }
}

TEST_F(WavFramesTest, MonoRampFrom22050To18900) {
  Open(WavBuilder(1, 22050, 16).Samples16(Frames16(12, 1, [](int i, int) { return i * 1000; })));
  reader_.TargetRate = 18900;
  std::vector<Frame> got = Read(8);
  const std::int16_t expected[] = {0, 1164, 2333, 3497, 4666, 5830, 7000, 8164};
  for (int n = 0; n < 8; ++n) EXPECT_EQ(got[n], (Frame{expected[n], expected[n]})) << n;
}

TEST_F(WavFramesTest, SameRatePassesFramesUnchangedAndNeverTheLast) {
  std::vector<Frame> source;
  for (int i = 0; i < 1000; ++i) {
    source.push_back({static_cast<std::int16_t>(i * 37 - 20000), static_cast<std::int16_t>(-i)});
  }
  Open(WavBuilder(2, 37800, 16).Samples16(Interleave(source)));
  std::vector<int> results;
  std::vector<Frame> got = Read(1003, &results);
  for (int i = 0; i < 999; ++i) ASSERT_EQ(got[i], source[i]) << i;
  for (int i = 999; i < 1003; ++i) EXPECT_EQ(got[i], (Frame{0, 0})) << i;
  for (int i = 0; i < 998; ++i) ASSERT_EQ(results[i], 0) << i;
  // The call that delivers frame 998 finds nothing after the last frame.
  for (int i = 998; i < 1003; ++i) EXPECT_EQ(results[i], 1) << i;
}

TEST_F(WavFramesTest, EightBitValues) {
  Open(WavBuilder(2, 8000, 8).Samples8({0x80, 0xFF, 0x00, 0xC0, 0x7F, 0x81, 0x80, 0x80}));
  EXPECT_EQ(Read(3), (std::vector<Frame>{{0, 32512}, {-32768, 16384}, {-256, 256}}));
}

TEST_F(WavFramesTest, EightBitMonoCopiedToBothSides) {
  Open(WavBuilder(1, 8000, 8).Samples8({0x80, 0xFF, 0x00, 0xC0, 0x80}));
  EXPECT_EQ(Read(4),
            (std::vector<Frame>{{0, 0}, {32512, 32512}, {-32768, -32768}, {16384, 16384}}));
}

TEST_F(WavFramesTest, FourChannelsReadFromTheFirstTwo) {
  Open(WavBuilder(4, 44100, 16).Samples16(Frames16(5, 4, [](int i, int c) {
    return c < 2 ? (c == 0 ? i * 10 : -i * 10 - 1) : 30000 + c;
  })));
  EXPECT_EQ(Read(4), (std::vector<Frame>{{0, -1}, {10, -11}, {20, -21}, {30, -31}}));
}

TEST_F(WavFramesTest, SingleFrameGivesSilenceFromTheFirstCall) {
  Open(WavBuilder(2, 44100, 16).Samples16({1234, -1234}));
  std::vector<int> results;
  EXPECT_EQ(Read(3, &results), (std::vector<Frame>(3, Frame{0, 0})));
  EXPECT_EQ(results, (std::vector<int>{1, 1, 1}));
}

// Interpolation runs on across every refill: the output equals the whole-source model for
// files several buffers long, for each frame size.
struct Continuity {
  const char* Name;
  int Channels, Bits, SourceRate, TargetRate;
};

const Continuity kContinuity[] = {
    {"Stereo16From44100To37800", 2, 16, 44100, 37800},
    {"Stereo16From44100To18900", 2, 16, 44100, 18900},
    {"Stereo16From32000To37800", 2, 16, 32000, 37800},
    {"Mono8From22050To18900", 1, 8, 22050, 18900},
    {"Mono8From11025To37800", 1, 8, 11025, 37800},
    {"Mono16From48000To37800", 1, 16, 48000, 37800},
    {"Stereo8From44100To37800", 2, 8, 44100, 37800},
    {"Stereo16From48000To22050", 2, 16, 48000, 22050},  // weights in hundredths: 220 steps
};

class WavFramesContinuity : public WavFramesTest,
                            public ::testing::WithParamInterface<Continuity> {};

TEST_P(WavFramesContinuity, MatchesTheWholeSourceModel) {
  const Continuity& c = GetParam();
  const int frames = 5000;  // at least two loads of every buffer
  std::vector<Frame> source;
  std::vector<std::int16_t> samples16;
  std::vector<std::uint8_t> samples8;
  for (int i = 0; i < frames; ++i) {
    int left = (i * 7919) % 65536 - 32768;
    int right = c.Channels == 1 ? left : (i * 104729 + 999) % 65536 - 32768;
    if (c.Bits == 8) {
      left &= ~0xFF;
      right &= ~0xFF;
      samples8.push_back(static_cast<std::uint8_t>(left / 256 + 128));
      if (c.Channels == 2) samples8.push_back(static_cast<std::uint8_t>(right / 256 + 128));
    } else {
      samples16.push_back(static_cast<std::int16_t>(left));
      if (c.Channels == 2) samples16.push_back(static_cast<std::int16_t>(right));
    }
    source.push_back({static_cast<std::int16_t>(left), static_cast<std::int16_t>(right)});
  }
  WavBuilder wav(c.Channels, c.SourceRate, c.Bits);
  Open(c.Bits == 8 ? wav.Samples8(samples8) : wav.Samples16(samples16));
  reader_.TargetRate = c.TargetRate;
  int count = static_cast<int>(std::int64_t{frames} * c.TargetRate / c.SourceRate) + 5;
  std::vector<Frame> got = Read(count);
  std::vector<Frame> expected = Interpolated(source, c.SourceRate, c.TargetRate, count);
  for (int n = 0; n < count; ++n) ASSERT_EQ(got[n], expected[n]) << "output " << n;
}

INSTANTIATE_TEST_SUITE_P(Formats, WavFramesContinuity, ::testing::ValuesIn(kContinuity),
                         [](const auto& info) { return std::string(info.param.Name); });

// A step of more than two buffers' worth outruns the reload (which brings one buffer in):
// the second output is the frame `step` while step <= 2 x capacity - 2, silence beyond.
// Where that limit lies shows the capacity: 2352 bytes of whole frames.
struct Capacity {
  const char* Name;
  int Channels, Bits, Frames;
};

const Capacity kCapacities[] = {
    {"Stereo16Holds588", 2, 16, 588},
    {"Mono16Holds1176", 1, 16, 1176},
    {"Mono8Holds2352", 1, 8, 2352},
    {"Stereo8Holds1176", 2, 8, 1176},
};

class WavFramesCapacity : public WavFramesTest, public ::testing::WithParamInterface<Capacity> {
 protected:
  // The second frame delivered when every call steps `step` frames on.
  std::int16_t SecondFrame(int step) {
    const Capacity& c = GetParam();
    const int frames = 2 * c.Frames + 8;
    WavBuilder wav(c.Channels, 100 * step, c.Bits);
    if (c.Bits == 8) {
      std::vector<std::uint8_t> bytes(std::size_t(frames) * c.Channels, 0x80);
      bytes[std::size_t(step) * c.Channels] = 0xC0;
      wav.Samples8(bytes);
    } else {
      wav.Samples16(
          Frames16(frames, c.Channels, [&](int i, int) { return i == step ? 16384 : 0; }));
    }
    Open(wav);
    reader_.TargetRate = 100;
    return Read(2)[1][0];
  }
};

TEST_P(WavFramesCapacity, SecondReloadLimitShowsTheCapacity) {
  const int capacity = GetParam().Frames;
  EXPECT_EQ(SecondFrame(capacity + 1), 16384);
  EXPECT_EQ(SecondFrame(2 * capacity - 2), 16384);
  EXPECT_EQ(SecondFrame(2 * capacity - 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, WavFramesCapacity, ::testing::ValuesIn(kCapacities),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WavFramesTest, ChunkAfterTheDataIsNotDelivered) {
  Open(WavBuilder(2, 44100, 16)
           .Samples16(Frames16(10, 2, [](int i, int c) { return i + 1 + c; }))
           .ChunkAfterData("LIST", std::string(400, '\x55')));
  std::vector<int> results;
  std::vector<Frame> got = Read(120, &results);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(got[i], (Frame{std::int16_t(i + 1), std::int16_t(i + 2)}));
  for (int i = 9; i < 120; ++i) ASSERT_EQ(got[i], (Frame{0, 0})) << i;
  EXPECT_EQ(results[8], 1);
  EXPECT_EQ(results.back(), 1);
}

TEST_F(WavFramesTest, ImplausibleDataSizeReadsToTheEndOfTheFile) {
  for (std::uint32_t size : {0u, 0xFFFFFFFFu, 0x7FFFFFF0u}) {
    Open(WavBuilder(1, 44100, 16)
             .Samples16({1, 2, 3})
             .DataSize(size)
             .ChunkAfterData("junk", std::string("\x10\x00\x20\x00", 4)));
    // Data 1, 2, 3, then the chunk's 8-byte head ("ju", "nk", 4, 0) and its samples 16, 32.
    std::vector<Frame> got = Read(9);
    EXPECT_EQ(got[2], (Frame{3, 3})) << size;
    EXPECT_EQ(got[3], (Frame{'j' | 'u' << 8, 'j' | 'u' << 8})) << size;
    EXPECT_EQ(got[5], (Frame{4, 4})) << size;
    EXPECT_EQ(got[7], (Frame{16, 16})) << size;
    EXPECT_EQ(got[8], (Frame{0, 0})) << size;  // the last frame, 32, is never delivered
    reader_.Close();
  }
}

TEST_F(WavFramesTest, TargetRatesBelow100) {
  Open(WavBuilder(1, 50, 16).Samples16({10, 20, 30, 40}));
  EXPECT_EQ(reader_.TargetRate, 50);
  EXPECT_EQ(Read(3), (std::vector<Frame>{{10, 10}, {20, 20}, {30, 30}}));

  Open(WavBuilder(1, 50, 16).Samples16({10, 20, 30, 40}));
  reader_.TargetRate = 25;  // weight always 0: every other frame
  EXPECT_EQ(Read(2), (std::vector<Frame>{{10, 10}, {30, 30}}));

  Open(WavBuilder(1, 50, 16).Samples16({10, 20, 30, 40}));
  for (int rate : {0, -1}) {
    reader_.TargetRate = rate;
    std::vector<int> results;
    EXPECT_EQ(Read(2, &results), (std::vector<Frame>(2, Frame{0, 0})));
    EXPECT_EQ(results, (std::vector<int>{-1, -1}));
  }
  reader_.TargetRate = 50;  // nothing was consumed meanwhile
  EXPECT_EQ(Read(1)[0], (Frame{10, 10}));
}

}  // namespace
}  // namespace sorvane
