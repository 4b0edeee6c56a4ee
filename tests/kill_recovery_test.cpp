// sorvane-cli killed with SIGKILL at random moments of long imports, appends, deletes and
// settings changes: whenever it died, `undo` must give back the file's original bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFileSectors = 12000;
constexpr int kChannelSectors = 2000;  // 37.8k stereo, one sector in four

struct LongEdit {
  const char* Name;
  std::vector<std::string> Args;  // XA and WAV stand for the files' paths
};

class KilledEdit : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new testing::TempDir;
    // Channel 1 over the first 8000 sectors, channel 2 from 8001 on; room for an append.
    testing::XaBuilder(kFileSectors)
        .Channel(1, true, true, 0, 4, kChannelSectors)
        .Channel(2, true, true, 8001, 4, 500)
        .Write(dir->File("original.xa"));
    const int frames = kChannelSectors * 2016;
    testing::WavBuilder(2, 37800, 16)
        .Samples16(testing::Frames16(
            frames, 2, [](int i, int c) { return (i * 37 + c * 911) % 20000 - 10000; }))
        .Write(dir->File("long.wav"));
  }
  static void TearDownTestSuite() { delete dir; }

  std::vector<std::string> Argv(const LongEdit& edit) const {
    std::vector<std::string> argv{SORVANE_CLI};
    for (const std::string& word : edit.Args)
      argv.push_back(word == "XA" ? xa : word == "WAV" ? dir->File("long.wav") : word);
    return argv;
  }
  void Fresh() {
    std::filesystem::copy_file(dir->File("original.xa"), xa,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(journal);
  }

  static testing::TempDir* dir;
  std::string xa = dir->File("edited.xa");
  std::string journal = dir->File("undo");
};

testing::TempDir* KilledEdit::dir = nullptr;

const LongEdit kEdits[] = {
    {"Import", {"import", "XA", "1", "WAV", "--yes"}},
    {"Append",
     {"append", "XA", "WAV", "--channel", "3", "--quality", "37.8s", "--start", "0.00", "--slot",
      "1", "--yes"}},
    {"Delete", {"delete", "XA", "1", "--yes"}},
    {"Settings",
     {"settings", "XA", "--channel-gap", "0.00", "--end-gap", "600.00", "--resize", "allow"}},
};

TEST_F(KilledEdit, UndoAlwaysGivesBackTheOriginal) {
  ::setenv("SORVANE_UNDO_DIR", journal.c_str(), 1);
  const std::string original = testing::ReadFileBytes(dir->File("original.xa"));
  std::mt19937 random(20261209);
  int kills = 0;
  for (const LongEdit& edit : kEdits) {
    // How long the edit takes when left alone; the kills fall anywhere in it.
    Fresh();
    const auto start = Clock::now();
    ASSERT_FALSE(testing::RunKilledAfter(Argv(edit), std::chrono::seconds(60))) << edit.Name;
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    ASSERT_NE(testing::ReadFileBytes(xa), original) << edit.Name << " changed nothing";
    // Thirteen kills of each edit; a run that ends before its kill counts too, but not as one.
    std::uniform_int_distribution<long long> moment(0, took.count());
    int killed = 0;
    for (int round = 0; round < 40 && killed < 13; ++round) {
      Fresh();
      const std::chrono::microseconds delay(moment(random));
      if (testing::RunKilledAfter(Argv(edit), delay)) ++killed;
      const testing::ProgramResult undo = testing::RunProgram({SORVANE_CLI, "undo", xa});
      EXPECT_TRUE(undo.ExitStatus == 0 || undo.Err == std::string(text::kNothingToUndo) + "\n")
          << edit.Name << " killed after " << delay.count() << " us: " << undo.Err;
      EXPECT_TRUE(testing::ReadFileBytes(xa) == original)
          << edit.Name << " killed after " << delay.count() << " us";
    }
    std::printf("%s: %lld us undisturbed, %d kills\n", edit.Name,
                static_cast<long long>(took.count()), killed);
    kills += killed;
  }
  std::printf("%d kills\n", kills);
  EXPECT_GE(kills, 50);
}

}  // namespace
}  // namespace sorvane
