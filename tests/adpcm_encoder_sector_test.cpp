// Whole sectors: frames consumed, sound-group layout, the sector image and the histories.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "codec/adpcm_encoder.h"
#include "format/quality.h"
#include "support/named_case.h"
#include "support/wav_builder.h"

namespace sorvane {
namespace {

using testing::Frames16;
using testing::PrintTo;
using Group = std::array<std::uint8_t, kSoundGroupBytes>;

// Where each unit's parameter byte and its copy lie in a sound group.
constexpr int kParameterPositions[kUnitsPerGroup][2] = {{0, 4},  {1, 5},  {2, 6},   {3, 7},
                                                        {8, 12}, {9, 13}, {10, 14}, {11, 15}};

// A group assembled from its eight units as the layout prescribes: unit u's nibble k sits in
// byte u / 2 of sample word k, low half for even units, high half for odd ones.
Group AssembleGroup(const UnitResult (&units)[kUnitsPerGroup]) {
  Group g{};
  for (int u = 0; u < kUnitsPerGroup; ++u) {
    g[kParameterPositions[u][0]] = units[u].Parameter;
    g[kParameterPositions[u][1]] = units[u].Parameter;
    for (int k = 0; k < kSamplesPerUnit; ++k) {
      g[16 + 4 * k + u / 2] |= static_cast<std::uint8_t>(units[u].Nibbles[k] << (u % 2 ? 4 : 0));
    }
  }
  return g;
}

// A source whose units differ in loudness, so that neighbouring units get different
// parameter bytes.
int Left(int i) { return ((i * 7919) % 2001 - 1000) * (1 + (i / 28) % 13) * 2; }
int Right(int i) { return ((i * 104729) % 1001 - 500) * (1 + (i / 28 + 5) % 11) * 5; }

std::vector<std::int16_t> Varied(int frames) {
  return Frames16(frames, 2, [](int i, int c) { return c == 0 ? Left(i) : Right(i); });
}

class SectorTest : public ::testing::Test {
 protected:
  EncoderState state_;
  std::uint8_t groups_[kGroupAreaBytes] = {};
};

// How many frames each kind of sector takes: its groups depend on the last of them and on
// none after it.
struct Consumption {
  const char* Name;
  bool Stereo;
  int Frames;
};

const Consumption kConsumptions[] = {{"Stereo", true, 2016}, {"Mono", false, 4032}};

class ConsumptionTest : public SectorTest, public ::testing::WithParamInterface<Consumption> {
 protected:
  std::vector<std::uint8_t> Encode(const std::vector<std::int16_t>& frames) {
    EncoderState fresh;
    std::vector<std::uint8_t> groups(kGroupAreaBytes);
    if (GetParam().Stereo) {
      EncodeStereoSector(fresh, frames.data(), groups.data());
    } else {
      EncodeMonoSector(fresh, frames.data(), groups.data());
    }
    return groups;
  }
};

TEST_P(ConsumptionTest, TakesItsFramesAndNoMore) {
  const int n = GetParam().Frames;
  EXPECT_EQ(FramesPerSector(QualityOf(true, GetParam().Stereo)), n);
  std::vector<std::int16_t> frames = Varied(n + 100);
  const std::vector<std::uint8_t> base = Encode(frames);
  for (std::size_t i = 2 * std::size_t(n); i < frames.size(); ++i) frames[i] = 12345;
  EXPECT_EQ(Encode(frames), base);
  frames[2 * std::size_t(n) - 2] = -20000;
  frames[2 * std::size_t(n) - 1] = 20000;
  EXPECT_NE(Encode(frames), base);
}

INSTANTIATE_TEST_SUITE_P(Frames, ConsumptionTest, ::testing::ValuesIn(kConsumptions),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SectorTest, StereoGroupsFollowTheLayout) {
  EncodeStereoSector(state_, Varied(2016).data(), groups_);

  EncoderState expected;
  std::int16_t left[kSamplesPerUnit], right[kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    UnitResult units[kUnitsPerGroup];
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < kSamplesPerUnit; ++k) {
        int frame = g * 112 + j * 28 + k;
        left[k] = static_cast<std::int16_t>(Left(frame));
        right[k] = static_cast<std::int16_t>(Right(frame));
      }
      units[2 * j] = ChooseUnit(left, expected.Left.Plain);
      units[2 * j + 1] = ChooseUnit(right, expected.Right.Plain);
    }
    Group want = AssembleGroup(units);
    ASSERT_EQ(0, std::memcmp(groups_ + g * kSoundGroupBytes, want.data(), want.size())) << g;
    // The decoder finds each unit's parameter where it reads it.
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      EXPECT_EQ(groups_[g * kSoundGroupBytes + kUnitParameterByte[u]], units[u].Parameter);
    }
  }
  EXPECT_EQ(state_.Left.Plain.S1, expected.Left.Plain.S1);
  EXPECT_EQ(state_.Right.Plain.S2, expected.Right.Plain.S2);
}

