// sorvane-cli `export`, in-process; a real process where Ctrl-C is pressed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::FileLength;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunProgram;
using testing::XaBuilder;

class CliExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Channel 1: 37.8 kHz stereo, 10 sectors from 0; channel 2: 18.9 kHz mono, found only
    // by the whole-file scan because it starts after the first 64 sectors.
    XaBuilder(200, testing::Layout::Raw2352)
        .Channel(1, true, true, 0, 4, 10)
        .Channel(2, false, false, 70, 16, 3)
        .Write(xa_);
  }

  ProgramResult Run(std::vector<std::string> args, const testing::RunOptions& options = {}) {
    args.insert(args.begin(), "export");
    if (!options.InterruptPending) return testing::RunInProcess(args);
    args.insert(args.begin(), SORVANE_CLI);
    return RunProgram(args, options);
  }

  testing::TempDir dir_;
  std::string xa_ = dir_.File("in.xa");
  std::string wav_ = dir_.File("out.wav");
};

TEST_F(CliExportTest, WritesTheChannelAsWav) {
  const ProgramResult r = Run({xa_, "1", wav_, "--quick"});
  EXPECT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  const std::string wav = ReadFileBytes(wav_);
  ASSERT_EQ(wav.size(), 44u + 9408 * 10);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav[22], 2);  // stereo
}

TEST_F(CliExportTest, TheWholeFileScanFindsLaterChannels) {
  const ProgramResult r = Run({xa_, "2", wav_});
  EXPECT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(FileLength(wav_), 44 + 9408 * 3);
}

TEST_F(CliExportTest, OverwritesAnExistingFile) {
  testing::WriteFileBytes(wav_, std::string(500000, 'x'));
  EXPECT_EQ(Run({xa_, "1", wav_, "--quick"}).ExitStatus, 0);
  EXPECT_EQ(FileLength(wav_), 44 + 9408 * 10);
}

TEST_F(CliExportTest, CtrlCStopsWithTheCancelMessageAndAValidFile) {
  testing::RunOptions options;
  options.InterruptPending = true;
  const ProgramResult r = Run({xa_, "1", wav_, "--quick"}, options);
  EXPECT_EQ(r.ExitStatus, 3);
  EXPECT_EQ(r.Err, std::string(text::kCancelled) + "\n");
  const std::string wav = ReadFileBytes(wav_);
  ASSERT_EQ(wav.size(), 44u);
  EXPECT_EQ(static_cast<unsigned char>(wav[4]), 36);
}

// A part of a channel: the positions in the file given, and the sectors they name.
struct PartCase {
  const char* Name;
  bool HighRate;
  bool Stereo;
  int First;
  int Interleave;
  std::vector<std::string> Options;
  int FromSector;  // -1: the channel's first frame
  int ToSector;    // -1: the channel's end
};

class CliExportPart : public ::testing::TestWithParam<PartCase> {
 protected:
  testing::TempDir dir_;
};

// The 44-byte header of a whole export with its two lengths made those of `dataBytes`.
std::string HeaderFor(std::string header, std::size_t dataBytes) {
  const auto put = [&](int at, std::size_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  };
  put(4, dataBytes + 36);
  put(40, dataBytes);
  return header;
}

TEST_P(CliExportPart, WritesTheSliceOfTheWholeExportByteForByte) {
  const PartCase& c = GetParam();
  const int count = 12;
  const ChannelRecord record =
      testing::SoundRecord(5, c.HighRate, c.Stereo, c.First, c.Interleave, count);
  const std::string xa = dir_.File("in.xa");
  testing::SoundChannelFile(c.First + c.Interleave * count + 3, record).Write(xa);
  const std::string wholePath = dir_.File("whole.wav");
  const std::string partPath = dir_.File("part.wav");
  ASSERT_EQ(testing::RunInProcess({"export", xa, "5", wholePath}).ExitStatus, 0);
  std::vector<std::string> args = {"export", xa, "5", partPath};
  args.insert(args.end(), c.Options.begin(), c.Options.end());
  const ProgramResult r = testing::RunInProcess(args);
  ASSERT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  const std::string whole = ReadFileBytes(wholePath);
  const std::size_t frameBytes = c.Stereo ? 4 : 2;
  const auto byteOf = [&](int sector, int fallback) -> std::size_t {
    if (sector < 0) return fallback;
    return (sector - c.First) * (9408 / frameBytes) / c.Interleave * frameBytes;
  };
  const std::size_t from = byteOf(c.FromSector, 0);
  const std::size_t to = byteOf(c.ToSector, 9408 * count);
  ASSERT_LT(from, to);
  EXPECT_TRUE(ReadFileBytes(partPath) ==
              HeaderFor(whole.substr(0, 44), to - from) + whole.substr(44 + from, to - from));
}

