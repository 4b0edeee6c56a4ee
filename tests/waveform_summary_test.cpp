// The waveform's summary: computed by the worker threads from built channels (tones, silence,
// two different sides), against the codec's own decoding of the same sectors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "codec/adpcm_decoder.h"
#include "edit/decode_walk.h"
#include "edit/waveform_job.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"
#include "support/tone_channel.h"

namespace sorvane {
namespace {

using testing::SoundRecord;
using testing::Tone;

// Runs a job to its end and gathers its pieces into a summary.
struct Gathered {
  WaveformSummary Summary;
  std::vector<WaveformPiece> Pieces;
};

Gathered Summarize(const std::string& path, const ChannelRecord& record) {
  XaFile xa;
  EXPECT_EQ(OpenXaFile(xa, path), 0);
  Gathered g;
  g.Summary.Reset(record);
  std::mutex lock;
  WaveformJob job(SourceOf(xa), record, [&](WaveformPiece&& piece) {
    const std::lock_guard<std::mutex> hold(lock);
    g.Pieces.push_back(std::move(piece));
  });
  job.Wait();
  // Each side's pieces arrive in order of their sectors; the sides interleave freely.
  std::vector<std::int32_t> next(2, 0);
  for (const WaveformPiece& piece : g.Pieces) {
    EXPECT_EQ(piece.First, next[piece.Side]);
    next[piece.Side] += static_cast<std::int32_t>(piece.Pairs.size() / kPairsPerSector);
    g.Summary.Add(piece);
  }
  return g;
}

struct ToneCase {
  const char* Name;
  bool HighRate;
  bool Stereo;
  Tone Left;
  Tone Right;
  int Peak[2];  // expected largest magnitude of each side (a mono channel: of the mix)
};

class WaveformTone : public ::testing::TestWithParam<ToneCase> {};

TEST_P(WaveformTone, EachSideShowsItsOwnPeaks) {
  const ToneCase& c = GetParam();
  testing::TempDir dir;
  const std::string path = dir.File("tone.xa");
  const ChannelRecord record = SoundRecord(1, c.HighRate, c.Stereo, 1, 4, 1100);
  testing::ToneChannelFile(4500, record, c.Left, c.Right).Write(path);
  const Gathered g = Summarize(path, record);
  ASSERT_TRUE(g.Summary.Complete());
  for (int side = 0; side < g.Summary.Sides(); ++side) {
    EnvelopePair whole;
    ASSERT_TRUE(g.Summary.Envelope(side, 0, 1100 * kPairsPerSector, whole));
    // The encoder's error on a clean tone stays within 2 % of full scale; silence encodes to
    // zero nibbles and decodes to exact zeros.
    const int margin = c.Peak[side] == 0 ? 0 : 650;
    EXPECT_NEAR(whole.Max, c.Peak[side], margin) << side;
    EXPECT_NEAR(whole.Min, -c.Peak[side], margin) << side;
    // An eighth of a sector at 441 Hz holds a whole period or more: every pair spans the tone.
    EnvelopePair pair;
    ASSERT_TRUE(g.Summary.Envelope(side, 5000, 5001, pair));
    EXPECT_NEAR(pair.Max, c.Peak[side], margin) << side;
  }
}

const ToneCase kTones[] = {
    {"Mono378", true, false, {20000}, {20000}, {20000, 0}},
    {"SilenceMono189", false, false, {0}, {0}, {0, 0}},
    {"Stereo378DifferentSides", true, true, {24000}, {3000}, {24000, 3000}},
    {"Stereo189SilentRight", false, true, {12000}, {0}, {12000, 0}},
};

INSTANTIATE_TEST_SUITE_P(Waveform, WaveformTone, ::testing::ValuesIn(kTones),
                         [](const auto& info) { return std::string(info.param.Name); });

// The values the codec's sector decoder gives for each channel sector of a fresh state.
std::vector<SectorValues> ReferenceValues(const std::string& path, const ChannelRecord& record) {
  XaFile xa;
  EXPECT_EQ(OpenXaFile(xa, path), 0);
  DecoderState state;
  DecodeCursor cursor;
  SelectDecodeChannel(cursor, record);
  std::vector<SectorValues> all;
  SectorValues values;
  for (WalkStep step; (step = DecodeNextValues(xa, cursor, state, values)) != WalkStep::End;) {
    if (step == WalkStep::Failed) break;
    if (step == WalkStep::Decoded) all.push_back(values);
  }
  return all;
}

struct ExactCase {
  const char* Name;
  bool Stereo;
  bool Tone;  // our encoder's tones (filters 2 and 3, whose state persists), else varied units
};

class WaveformExact : public ::testing::TestWithParam<ExactCase> {};

TEST_P(WaveformExact, PairsAndCloseValuesAreTheCodecsOwn) {
  const bool stereo = GetParam().Stereo;
  testing::TempDir dir;
  const std::string path = dir.File("exact.xa");
  // 1100 sectors: two halves on two threads, the second made exact from the first's end.
  const ChannelRecord record = SoundRecord(2, true, stereo, 3, 8, 1100);
  if (GetParam().Tone) {
    testing::ToneChannelFile(8810, record, {20000, 441}, {9000, 1003}).Write(path);
  } else {
    testing::SoundChannelFile(8810, record).Write(path);
  }
  const Gathered g = Summarize(path, record);
  const std::vector<SectorValues> reference = ReferenceValues(path, record);
  ASSERT_EQ(reference.size(), 1100u);
  const int per = stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  for (int side = 0; side < g.Summary.Sides(); ++side) {
    for (int k = 0; k < 1100; ++k) {
      const std::int32_t* v = side == 0 ? reference[k].Left : reference[k].Right;
      EnvelopePair expected[kPairsPerSector];
      SummarizeValues(v, per, expected);
      for (int p = 0; p < kPairsPerSector; ++p) {
        EnvelopePair got;
        ASSERT_TRUE(
            g.Summary.Envelope(side, k * kPairsPerSector + p, k * kPairsPerSector + p + 1, got));
        ASSERT_EQ(got.Min, expected[p].Min) << side << " " << k << " " << p;
        ASSERT_EQ(got.Max, expected[p].Max) << side << " " << k << " " << p;
      }
    }
    // A close zoom decodes six sectors from the state kept at or before the first, in either
    // half.
    for (const std::int32_t first : {317, 517, 1021}) {
      SideCheckpoint start;
      std::int32_t at = -1;
      ASSERT_TRUE(g.Summary.CheckpointBefore(side, first, start, at));
      EXPECT_EQ(at, first / 4 * 4);
      std::vector<std::int16_t> values;
      const std::atomic<bool> never{false};
      XaFile xa;
      ASSERT_EQ(OpenXaFile(xa, path), 0);
      ASSERT_TRUE(DecodeSideValues(SourceOf(xa), record, side, start, at, first, 6, never, values));
      ASSERT_EQ(values.size(), 6u * per);
      for (int k = 0; k < 6; ++k) {
        const SectorValues& r = reference[first + k];
        const std::int32_t* v = side == 0 ? r.Left : r.Right;
        for (int i = 0; i < per; ++i) ASSERT_EQ(values[k * per + i], v[i]) << first + k << " " << i;
      }
    }
  }
}

const ExactCase kExacts[] = {
    {"VariedMono", false, false},
    {"VariedStereo", true, false},
    {"ToneMono", false, true},
    {"ToneStereo", true, true},
};

INSTANTIATE_TEST_SUITE_P(Waveform, WaveformExact, ::testing::ValuesIn(kExacts),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WaveformMemory, ASeventyFourMinuteStereoChannelStaysUnderEightMegabytes) {
  // 74 minutes at 75 sectors a second, every fourth sector the channel's.
  WaveformSummary summary;
  summary.Reset(SoundRecord(1, true, true, 0, 4, 74 * 60 * 75 / 4));
  EXPECT_LT(summary.MemoryBytes(), 8u * 1000 * 1000);
  EXPECT_FALSE(summary.Complete());
  EnvelopePair nothing;
  EXPECT_FALSE(summary.Envelope(0, 0, 100, nothing));
}

}  // namespace
}  // namespace sorvane
