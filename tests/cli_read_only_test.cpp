// sorvane-cli on a file that may be read but not written: the reading commands work, every
// command that would change it is refused with its message before anything is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ProgramResult;
using testing::ReadFileBytes;

struct ReadOnlyCase {
  const char* Name;
  std::vector<std::string> Words;  // XA, WAV and OUT stand for the paths
  int ExitStatus;
  const char* Err;  // what standard error starts with; nullptr: anything
};

const ReadOnlyCase kCases[] = {
    {"List", {"list", "XA"}, 0, nullptr},
    {"Export", {"export", "XA", "1", "OUT"}, 0, nullptr},
    {"SettingsShown", {"settings", "XA"}, 0, nullptr},
    {"Import", {"import", "XA", "1", "WAV", "--yes"}, 1, text::kReadOnlyFile},
    {"Append", {"append", "XA", "WAV", "--yes"}, 1, text::kReadOnlyFile},
    {"Delete", {"delete", "XA", "1", "--yes"}, 1, text::kReadOnlyFile},
    {"SettingsChanged",
     {"settings", "XA", "--channel-gap", "0.00", "--end-gap", "0.10", "--yes"},
     1,
     text::kReadOnlyFile},
};

// Marks the file immutable: even the superuser may then only read it, as from a read-only
// disc. False where the file system or the process's rights do not allow it.
bool MakeImmutable(const std::string& path, bool on) {
  const std::string command =
      std::string("chattr ") + (on ? "+i '" : "-i '") + path + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

class CliReadOnlyFile : public ::testing::TestWithParam<ReadOnlyCase> {
 protected:
  void SetUp() override {
    testing::XaBuilder(100).Channel(1, false, true, 0, 8, 10).Write(xa);
    testing::WavBuilder(2, 18900, 16)
        .Samples16(testing::Frames16(4 * 2016, 2, [](int i, int) { return i % 2000 - 1000; }))
        .Write(wav);
    before = ReadFileBytes(xa);
    if (!MakeReadOnly()) GTEST_SKIP() << "the file cannot be made read-only here";
  }
  virtual bool MakeReadOnly() { return MakeImmutable(xa, true); }
  void TearDown() override { MakeImmutable(xa, false); }
  // The case's command: its exit status and message, and the file unchanged.
  void RunCase() {
    std::vector<std::string> words;
    for (const std::string& w : GetParam().Words)
      words.push_back(w == "XA" ? xa : w == "WAV" ? wav : w == "OUT" ? out : w);
    const ProgramResult r = testing::RunInProcess(words);
    EXPECT_EQ(r.ExitStatus, GetParam().ExitStatus) << r.Err;
    if (GetParam().Err != nullptr) EXPECT_EQ(r.Err, std::string(GetParam().Err) + "\n");
    EXPECT_TRUE(ReadFileBytes(xa) == before);
  }

  testing::TempDir dir;
  std::string xa = dir.File("disc.xa");
  std::string wav = dir.File("in.wav");
  std::string out = dir.File("out.wav");
  std::string before;
};

// A file whose mode has no write bit: read-only also for the superuser, as text editors take
// it.
class CliNoWriteBit : public CliReadOnlyFile {
 protected:
  bool MakeReadOnly() override { return ::chmod(xa.c_str(), 0444) == 0; }
};

TEST_P(CliNoWriteBit, ReadsWorkAndChangesAreRefusedBeforeAnyWrite) { RunCase(); }

INSTANTIATE_TEST_SUITE_P(Commands, CliNoWriteBit, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_P(CliReadOnlyFile, ReadsWorkAndChangesAreRefusedBeforeAnyWrite) { RunCase(); }

INSTANTIATE_TEST_SUITE_P(Commands, CliReadOnlyFile, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CliReadOnlyFile, ExportsWhatTheSameFileWritableExports) {
  const std::string copy = dir.File("copy.xa");
  const std::string copyOut = dir.File("copy.wav");
  testing::WriteFileBytes(copy, before);
  ASSERT_EQ(testing::RunInProcess({"export", xa, "1", out}).ExitStatus, 0);
  ASSERT_EQ(testing::RunInProcess({"export", copy, "1", copyOut}).ExitStatus, 0);
  EXPECT_GT(testing::FileLength(out), 44);
  EXPECT_TRUE(ReadFileBytes(out) == ReadFileBytes(copyOut));
}

}  // namespace
}  // namespace sorvane
