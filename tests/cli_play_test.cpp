// Runs the real sorvane-cli binary for `play`, with SDL's disk driver as the sound card.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/xa_file.h"
#include "support/named_case.h"
#include "support/process_tools.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunProgram;
using testing::Sounding;
using testing::SoundRecord;

// Standard error without SDL's own notice that its disk driver is in use.
std::string Messages(const std::string& err) {
  std::string kept;
  std::size_t at = 0;
  while (at < err.size()) {
    std::size_t end = err.find('\n', at);
    end = end == std::string::npos ? err.size() : end + 1;
    const std::string line = err.substr(at, end - at);
    if (line.rfind("CRITICAL: ", 0) != 0) kept += line;
    at = end;
  }
  return kept;
}

class CliPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The child inherits these.
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", device_.c_str(), 1);
    ::unsetenv("SDL_DISKAUDIODELAY");
    testing::SoundChannelFile(20, record_).Write(xa_);
  }

  ProgramResult Run(std::vector<std::string> args, const testing::RunOptions& options = {}) {
    args.insert(args.begin(), {SORVANE_CLI, "play"});
    return RunProgram(args, options);
  }

  // The channel's PCM as a fresh decoder makes it.
  std::string Expected() {
    XaFile xa;
    EXPECT_EQ(OpenXaFile(xa, xa_), 0);
    std::string all;
    for (const std::string& block : testing::ReferenceBlocks(xa, record_)) all += block;
    return all;
  }

  testing::TempDir dir_;
  std::string xa_ = dir_.File("in.xa");
  std::string device_ = dir_.File("device.raw");
  // Four sectors of 37.8 kHz stereo: about 0.2 s of sound.
  ChannelRecord record_ = SoundRecord(3, true, true, 2, 4, 4);
};

TEST_F(CliPlayTest, PlaysTheChannelThroughTheSoundCard) {
  const ProgramResult r = Run({xa_, "3", "--quick"});
  EXPECT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(Messages(r.Err), "");
  const std::string expected = Expected();
  ASSERT_EQ(expected.size(), 4u * 9408);
  EXPECT_EQ(Sounding(ReadFileBytes(device_)), Sounding(expected));
}

TEST_F(CliPlayTest, CtrlCStopsTheSoundWithoutAMessage) {
  testing::RunOptions options;
  options.InterruptPending = true;
  const ProgramResult r = Run({xa_, "3"}, options);
  EXPECT_EQ(r.ExitStatus, 3);
  EXPECT_EQ(Messages(r.Err), "");
  // Cancelled at the first poll: no sound reached the device, only silence if anything.
  const std::string device = ReadFileBytes(device_);
  EXPECT_EQ(device.find_first_not_of('\0'), std::string::npos);
}

TEST_F(CliPlayTest, ADeviceThatCannotOpenFails) {
  ::setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
  const ProgramResult r = Run({xa_, "3"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, std::string(text::kWaveDeviceCannotOpen) + "\n");
}

struct FromCase {
  const char* Name;
  std::vector<std::string> Options;
  int Sector;  // the file sector the text names
};

class CliPlayFrom : public CliPlayTest, public ::testing::WithParamInterface<FromCase> {};

TEST_P(CliPlayFrom, SendsOnlyTheSoundFromThePointAsPlayedThrough) {
  std::vector<std::string> args = {xa_, "3", "--quick"};
  args.insert(args.end(), GetParam().Options.begin(), GetParam().Options.end());
  const ProgramResult r = Run(args);
  EXPECT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(Messages(r.Err), "");
  // Stereo at interleave 4 from sector 2: 2352 frames of 4 bytes per channel sector.
  const std::size_t frame = (GetParam().Sector - 2) * 2352 / 4;
  const std::string rest = Expected().substr(frame * 4);
  // The sound from the point, whole, and nothing of the sound before it.
  ASSERT_FALSE(Sounding(rest).empty());
  EXPECT_EQ(Sounding(ReadFileBytes(device_)), Sounding(rest));
}

const FromCase kFroms[] = {
    {"Time", {"--from", "  0:00.05"}, 5},
    {"RoundedStartInTime", {"--from", "0:00.00"}, 2},
    {"Sectors", {"--from", "9"}, 9},
    {"HexByItsLetter", {"--from", "d"}, 13},
    {"HexByUnits", {"--from", "10", "--units", "hex"}, 16},
};

INSTANTIATE_TEST_SUITE_P(Cli, CliPlayFrom, ::testing::ValuesIn(kFroms),
                         [](const auto& info) { return std::string(info.param.Name); });

struct FailureCase {
  const char* Name;
  std::vector<std::string> Args;  // "XA" stands for the test's file
  int ExitStatus;
  std::string Err;  // the start of standard error
};

class CliPlayFailure : public CliPlayTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliPlayFailure, ExitsWithItsStatusAndMessage) {
  std::vector<std::string> args;
  for (const std::string& a : GetParam().Args) args.push_back(a == "XA" ? xa_ : a);
  const ProgramResult r = Run(args);
  EXPECT_EQ(r.ExitStatus, GetParam().ExitStatus) << r.Err;
  EXPECT_EQ(r.Err.substr(0, GetParam().Err.size()), GetParam().Err);
}

const FailureCase kFailures[] = {
    {"NoSuchChannel", {"XA", "4"}, 1, "no such channel\n"},
    {"MissingChannel", {"XA"}, 2, "sorvane-cli: expected FILE CH"},
    {"UnknownOption", {"XA", "3", "--loud"}, 2, "sorvane-cli: "},
    {"MissingFile", {"/nonexistent/in.xa", "3"}, 1, std::string(text::kCannotOpenFile) + "\n"},
    {"FromBeforeTheChannel",
     {"XA", "3", "--from", "1"},
     1,
     std::string(text::kPositionOutsideChannel) + "\n"},
    {"FromPastTheEnd",
     {"XA", "3", "--from", "19"},
     1,
     std::string(text::kPositionOutsideChannel) + "\n"},
    {"SecondsOf60",
     {"XA", "3", "--from", "0:60.00"},
     1,
     std::string(text::kPositionUnreadable) + "\n"},
    {"SectorsOf75",
     {"XA", "3", "--from", "0:00.75"},
     1,
     std::string(text::kPositionUnreadable) + "\n"},
    {"LetterInSectorUnits",
     {"XA", "3", "--from", "A", "--units", "sectors"},
     1,
     std::string(text::kPositionUnreadable) + "\n"},
    {"UnknownUnits", {"XA", "3", "--from", "5", "--units", "feet"}, 2, "sorvane-cli: --units"},
};

INSTANTIATE_TEST_SUITE_P(Cli, CliPlayFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
