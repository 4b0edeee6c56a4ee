// The import's sectors encoded on two threads, a batch at a time: the file gets the bytes
// that one thread gives, whichever way the trials of the high-quality search are computed,
// and a write that fails in the middle of a batch stops the import at its sector with the
// encoder's state after that sector, as encoding and writing one sector at a time would.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "container/channel_scan.h"
#include "edit/import_passes.h"
#include "input/frame_source.h"
#include "support/failing_file_io.h"
#include "support/named_case.h"
#include "support/scripted_ui.h"
#include "support/signals.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;

constexpr int kSectors = 75;  // two whole batches and 11 sectors of a third
constexpr int kFirst = 4;
constexpr int kInterleave = 4;  // of a 37.8 kHz stereo channel; a mono one takes 8
constexpr int kRate = 37800;

struct ThreadCase {
  const char* Name;
  bool Stereo;
  bool HighQuality;
};

// Sound for the whole channel: a chord over a sweep, the two sides different.
std::vector<std::int16_t> ChannelSound(bool stereo) {
  const int frames = kSectors * (stereo ? kStereoFramesPerSector : kMonoFramesPerSector);
  return testing::ChordWithSweep(kRate, double(frames) / kRate, 2);
}

class ImportRun : public ::testing::Test {
 protected:
  // Builds the file, a 37.8 kHz channel of kSectors sectors, and opens it.
  void Open(bool stereo) {
    CloseXaFile(xa);
    const int interleave = stereo ? kInterleave : 2 * kInterleave;
    testing::XaBuilder(1000).Channel(1, true, stereo, kFirst, interleave, kSectors).Write(path);
    ASSERT_EQ(OpenXaFile(xa, path), 0);
    ASSERT_EQ(ScanChannels(xa, kWalkLimitFull, progress), 0);
  }
  Outcome Import(Importer& importer, bool stereo) {
    SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[0]);
    MemoryFrames sound(ChannelSound(stereo), 2, kRate);
    return ImportFrames(xa, importer, sound, progress, prompter);
  }
  std::vector<std::uint8_t> Sector(int index) {
    std::vector<std::uint8_t> bytes(kSectorBytes);
    SectorInfo info;
    EXPECT_EQ(ReadSector(xa, index, bytes.data(), info), 0);
    return bytes;
  }
  void TearDown() override { CloseXaFile(xa); }

  testing::TempDir dir;
  std::string path = dir.File("a.xa");
  XaFile xa;
  testing::ScriptedProgress progress;
  testing::ScriptedPrompter prompter;
};

class ImportThreads : public ImportRun, public ::testing::WithParamInterface<ThreadCase> {
 protected:
  std::string ImportedBytes(bool twoThreads, TrialPath trials) {
    Open(GetParam().Stereo);
    Importer importer;
    importer.TwoThreads = twoThreads;
    importer.Encoder.HighQuality = GetParam().HighQuality;
    importer.Encoder.Trials = trials;
    EXPECT_EQ(Import(importer, GetParam().Stereo), Outcome::Done);
    CloseXaFile(xa);
    return testing::ReadFileBytes(path);
  }
};

TEST_P(ImportThreads, TwoThreadsWriteWhatOneWrites) {
  Open(GetParam().Stereo);
  CloseXaFile(xa);
  const std::string original = testing::ReadFileBytes(path);
  const std::string one = ImportedBytes(false, FastestTrialPath());
  EXPECT_NE(one, original);
  EXPECT_TRUE(ImportedBytes(true, FastestTrialPath()) == one);
}

INSTANTIATE_TEST_SUITE_P(Channels, ImportThreads,
                         ::testing::Values(ThreadCase{"StereoHighQuality", true, true},
                                           ThreadCase{"MonoHighQuality", false, true},
                                           ThreadCase{"Stereo", true, false},
                                           ThreadCase{"Mono", false, false}));

