// Playback against a scripted sound device on a virtual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/channel_play.h"
#include "support/named_case.h"
#include "support/scripted_audio_output.h"
#include "support/scripted_ui.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ScriptedAudioOutput;
using testing::SoundRecord;

// Progress whose calls land in the device's log, so that their order can be checked.
class LoggedProgress : public testing::ScriptedProgress {
 public:
  explicit LoggedProgress(std::vector<std::string>& log) : log_(log) {}
  void Start() override {
    log_.push_back("start");
    ScriptedProgress::Start();
  }
  bool PollCancel() override {
    log_.push_back("poll");
    return ScriptedProgress::PollCancel();
  }
  void Finish() override {
    log_.push_back("finish");
    ScriptedProgress::Finish();
  }

 private:
  std::vector<std::string>& log_;
};

constexpr char kUntouched[] = "untouched";

std::vector<std::string> Repeat(const std::vector<std::string>& entries, int times) {
  std::vector<std::string> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), entries.begin(), entries.end());
  return all;
}

class PlaybackTest : public ::testing::Test {
 protected:
  void Build(const ChannelRecord& record, int sectors) {
    record_ = record;
    path_ = dir_.File("play.xa");
    testing::SoundChannelFile(sectors, record).Write(path_);
    ASSERT_EQ(OpenXaFile(xa_, path_), 0);
  }

  Outcome Play() {
    xa_.LastErrorText = kUntouched;
    return PlayChannel(workspace_, record_, device_, progress_);
  }

  // The log from `from` on.
  std::vector<std::string> LogFrom(int from) const {
    return {device_.Log.begin() + from, device_.Log.end()};
  }

  std::vector<std::string> HandedOver() const {
    std::vector<std::string> blocks;
    for (const auto& w : device_.Writes) blocks.push_back(w.Bytes);
    return blocks;
  }

  testing::TempDir dir_;
  std::string path_;
  ChannelRecord record_;
  Workspace workspace_;
  XaFile& xa_ = workspace_.File;
  ScriptedAudioOutput device_;
  LoggedProgress progress_{device_.Log};
};

struct QualityCase {
  const char* Name;
  bool HighRate;
  bool Stereo;
  AudioFormat Format;
};

class PlaybackQuality : public PlaybackTest, public ::testing::WithParamInterface<QualityCase> {};

TEST_P(PlaybackQuality, AShortChannelIsQueuedWithoutWaitingThenDrained) {
  Build(SoundRecord(1, GetParam().HighRate, GetParam().Stereo, 0, 4, 5), 20);
  EXPECT_EQ(Play(), Outcome::Done);
  ASSERT_TRUE(device_.OpenedWith.has_value());
  EXPECT_EQ(*device_.OpenedWith, GetParam().Format);
  // All 16 buffers start free: five rounds of poll and write, then the end of the channel.
  std::vector<std::string> expected = {"open", "start"};
  for (int i = 0; i < 5; ++i)
    expected.insert(expected.end(), {"poll", "write " + std::to_string(i)});
  expected.push_back("poll");
  // The drain: buffer 4 ends at 5 x 53 ms, tested every 54 ms; then the position stands
  // still at the first re-reading.
  for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {"done? 4", "sleep 54"});
  expected.insert(expected.end(),
                  {"done? 4", "position", "sleep 100", "position", "finish", "reset", "close"});
  EXPECT_EQ(device_.Log, expected);
  EXPECT_EQ(HandedOver(), testing::ReferenceBlocks(xa_, record_));
  EXPECT_EQ(progress_.Finishes, 1);
}

