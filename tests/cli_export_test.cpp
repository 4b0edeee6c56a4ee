// sorvane-cli `export`, in-process; a real process where Ctrl-C is pressed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
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
};

INSTANTIATE_TEST_SUITE_P(Cli, CliExportFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