// Only the high-quality search has trials.
class ImportTrials : public ImportThreads {};

TEST_P(ImportTrials, ScalarTrialsWriteWhatAvx2TrialsWrite) {
  if (FastestTrialPath() != TrialPath::Avx2) GTEST_SKIP() << "no AVX2 on this processor";
  EXPECT_TRUE(ImportedBytes(true, TrialPath::Scalar) == ImportedBytes(true, TrialPath::Avx2));
}

INSTANTIATE_TEST_SUITE_P(Channels, ImportTrials,
                         ::testing::Values(ThreadCase{"StereoHighQuality", true, true},
                                           ThreadCase{"MonoHighQuality", false, true}));

class ImportWriteFailure : public ImportRun, public ::testing::WithParamInterface<int> {};

// Write n (1 = the first) is sector n - 1's: each sector is one write, then the end mark.
TEST_P(ImportWriteFailure, StopsAtTheFailedSectorWithTheStateAfterIt) {
  Open(true);
  const std::vector<std::uint8_t> untouched = Sector(kFirst);
  testing::FailingFileIo failing;
  failing.OnlyPath = path;
  failing.FailAt = GetParam();
  xa.Io = &failing;
  Importer importer;
  importer.Encoder.HighQuality = true;
  ASSERT_EQ(Import(importer, true), Outcome::Failed);
  xa.Io = &SystemFileIo();

  // The same frames encoded one sector at a time, up to the failed one.
  const int failed = GetParam() - 1;
  MemoryFrames sound(ChannelSound(true), 2, kRate);
  sound.SetTargetRate(kRate);
  EncoderState expected;
  expected.HighQuality = true;
  std::vector<std::int16_t> frames(2 * kStereoFramesPerSector);
  for (int i = 0; i <= failed; ++i) {
    for (int k = 0; k < kStereoFramesPerSector; ++k) sound.ReadFrame(&frames[2 * k]);
    std::vector<std::uint8_t> image = Sector(kFirst + kInterleave * i);
    EncodeAudioSector(expected, frames.data(), image.data(), image.data());
    if (i < failed) {
      EXPECT_TRUE(Sector(kFirst + kInterleave * i) == image) << "sector " << i;
    }
  }
  for (int i = failed; i < kSectors; ++i) {
    const std::vector<std::uint8_t> now = Sector(kFirst + kInterleave * i);
    EXPECT_EQ(0, std::memcmp(now.data() + kGroupsOffset, untouched.data() + kGroupsOffset,
                             kSoundGroups * kSoundGroupBytes))
        << "sector " << i;
  }
  EXPECT_EQ(importer.Cursor.Cursor, kFirst + kInterleave * failed);
  EXPECT_EQ(importer.Cursor.LastWritten, kFirst + kInterleave * failed);
  EXPECT_EQ(importer.Encoder.Left.Search.S1, expected.Left.Search.S1);
  EXPECT_EQ(importer.Encoder.Left.Search.S2, expected.Left.Search.S2);
  EXPECT_EQ(importer.Encoder.Right.Search.S1, expected.Right.Search.S1);
  EXPECT_EQ(importer.Encoder.Right.Search.S2, expected.Right.Search.S2);
}

// The first write, one inside the first batch, the last of a batch, the first of the next,
// and the last sector's.
INSTANTIATE_TEST_SUITE_P(Writes, ImportWriteFailure, ::testing::Values(1, 20, 32, 33, 75));

TEST_F(ImportRun, EachSectorIsOneWriteAndTheEndMarkOneMore) {
  Open(true);
  testing::FailingFileIo counting;
  counting.OnlyPath = path;
  xa.Io = &counting;
  Importer importer;
  ASSERT_EQ(Import(importer, true), Outcome::Done);
  xa.Io = &SystemFileIo();
  EXPECT_EQ(counting.Calls, kSectors + 1);
}

}  // namespace
}  // namespace sorvane