TEST_F(SectorTest, MonoGroupsTakeConsecutiveUnitsWithTheRightHistory) {
  state_.Left.Plain = {777, -777};
  EncodeMonoSector(state_, Varied(4032).data(), groups_);

  EncoderHistory history;
  std::int16_t mono[kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    UnitResult units[kUnitsPerGroup];
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      for (int k = 0; k < kSamplesPerUnit; ++k) {
        int frame = g * 224 + u * 28 + k;
        mono[k] = static_cast<std::int16_t>((Left(frame) + Right(frame)) / 2);
      }
      units[u] = ChooseUnit(mono, history);
    }
    Group want = AssembleGroup(units);
    ASSERT_EQ(0, std::memcmp(groups_ + g * kSoundGroupBytes, want.data(), want.size())) << g;
  }
  EXPECT_EQ(state_.Right.Plain.S1, history.S1);
  EXPECT_EQ(state_.Right.Plain.S2, history.S2);
  EXPECT_EQ(state_.Left.Plain.S1, 777);  // mono sectors leave the left history alone
  EXPECT_EQ(state_.Left.Plain.S2, -777);
}

// The mono sample is (left + right) / 2 truncated toward zero: (-3, 0) gives -1, whose
// units are filter 0 with every nibble -2 (0xE); (1, 0) gives 0, silence.
struct MonoMix {
  const char* Name;
  int L, R;
  std::uint8_t SampleByte;
};

// (-3 + 0) / 2 = -1, -8 at the internal scale: one step of 2^3 down, nibble F.
const MonoMix kMixes[] = {{"MinusThreeAndZero", -3, 0, 0xFF},
                          {"OneAndZero", 1, 0, 0x00},
                          {"MinusOneAndZero", -1, 0, 0x00},
                          {"OppositeExtremes", 32767, -32768, 0x00}};

class MonoMixTest : public SectorTest, public ::testing::WithParamInterface<MonoMix> {};