const QualityCase kQualities[] = {
    {"Mono189", false, false, {22050, 1}},
    {"Stereo189", false, true, {22050, 2}},
    {"Mono378", true, false, {44100, 1}},
    {"Stereo378", true, true, {44100, 2}},
};

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackQuality, ::testing::ValuesIn(kQualities),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PlaybackTest, HandsOverTheDecodedBlocksInOrderStraightFromTheRing) {
  Build(SoundRecord(1, true, true, 2, 4, 40), 170);
  EXPECT_EQ(Play(), Outcome::Done);
  const std::vector<std::string> reference = testing::ReferenceBlocks(xa_, record_);
  ASSERT_EQ(reference.size(), 40u);
  EXPECT_EQ(HandedOver(), reference);
  // Allocated once for the play, all freed; each block is handed over where it was decoded.
  ASSERT_EQ(device_.Allocated.size(), 16u);
  EXPECT_EQ(device_.Frees, 16);
  EXPECT_EQ(device_.LiveBlocks, 0);
  for (std::size_t i = 0; i < device_.Writes.size(); ++i) {
    EXPECT_EQ(device_.Writes[i].Index, static_cast<int>(i % 16));
    EXPECT_EQ(device_.Writes[i].Data, device_.Allocated[i % 16]);
  }
  // The ring keeps pace with the device: buffer k + 16 is written only after buffer k played.
  for (std::size_t i = 16; i < device_.Writes.size(); ++i)
    EXPECT_GE(device_.Writes[i].At, device_.Writes[i - 16].At + 53) << i;
  // The bar follows the cursor from 0 and never goes back; the last poll comes right after
  // sector 158: (159 - 2) x 100 / (162 - 2).
  ASSERT_FALSE(progress_.Positions.empty());
  EXPECT_EQ(progress_.Positions.front(), 0);
  for (std::size_t i = 1; i < progress_.Positions.size(); ++i)
    EXPECT_GE(progress_.Positions[i], progress_.Positions[i - 1]);
  EXPECT_EQ(progress_.Positions.back(), 98);
  EXPECT_EQ(progress_.Positions.size(), static_cast<std::size_t>(progress_.Polls));
}

TEST_F(PlaybackTest, AFullRingPollsTheOldestBuffer16Times54MsApartBetweenProgressUpdates) {
  Build(SoundRecord(1, true, true, 0, 1, 20), 20);
  device_.PlayMs = -1;  // the device holds every buffer
  progress_.CancelAtPoll = 19;
  EXPECT_EQ(Play(), Outcome::Cancelled);
  EXPECT_EQ(device_.Writes.size(), 16u);
  // Polls 17 and 18 each wait 16 x 54 ms for buffer 0, and the bar is set before each poll.
  const int first = device_.Find("write 15") + 1;
  std::vector<std::string> expected = {"poll"};
  const std::vector<std::string> round = Repeat({"done? 0", "sleep 54"}, 16);
  expected.insert(expected.end(), round.begin(), round.end());
  expected.push_back("poll");
  expected.insert(expected.end(), round.begin(), round.end());
  expected.insert(expected.end(), {"poll", "finish", "reset", "close"});
  EXPECT_EQ(LogFrom(first), expected);
  EXPECT_EQ(device_.Now, 2 * 16 * 54);
  EXPECT_EQ(progress_.Positions.size(), 19u);
  EXPECT_STREQ(xa_.LastErrorText, kUntouched);
}

struct CancelCase {
  const char* Name;
  int CancelAtPoll;
  std::size_t Written;
};

class PlaybackCancel : public PlaybackTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(PlaybackCancel, StopsTheSoundAtOnceWithoutDrainOrMessage) {
  Build(SoundRecord(1, true, true, 0, 1, 40), 40);
  progress_.CancelAtPoll = GetParam().CancelAtPoll;
  EXPECT_EQ(Play(), Outcome::Cancelled);
  EXPECT_EQ(device_.Writes.size(), GetParam().Written);
  // Nothing between the cancelling poll and the reset: no wait, no position reading.
  const std::vector<std::string> end = {"poll", "finish", "reset", "close"};
  ASSERT_GE(device_.Log.size(), end.size());
  EXPECT_EQ(LogFrom(static_cast<int>(device_.Log.size() - end.size())), end);
  EXPECT_EQ(device_.Count("position"), 0);
  EXPECT_EQ(device_.Count("poll"), GetParam().CancelAtPoll);
  EXPECT_STREQ(xa_.LastErrorText, kUntouched);
  EXPECT_EQ(progress_.Finishes, 1);
  EXPECT_EQ(device_.LiveBlocks, 0);
}

