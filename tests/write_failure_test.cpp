// Each edit command, run by sorvane-cli, with each of its writes, truncations and syncs (of
// the file and of its undo journal) failing in turn: the failure must be reported (exit 1
// and the message), the file must open again, every sector of the channels and data the
// command does not edit must keep its bytes, and undo must give back the original bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/fixed_texts.h"
#include "support/edit_sample.h"
#include "support/failing_file_io.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::FailingFileIo;
using testing::Layout;
using testing::PrintTo;
using testing::TempDir;
using testing::XaBuilder;

using testing::BuildEditSample;
using testing::BuildSampleWav;
using testing::ChannelSectors;
using testing::DataSectors;

struct EditCase {
  const char* Name;
  const char* Args;                 // after the file's path; WAV stands for the WAV's path
  int WavSectors;                   // 0: the command reads no WAV
  std::vector<int> EditedChannels;  // whose sectors the command may change
  const char* Message;              // what a failure says
  bool Edits = true;                // journalled, so that undo takes it back
};

const EditCase kCases[] = {
    {"ImportGrowingTheFile", "import XA 3 WAV --fit wav --yes", 12, {3}, text::kWriteError},
    {"ImportShrinkingTheFile", "import XA 3 WAV --fit wav --yes", 2, {3}, text::kWriteError},
    {"ImportInPlace", "import XA 1 WAV --yes", 10, {1}, text::kWriteError},
    {"AppendPastTheEnd", "append XA WAV --start 2.50 --slot 0 --yes", 3, {}, text::kWriteError},
    {"AppendInsideTheFile", "append XA WAV --start 0.00 --slot 4 --yes", 5, {}, text::kWriteError},
    {"DeleteTheLastChannel", "delete XA 3 --yes", 0, {3}, text::kWriteError},
    {"DeleteTheFirstChannel", "delete XA 1 --yes", 0, {1}, text::kWriteError},
    {"SettingsGrowing", "settings XA --end-gap 0.60 --resize allow", 0, {}, text::kWriteError},
    {"SettingsShrinking",
     "settings XA --channel-gap 0.00 --end-gap 0.02 --resize allow",
     0,
     {},
     text::kWriteError},
    {"Export", "export XA 1 OUT", 0, {1, 2, 3}, text::kWavWriteFailed, false},
};

class WriteFailure : public ::testing::TestWithParam<std::tuple<EditCase, Layout, bool>> {
 protected:
  const EditCase& Case() const { return std::get<0>(GetParam()); }
  Layout FileLayout() const { return std::get<1>(GetParam()); }

  std::vector<std::string> Words() const {
    std::vector<std::string> words;
    const std::string args = Case().Args;
    for (std::size_t at = 0; at < args.size();) {
      const std::size_t end = std::min(args.find(' ', at), args.size());
      const std::string word = args.substr(at, end - at);
      words.push_back(word == "XA" ? xa : word == "WAV" ? wav : word == "OUT" ? out : word);
      at = end + 1;
    }
    return words;
  }
  // A fresh copy of the test file and the WAV, then the command through `files`.
  // Each run starts with an empty undo journal of its own, as a new file would.
  testing::ProgramResult RunWith(FailingFileIo& files) {
    const std::string journal = dir.File("undo" + std::to_string(++runs));
    ::setenv("SORVANE_UNDO_DIR", journal.c_str(), 1);
    BuildEditSample(FileLayout(), xa);
    if (Case().WavSectors > 0) BuildSampleWav(Case().WavSectors, wav);
    return testing::RunInProcess(Words(), files);
  }
  // The sectors the command must leave alone, each with the raw layouts' sync and header.
  void ExpectUntouchedSectors(const std::string& before, const std::string& after,
                              int failing) const {
    std::vector<int> kept = DataSectors();
    for (int channel : {1, 2, 3}) {
      const std::vector<int>& edited = Case().EditedChannels;
      if (std::find(edited.begin(), edited.end(), channel) != edited.end()) continue;
      for (int index : ChannelSectors(channel)) kept.push_back(index);
    }
    const int prefix = FileLayout() == Layout::Plain2336 ? 0 : 16;
    for (int index : kept) {
      const std::size_t at = std::size_t(testing::SubheaderOffset(FileLayout(), index) - prefix);
      ASSERT_LE(at + prefix + 2336, after.size()) << "call " << failing << ", sector " << index;
      EXPECT_EQ(after.compare(at, prefix + 2336, before, at, prefix + 2336), 0)
          << "call " << failing << " changed sector " << index;
    }
  }