TEST_P(MonoMixTest, TruncatesTowardZero) {
  const std::vector<std::int16_t> frames =
      Frames16(4032, 2, [](int, int c) { return c == 0 ? GetParam().L : GetParam().R; });
  EncodeMonoSector(state_, frames.data(), groups_);
  for (int g = 0; g < kSoundGroups; ++g) {
    const std::uint8_t* group = groups_ + g * kSoundGroupBytes;
    for (int b = 0; b < 16; ++b) ASSERT_EQ(group[b], 0x0C) << g << " " << b;
    for (int b = 16; b < kSoundGroupBytes; ++b) ASSERT_EQ(group[b], GetParam().SampleByte) << b;
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, MonoMixTest, ::testing::ValuesIn(kMixes),
                         [](const auto& info) { return std::string(info.param.Name); });

// The image: subheader twice, the groups of the sector kind that bit 0 of the coding
// information names, and 24 zero bytes whatever the buffer held before.
struct ImageCase {
  const char* Name;
  std::uint8_t Coding;
  bool Stereo;
};

const ImageCase kImages[] = {{"Stereo378", 0x01, true},
                             {"Mono378", 0x00, false},
                             {"Stereo189", 0x05, true},
                             {"Mono189Emphasis", 0x44, false}};

class ImageTest : public SectorTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(ImageTest, LaysOutTheSector) {
  const std::vector<std::int16_t> frames = Varied(4032);
  const std::uint8_t subheader[4] = {1, 7, 0x64, GetParam().Coding};
  std::uint8_t image[2336];
  std::memset(image, 0xAA, sizeof image);
  EncodeAudioSector(state_, frames.data(), subheader, image);

  EXPECT_EQ(0, std::memcmp(image, subheader, 4));
  EXPECT_EQ(0, std::memcmp(image + 4, subheader, 4));
  for (int b = 2312; b < 2336; ++b) EXPECT_EQ(image[b], 0) << b;

  EncoderState fresh;
  if (GetParam().Stereo) {
    EncodeStereoSector(fresh, frames.data(), groups_);
  } else {
    EncodeMonoSector(fresh, frames.data(), groups_);
  }
  EXPECT_EQ(0, std::memcmp(image + 8, groups_, kGroupAreaBytes));
}

INSTANTIATE_TEST_SUITE_P(Codings, ImageTest, ::testing::ValuesIn(kImages),
                         [](const auto& info) { return std::string(info.param.Name); });

// Past the end of a sound the import hands over silence: such sectors come out as filter
// 0 (error 0 on zeros whatever the history), with range 12 and zero sample bytes.
TEST_F(SectorTest, SilenceAfterSoundEncodesAsSilence) {
  std::vector<std::int16_t> frames = Varied(4032);
  for (std::size_t i = 2000; i < frames.size(); ++i) frames[i] = 0;
  const std::vector<std::int16_t> silence(2 * 4032, 0);
  std::uint8_t image[2336];
  const std::uint8_t stereo[4] = {1, 1, 0x64, 0x01};
  const std::uint8_t mono[4] = {1, 1, 0x64, 0x00};
  EncodeAudioSector(state_, frames.data(), stereo, image);
  EXPECT_NE(image[8], 0x0C);  // the first units carry the sound
  for (const auto* subheader : {stereo, mono}) {
    EncodeAudioSector(state_, silence.data(), subheader, image);
    for (int g = 0; g < kSoundGroups; ++g) {
      const std::uint8_t* group = image + 8 + g * kSoundGroupBytes;
      for (int b = 0; b < 16; ++b) ASSERT_EQ(group[b], 0x0C);
      for (int b = 16; b < kSoundGroupBytes; ++b) ASSERT_EQ(group[b], 0);
    }
  }
}

// The ranges the encoder writes: 0 to 12 only, the ones every decoder reads alike. Silence
// takes the smallest step (12); full-scale noise needs the largest (0).
struct RangeCase {
  const char* Name;
  std::function<int(int, int)> Sample;  // frame, side
  int Highest;                          // the largest range the sectors may hold
  bool NeedsRangeZero;
  bool AllRangeTwelve;
};

int Noise(int i, int c) { return int((std::uint32_t(i * 2 + c) * 2654435761u) >> 16) - 32768; }

const RangeCase kRanges[] = {
    {"Silence", [](int, int) { return 0; }, 12, false, true},
    {"OneStep", [](int i, int) { return i % 2; }, 12, false, true},
    {"FewSteps", [](int i, int c) { return (i * 5 + c) % 7 - 3; }, 12, false, false},
    {"FullScaleNoise", Noise, 12, true, false},
    {"FullScaleSquare", [](int i, int) { return (i / 3) % 2 ? 32767 : -32768; }, 12, true, false},
    {"Fade", [](int i, int c) { return (Left(i) + c) * (4032 * 2 - i) / (4032 * 4); }, 12, false,
     false},
};

class RangeTest : public SectorTest,
                  public ::testing::WithParamInterface<std::tuple<RangeCase, bool>> {};

TEST_P(RangeTest, StaysWithinWhatEveryDecoderReads) {
  const auto& [c, stereo] = GetParam();
  const std::vector<std::int16_t> frames = Frames16(2 * 4032, 2, c.Sample);
  int highest = -1, lowest = 16;
  bool allTwelve = true;
  const int perSector = stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  for (int at = 0; at + perSector <= 2 * 4032; at += perSector) {
    if (stereo)
      EncodeStereoSector(state_, frames.data() + 2 * at, groups_);
    else
      EncodeMonoSector(state_, frames.data() + 2 * at, groups_);
    for (int g = 0; g < kSoundGroups; ++g) {
      for (int b = 0; b < 16; ++b) {
        const int range = groups_[g * kSoundGroupBytes + b] & 15;
        highest = std::max(highest, range);
        lowest = std::min(lowest, range);
        allTwelve = allTwelve && range == 12;
      }
    }
  }
  EXPECT_LE(highest, c.Highest);
  if (c.NeedsRangeZero) {
    EXPECT_EQ(lowest, 0);
  }
  if (c.AllRangeTwelve) {
    EXPECT_TRUE(allTwelve);
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, RangeTest,
                         ::testing::Combine(::testing::ValuesIn(kRanges), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) ? "Stereo" : "Mono");
                         });

}  // namespace
}  // namespace sorvane