const CancelCase kCancels[] = {
    {"AtTheFirstPoll", 1, 0},
    {"AfterThreeSectors", 4, 3},
    // Polls 17.. each wait for the oldest buffer (53 ms of sound, tested every 54 ms).
    {"OnceTheRingHasCycled", 25, 24},
};

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackCancel, ::testing::ValuesIn(kCancels),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PlaybackTest, AReadErrorGivesItsMessageAndStopsTheSound) {
  Build(SoundRecord(1, true, false, 0, 1, 6), 6);
  std::filesystem::resize_file(path_, 2 * kSectorBytes + 100);
  EXPECT_EQ(Play(), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kReadError);
  EXPECT_EQ(device_.Writes.size(), 2u);
  EXPECT_EQ(LogFrom(static_cast<int>(device_.Log.size()) - 3),
            (std::vector<std::string>{"finish", "reset", "close"}));
  EXPECT_EQ(device_.Count("position"), 0);
  EXPECT_EQ(device_.LiveBlocks, 0);
}

TEST_F(PlaybackTest, ADeviceThatCannotOpenFailsBeforeTheProgressShows) {
  Build(SoundRecord(1, true, false, 0, 1, 3), 3);
  device_.OpenFails = true;
  EXPECT_EQ(Play(), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kWaveDeviceCannotOpen);
  EXPECT_EQ(device_.Log, std::vector<std::string>{"open"});
  EXPECT_EQ(progress_.Starts, 0);
  EXPECT_TRUE(device_.Allocated.empty());
  EXPECT_EQ(workspace_.Decoding.Current, 0) << "nothing was decoded";
}

class PlaybackAllocation : public PlaybackTest, public ::testing::WithParamInterface<int> {};

TEST_P(PlaybackAllocation, AFailureFreesEverythingAndClosesTheDevice) {
  Build(SoundRecord(1, true, false, 0, 1, 3), 3);
  device_.FailAllocationAt = GetParam();
  EXPECT_EQ(Play(), Outcome::Failed);
  EXPECT_STREQ(xa_.LastErrorText, text::kPlaybackNoMemory);
  EXPECT_EQ(device_.Log, (std::vector<std::string>{"open", "close"}));
  EXPECT_EQ(device_.Allocated.size(), static_cast<std::size_t>(GetParam() - 1));
  EXPECT_EQ(device_.Frees, GetParam() - 1);
  EXPECT_EQ(device_.LiveBlocks, 0);
  EXPECT_EQ(progress_.Starts, 0);
}

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackAllocation, ::testing::Values(1, 2, 16));

TEST_F(PlaybackTest, NothingFoundInA32SectorSearchKeepsTheRingIndex) {
  // Sectors 0 and 40 only: each is followed by a search of 32 sectors that finds nothing.
  Build(SoundRecord(1, true, false, 0, 40, 2), 80);
  EXPECT_EQ(Play(), Outcome::Done);
  ASSERT_EQ(device_.Writes.size(), 2u);
  EXPECT_EQ(device_.Writes[0].Index, 0);
  EXPECT_EQ(device_.Writes[1].Index, 1);
  EXPECT_EQ(HandedOver(), testing::ReferenceBlocks(xa_, record_));
  // Results 0, 1, 0, 1, 2: each one after its own poll.
  EXPECT_EQ(progress_.Polls, 5);
  EXPECT_EQ(progress_.Positions, (std::vector<int>{0, 1, 41, 51, 91}));
  EXPECT_EQ(device_.Count("sleep 54"), 2) << "only the drain waits";
}

struct DrainCase {
  const char* Name;
  std::vector<std::optional<std::int64_t>> Readings;
  int ReadingsTaken;
};

class PlaybackDrain : public PlaybackTest, public ::testing::WithParamInterface<DrainCase> {};

TEST_P(PlaybackDrain, WaitsForTheLastBufferThenForThePositionToStandStill) {
  Build(SoundRecord(1, true, true, 0, 1, 1), 2);
  device_.PlayMs = -1;  // the last buffer never reports done: its wait is cut at 16 tests
  device_.Positions.assign(GetParam().Readings.begin(), GetParam().Readings.end());
  EXPECT_EQ(Play(), Outcome::Done);
  std::vector<std::string> expected = Repeat({"done? 0", "sleep 54"}, 16);
  expected.push_back("position");
  const std::vector<std::string> readings =
      Repeat({"sleep 100", "position"}, GetParam().ReadingsTaken - 1);
  expected.insert(expected.end(), readings.begin(), readings.end());
  expected.insert(expected.end(), {"finish", "reset", "close"});
  EXPECT_EQ(LogFrom(device_.Find("done? 0")), expected);
  EXPECT_EQ(device_.Now, 16 * 54 + (GetParam().ReadingsTaken - 1) * 100);
}