const PartCase kParts[] = {
    {"TimeStereo378", true, true, 2, 4, {"--from", "0:00.10", "--to", "  0:00.43"}, 10, 43},
    {"SectorsStereo378MidSector", true, true, 2, 4, {"--from", "3", "--to", "49"}, 3, 49},
    {"HexMono378", true, false, 3, 8, {"--from", "1C", "--to", "5b"}, 28, 91},
    {"HexByUnitsMono189",
     false,
     false,
     5,
     16,
     {"--from", "20", "--to", "A5", "--units", "hex"},
     32,
     165},
    {"RoundedStartInTimeStereo189",
     false,
     true,
     3,
     8,
     {"--from", "0:00.00", "--to", "0:00.50"},
     -1,
     50},
    {"FromAloneMono189", false, false, 1, 16, {"--from", "0:01.05"}, 80, -1},
    {"ToAloneStereo189", false, true, 0, 8, {"--to", "61"}, -1, 61},
    {"UpToTheEnd", true, true, 2, 4, {"--from", "7", "--to", "50"}, 7, -1},
};

INSTANTIATE_TEST_SUITE_P(Cli, CliExportPart, ::testing::ValuesIn(kParts),
                         [](const auto& info) { return std::string(info.param.Name); });

struct FailureCase {
  const char* Name;
  std::vector<std::string> Args;  // "XA", "WAV" and "DIR" stand for the test's paths
  int ExitStatus;
  std::string Err;  // the start of standard error
};

class CliExportFailure : public CliExportTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliExportFailure, ExitsWithItsStatusAndMessage) {
  std::vector<std::string> args;
  for (const std::string& a : GetParam().Args) {
    if (a.rfind("DIR", 0) == 0)
      args.push_back(dir_.Path() + a.substr(3));
    else
      args.push_back(a == "XA" ? xa_ : a == "WAV" ? wav_ : a);
  }
  // Other names of the XA file: the guard must know it by what it is, not by its path.
  ASSERT_EQ(::symlink(xa_.c_str(), (dir_.Path() + "/link.xa").c_str()), 0);
  ASSERT_EQ(::link(xa_.c_str(), (dir_.Path() + "/hard.xa").c_str()), 0);
  const std::string before = ReadFileBytes(xa_);
  const ProgramResult r = Run(args);
  EXPECT_EQ(r.ExitStatus, GetParam().ExitStatus) << r.Err;
  EXPECT_EQ(r.Err.substr(0, GetParam().Err.size()), GetParam().Err);
  EXPECT_TRUE(ReadFileBytes(xa_) == before);
}

const FailureCase kFailures[] = {
    {"NoSuchChannel", {"XA", "3", "WAV"}, 1, "no such channel\n"},
    {"LateChannelWithQuick", {"XA", "2", "WAV", "--quick"}, 1, "no such channel\n"},
    {"ChannelOutOfRange", {"XA", "256", "WAV"}, 2, "sorvane-cli: "},
    {"MissingOutput", {"XA", "1"}, 2, "sorvane-cli: expected FILE CH OUT.wav"},
    {"UnknownOption", {"XA", "1", "WAV", "--fast"}, 2, "sorvane-cli: "},
    {"MissingXaFile", {"DIR/none.xa", "1", "WAV"}, 1, std::string(text::kCannotOpenFile) + "\n"},
    {"CannotCreateWav", {"XA", "1", "DIR/no/out.wav"}, 1, std::string(text::kWavCannotOpen) + "\n"},
    {"OutputIsTheXaFile", {"XA", "1", "XA"}, 1, std::string(text::kExportOntoOpenFile) + "\n"},
    {"OutputIsALinkToTheXaFile",
     {"XA", "1", "DIR/link.xa"},
     1,
     std::string(text::kExportOntoOpenFile) + "\n"},
    {"OutputIsAHardLinkOfTheXaFile",
     {"XA", "1", "DIR/hard.xa"},
     1,
     std::string(text::kExportOntoOpenFile) + "\n"},
    {"XaFileThroughALinkOntoItself",
     {"DIR/link.xa", "1", "XA"},
     1,
     std::string(text::kExportOntoOpenFile) + "\n"},
    {"TimeTextInSectorUnits",
     {"XA", "1", "WAV", "--quick", "--from", "0:00.00", "--to", "0:00.05", "--units", "sectors"},
     1,
     std::string(text::kPositionUnreadable) + "\n"},
    {"ToPastTheEnd",
     {"XA", "1", "WAV", "--quick", "--to", "41"},
     1,
     std::string(text::kPositionOutsideChannel) + "\n"},
    {"FromPastTheEnd",
     {"XA", "2", "WAV", "--from", "119"},
     1,
     std::string(text::kPositionOutsideChannel) + "\n"},
    {"BeforeTheLateChannel",
     {"XA", "2", "WAV", "--from", "69"},
     1,
     std::string(text::kPositionOutsideChannel) + "\n"},
    {"Reversed",
     {"XA", "1", "WAV", "--quick", "--from", "20", "--to", "10"},
     1,
     std::string(text::kPartReversed) + "\n"},
    {"UnknownUnits",
     {"XA", "1", "WAV", "--from", "1", "--units", "bars"},
     2,
     "sorvane-cli: --units"},
};

INSTANTIATE_TEST_SUITE_P(Cli, CliExportFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
