// Files that a 2048-byte ripper cut from XA sound are refused with the message that says
// so, whether the layout detection or the scan fails on them, and also when some blocks
// were data sectors; other files of whole 2048-byte blocks keep their messages.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ProgramResult;
using testing::XaBuilder;

std::vector<std::uint8_t> RandomPayload(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(2328);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// Every slot filled with sound, but the sectors in `data` are data sectors of random bytes
// and a sector in `silent` is silence.
XaBuilder SoundFile(int sectors, const std::vector<int>& data = {},
                    const std::vector<int>& silent = {}) {
  XaBuilder b = testing::FilledSoundFile(sectors);
  for (int s : data) b.Data(s).Payload(s, RandomPayload(s));
  testing::SoundData silence;
  for (int unit = 0; unit < 8; ++unit) silence.Parameter(0, unit, 0, 12);
  for (int s : silent) b.Payload(s, silence.Payload());
  return b;
}

std::string Random(int bytes) {
  std::mt19937 random(7);
  std::string out(std::size_t(bytes), '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

struct RippedCase {
  const char* Name;
  std::string Bytes;
  const char* Message;  // nullptr: the file opens
};

class FileOf2048ByteBlocks : public ::testing::TestWithParam<RippedCase> {};

TEST_P(FileOf2048ByteBlocks, IsRefusedWithItsMessage) {
  testing::TempDir dir;
  const std::string path = dir.File("f.xa");
  testing::WriteFileBytes(path, GetParam().Bytes);
  ASSERT_EQ(GetParam().Bytes.size() % 2048, 0u);
  for (const char* quick : {"--quick", ""}) {
    const ProgramResult run = testing::RunInProcess("list " + path + " " + quick);
    if (GetParam().Message == nullptr) {
      EXPECT_EQ(run.ExitStatus, 0) << run.Err;
      continue;
    }
    EXPECT_EQ(run.ExitStatus, 1) << quick;
    EXPECT_EQ(run.Err, std::string(GetParam().Message) + "\n") << quick;
    EXPECT_EQ(run.Out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileOf2048ByteBlocks,
    ::testing::Values(
        RippedCase{"RippedSound", SoundFile(40).Bytes2048(), text::kRippedAt2048},
        RippedCase{"RippedSoundOfOneBlock", SoundFile(1).Bytes2048(), text::kRippedAt2048},
        // Silence at byte 2336 passes the detection as plain sectors; the scan fails.
        RippedCase{"RippedSoundSilentAt2336", SoundFile(40, {}, {1}).Bytes2048(),
                   text::kRippedAt2048},
        RippedCase{"RippedWithDataSectors", SoundFile(40, {5, 20, 33}).Bytes2048(),
                   text::kRippedAt2048},
        RippedCase{"NinetyPercentSound", SoundFile(20, {5, 12}).Bytes2048(), text::kRippedAt2048},
        RippedCase{"EightyFivePercentSound", SoundFile(20, {5, 12, 17}).Bytes2048(),
                   text::kFormatUnknown},
        RippedCase{"Random", Random(16 * 2048), text::kFormatUnknown},
        RippedCase{"ZeroBlock", std::string(2048, '\0'), text::kDetectReadError},
        RippedCase{"ZeroBlocks", std::string(16 * 2048, '\0'), nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RippedSoundSilentAt2336, PassesTheDetectionAsPlainSectorsThenFailsTheScan) {
  testing::TempDir dir;
  const std::string path = dir.File("f.xa");
  testing::WriteFileBytes(path, SoundFile(40, {}, {1}).Bytes2048());
  XaFile xa;
  ASSERT_EQ(OpenXaFile(xa, path), 0);
  EXPECT_EQ(xa.Layout, XaLayout::Plain2336);
}

// A broken XA file made of empty sectors is a whole number of blocks (64 x 2336 bytes)
// that begin as sound groups, yet holds no sound: it keeps the scan's message.
TEST(BrokenXaFile, OfWholeBlocksKeepsTheScansMessage) {
  testing::TempDir dir;
  const std::string path = dir.File("f.xa");
  XaBuilder(64).BreakSubheader(5).Write(path);
  const ProgramResult run = testing::RunInProcess("list " + path);
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Err, std::string(text::kBadData) + "\n");
}

}  // namespace
}  // namespace sorvane