std::vector<std::optional<std::int64_t>> Rising(int count) {
  std::vector<std::optional<std::int64_t>> readings;
  for (int i = 0; i < count; ++i) readings.push_back(1000 * i);
  return readings;
}

const DrainCase kDrains[] = {
    {"StandsStillAtOnce", {500, 500}, 2},
    {"StandsStillAtTheFourthReading", {100, 200, 300, 300, 999}, 4},
    {"AReadingFails", {100, 200, std::nullopt, 300}, 3},
    {"TheFirstReadingFails", {std::nullopt, 100, 200}, 1},
    // 1 + 50 readings, 50 x 100 ms: the wait ends though the position still moves.
    {"NeverStandsStill", Rising(60), 51},
};

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackDrain, ::testing::ValuesIn(kDrains),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PlaybackTest, AnEmptyChannelDrainsTheUntouchedRing) {
  Build(SoundRecord(1, true, true, 5, 1, 0), 10);
  EXPECT_EQ(Play(), Outcome::Done);
  // Buffer 15 is free, so no done test: only the position readings.
  EXPECT_EQ(device_.Log, (std::vector<std::string>{"open", "start", "poll", "position", "sleep 100",
                                                   "position", "finish", "reset", "close"}));
}

struct FromCase {
  const char* Name;
  bool HighRate;
  bool Stereo;
  int Interleave;
  std::int64_t Frame;
};

class PlaybackFrom : public PlaybackTest, public ::testing::WithParamInterface<FromCase> {};

// The sound from the frame on, and the decoder state left behind, are those of a play through:
// the sectors before the frame are decoded but not sent.
TEST_P(PlaybackFrom, SendsTheSoundFromTheFrameAndLeavesTheStateOfAPlayThrough) {
  const FromCase& c = GetParam();
  Build(SoundRecord(1, c.HighRate, c.Stereo, 3, c.Interleave, 150), 3 + 150 * c.Interleave);
  EXPECT_EQ(PlayChannelFrom(workspace_, record_, c.Frame, device_, progress_), Outcome::Done);
  std::string sent;
  for (const std::string& block : HandedOver()) sent += block;
  std::string whole;
  for (const std::string& block : testing::ReferenceBlocks(xa_, record_)) whole += block;
  const std::size_t from = static_cast<std::size_t>(c.Frame) * (c.Stereo ? 4 : 2);
  ASSERT_EQ(sent.size(), whole.size() - from);
  EXPECT_TRUE(sent == whole.substr(from));

  Workspace through;
  ASSERT_EQ(OpenXaFile(through.File, path_), 0);
  testing::ScriptedAudioOutput device;
  testing::ScriptedProgress progress;
  ASSERT_EQ(PlayChannel(through, record_, device, progress), Outcome::Done);
  EXPECT_EQ(workspace_.Decoder.Left.S1, through.Decoder.Left.S1);
  EXPECT_EQ(workspace_.Decoder.Left.S2, through.Decoder.Left.S2);
  EXPECT_EQ(workspace_.Decoder.Right.S1, through.Decoder.Right.S1);
  EXPECT_EQ(workspace_.Decoder.Right.S2, through.Decoder.Right.S2);
}

const FromCase kFroms[] = {
    // 2352 frames a sector: frame 235200 + 1000 lies 1000 frames into the 101st sector.
    {"StereoFar", true, true, 4, 2352 * 100 + 1000},
    {"StereoNear", false, true, 8, 2352 * 10 + 7},
    {"MonoFar", true, false, 8, 4704 * 120 + 4703},
    {"StereoAtASectorsStart", true, true, 4, 2352 * 70},
};

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackFrom, ::testing::ValuesIn(kFroms),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