  // Undo after the failure: the original bytes, or nothing to undo when the failure came
  // before the first write.
  void ExpectUndoGivesBack(const std::string& before, int failing) const {
    const testing::ProgramResult undo = testing::RunInProcess({"undo", xa});
    if (undo.ExitStatus != 0) {
      EXPECT_EQ(undo.Err, std::string(text::kNothingToUndo) + "\n") << "call " << failing;
    }
    EXPECT_TRUE(testing::ReadFileBytes(xa) == before) << "undo after call " << failing;
  }

  void TearDown() override { ::setenv("SORVANE_UNDO_DIR", kept.c_str(), 1); }

  TempDir dir;
  int runs = 0;
  const std::string kept = std::getenv("SORVANE_UNDO_DIR") ? std::getenv("SORVANE_UNDO_DIR") : "";
  std::string xa = dir.File("f.xa");
  std::string wav = dir.File("in.wav");
  std::string out = dir.File("out.wav");
};

TEST_P(WriteFailure, EveryFailedCallIsReportedAndLeavesTheOtherSectorsAlone) {
  FailingFileIo counting;
  const testing::ProgramResult clean = RunWith(counting);
  ASSERT_EQ(clean.ExitStatus, 0) << clean.Err;
  ASSERT_GT(counting.Calls, 0);
  BuildEditSample(FileLayout(), xa);
  const std::string before = testing::ReadFileBytes(xa);
  for (int n = 1; n <= counting.Calls; ++n) {
    FailingFileIo failing;
    failing.FailAt = n;
    failing.StaysFailing = std::get<2>(GetParam());
    const testing::ProgramResult result = RunWith(failing);
    EXPECT_EQ(result.ExitStatus, 1) << "call " << n << " of " << counting.Calls;
    const bool refused = Case().Edits && result.Err.find(text::kJournalFailed) != std::string::npos;
    const bool stopped =
        Case().Edits && result.Err.find(text::kJournalStopped) != std::string::npos;
    EXPECT_TRUE(result.Err.find(Case().Message) != std::string::npos || refused || stopped)
        << "call " << n << ": " << result.Err;
    const std::string after = testing::ReadFileBytes(xa);
    // The journal's message says whether the file had changed when it failed.
    if (refused) {
      EXPECT_TRUE(after == before) << "call " << n << " refused, yet changed the file";
      EXPECT_EQ(testing::RunInProcess({"undo", xa, "--list"}).Out, "") << "call " << n;
    }
    if (stopped) EXPECT_FALSE(after == before) << "call " << n << " stopped, yet changed nothing";
    const testing::ProgramResult list = testing::RunInProcess({"list", xa});
    EXPECT_EQ(list.ExitStatus, 0) << "call " << n << ": " << list.Err;
    ExpectUntouchedSectors(before, after, n);
    if (Case().Edits) ExpectUndoGivesBack(before, n);
    if (::testing::Test::HasFailure()) return;  // one call's report is enough to go on
  }
}

std::string CaseName(const ::testing::TestParamInfo<WriteFailure::ParamType>& info) {
  const char* layouts[] = {"Plain", "Raw", "Riff"};
  return std::string(std::get<0>(info.param).Name) + layouts[int(std::get<1>(info.param))] +
         (std::get<2>(info.param) ? "DiskStaysFull" : "OneCallFails");
}

INSTANTIATE_TEST_SUITE_P(Commands, WriteFailure,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(Layout::Plain2336, Layout::Raw2352,
                                                              Layout::Riff2352),
                                            ::testing::Bool()),
                         CaseName);

}  // namespace
}  // namespace sorvane
