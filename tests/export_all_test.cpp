// export-all over built folders: every WAV byte for byte what `export` writes for its channel
// alone, the files that fail reported and skipped, name clashes refused before any write, and
// no partial WAV under a final name after a cancel or a failed write or rename.
#include "edit/export_all.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/failing_file_io.h"
#include "support/in_process_cli.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunInProcess;
using testing::XaBuilder;

// One channel of each of the four qualities, with channel numbers from `first` on, over
// noise, so that a decoder state carried from one channel to the next would show.
void WriteFourQualities(const std::string& path, int first, unsigned seed) {
  XaBuilder(400, testing::Layout::Raw2352)
      .Noise(seed)
      .Channel(first, true, true, 0, 4, 60)
      .Channel(first + 1, true, false, 1, 8, 30)
      .Channel(first + 2, false, true, 2, 8, 30)
      .Channel(first + 3, false, false, 3, 16, 15)
      .Write(path);
}

// Regular files below `folder`, as paths relative to it.
std::set<std::string> FilesBelow(const std::string& folder) {
  std::set<std::string> found;
  if (!fs::exists(folder)) return found;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) found.insert(e.path().lexically_relative(folder).string());
  return found;
}

// What `sorvane-cli export XA CH` writes, or "" when it fails.
std::string ExportAlone(const testing::TempDir& dir, const std::string& xa, int channel) {
  const std::string wav = dir.File("alone.wav");
  const ProgramResult r = RunInProcess({"export", xa, std::to_string(channel), wav});
  return r.ExitStatus == 0 ? ReadFileBytes(wav) : "";
}

// A folder with nested folders, an upper-case extension, a file that is not an XA file and
// one whose whole-file scan fails, and a file named on its own outside it.
class ExportAllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(in_ + "/sub/deeper");
    fs::create_directories(dir_.File("other"));
    WriteFourQualities(in_ + "/a.xa", 0, 1);
    WriteFourQualities(in_ + "/sub/b.XA", 4, 2);
    WriteFourQualities(in_ + "/sub/deeper/c.xa", 8, 3);
    WriteFourQualities(dir_.File("other/d.xa"), 12, 4);
    testing::WriteFileBytes(in_ + "/notes.txt", "not exported");
    testing::WriteFileBytes(in_ + "/broken.xa", "no sectors at all");
    // Channel 2 lies past the first 64 sectors, one sector in 5: no interleave of its quality.
    XaBuilder(200)
        .Channel(1, true, false, 0, 8, 5)
        .Channel(2, true, false, 100, 5, 10)
        .Write(in_ + "/sub/bad_scan.xa");
  }

  // Every WAV that the run's entries name is the one `export` writes, and nothing else is
  // in the output folder.
  void ExpectWavsAsExportWritesThem(const std::vector<FileExport>& files) {
    std::set<std::string> named;
    for (const FileExport& file : files) {
      for (const ChannelWav& wav : file.Channels) {
        named.insert(fs::path(wav.Wav).lexically_relative(out_).string());
        const std::string bytes = ReadFileBytes(wav.Wav);
        EXPECT_EQ(wav.Bytes, static_cast<std::int64_t>(bytes.size())) << wav.Wav;
        EXPECT_TRUE(bytes == ExportAlone(dir_, file.File, wav.Channel)) << wav.Wav;
      }
    }
    EXPECT_EQ(FilesBelow(out_), named);
  }

  testing::TempDir dir_;
  std::string in_ = dir_.File("in");
  std::string out_ = dir_.File("out");
};

class ExportAllJobs : public ExportAllTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExportAllJobs, WritesEveryChannelAsExportDoesAndReportsTheFailures) {
  const ExportPlan plan = PlanExportAll({in_, dir_.File("other/d.xa")}, out_);
  ASSERT_EQ(plan.Clash, "");
  ExportAllOptions options;
  options.Jobs = GetParam();
  SilentProgress progress;
  const std::vector<FileExport> files = ExportAll(plan.Sources, options, progress);

  std::vector<std::pair<std::string, std::string>> outcomes;
  for (const FileExport& file : files)
    outcomes.emplace_back(fs::path(file.File).lexically_relative(dir_.Path()).string(), file.Error);
  const std::string cannotOpen = RunInProcess({"list", in_ + "/broken.xa"}).Err;
  ASSERT_FALSE(cannotOpen.empty());
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"in/a.xa", ""},
      {"in/broken.xa", cannotOpen.substr(0, cannotOpen.size() - 1)},
      {"in/sub/b.XA", ""},
      {"in/sub/bad_scan.xa", text::kInconsistentRate},
      {"in/sub/deeper/c.xa", ""},
      {"other/d.xa", ""},
  };
  EXPECT_EQ(outcomes, expected);
  // The named folder's own name is not a level; the folders below it are.
  const std::set<std::string> wavs = {"a_ch000.wav",
                                      "a_ch001.wav",
                                      "a_ch002.wav",
                                      "a_ch003.wav",
                                      "sub/b_ch004.wav",
                                      "sub/b_ch005.wav",
                                      "sub/b_ch006.wav",
                                      "sub/b_ch007.wav",
                                      "sub/deeper/c_ch008.wav",
                                      "sub/deeper/c_ch009.wav",
                                      "sub/deeper/c_ch010.wav",
                                      "sub/deeper/c_ch011.wav",
                                      "d_ch012.wav",
                                      "d_ch013.wav",
                                      "d_ch014.wav",
                                      "d_ch015.wav"};
  EXPECT_EQ(FilesBelow(out_), wavs);
  ExpectWavsAsExportWritesThem(files);
}

INSTANTIATE_TEST_SUITE_P(ExportAll, ExportAllJobs, ::testing::Values(1, 2));

// Two sources that would write the same names: refused with both paths, nothing written.
struct ClashCase {
  const char* Name;
  std::vector<std::string> Files;  // made below the test's folder
  std::vector<std::string> Named;  // the paths given
};

const ClashCase kClashes[] = {
    {"SameNameInTwoFolders", {"x/song.xa", "y/song.xa"}, {"x/song.xa", "y/song.xa"}},
    {"ExtensionsDifferingInCase", {"x/song.xa", "x/song.XA"}, {"x"}},
    {"AFileNamedBesideItsFolder", {"x/song.xa"}, {"x", "x/song.xa"}},
    {"AFolderAndAFileBelowAnother", {"x/song.xa", "y/z/song.xa"}, {"x/song.xa", "y/z"}},
};

class ExportAllClash : public ::testing::TestWithParam<ClashCase> {};

TEST_P(ExportAllClash, IsRefusedBeforeAnythingIsWritten) {
  testing::TempDir dir;
  std::vector<std::string> named;
  for (const std::string& file : GetParam().Files) {
    fs::create_directories(fs::path(dir.File(file)).parent_path());
    WriteFourQualities(dir.File(file), 0, 1);
  }
  for (const std::string& path : GetParam().Named) named.push_back(dir.File(path));
  std::vector<std::string> args = {"export-all"};
  args.insert(args.end(), named.begin(), named.end());
  args.insert(args.end(), {"--out", dir.File("out")});
  const ProgramResult r = RunInProcess(args);
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err.rfind(std::string(text::kExportNameClash) + "\n", 0), 0u) << r.Err;
  EXPECT_EQ(r.Out, "");
  EXPECT_FALSE(fs::exists(dir.File("out")));
}

INSTANTIATE_TEST_SUITE_P(ExportAll, ExportAllClash, ::testing::ValuesIn(kClashes),
                         [](const auto& info) { return std::string(info.param.Name); });

// Lets the first WAV reach its final name, then cancels the run and holds the export until
// the cancel has been passed on, so that the next poll of every file sees it.
class CancelAfterFirstWav : public FileIo, public ProgressMonitor {
 public:
  int Rename(const char* from, const char* to) override {
    const int result = FileIo::Rename(from, to);
    std::unique_lock<std::mutex> hold(lock_);
    if (!cancelling_) {
      cancelling_ = true;
      // Two polls: the run sets its cancel right after the first one answers.
      seen_.wait(hold, [&] { return polls_ >= 2; });
    }
    return result;
  }
  bool PollCancel() override {
    const std::lock_guard<std::mutex> hold(lock_);
    if (cancelling_) ++polls_;
    seen_.notify_all();
    return cancelling_;
  }
  void Start() override {}
  void SetPosition(int) override {}
  void Finish() override {}
  void Notify(const char*) override {}

 private:
  std::mutex lock_;
  std::condition_variable seen_;
  bool cancelling_ = false;
  int polls_ = 0;
};

TEST_P(ExportAllJobs, ACancelLeavesOnlyWholeWavsUnderFinalNames) {
  const ExportPlan plan = PlanExportAll({in_}, out_);
  CancelAfterFirstWav cancel;
  ExportAllOptions options;
  options.Jobs = GetParam();
  options.Io = &cancel;
  const std::vector<FileExport> files = ExportAll(plan.Sources, options, cancel);
  int cancelled = 0;
  for (const FileExport& file : files) {
    if (file.Result != Outcome::Cancelled) continue;
    ++cancelled;
    EXPECT_EQ(file.Error, text::kCancelled);
  }
  EXPECT_GE(cancelled, 1);
  // The WAV whose rename brought the cancel is whole; the run stopped well before its 12.
  EXPECT_GE(FilesBelow(out_).size(), 1u);
  EXPECT_LT(FilesBelow(out_).size(), 12u);
  ExpectWavsAsExportWritesThem(files);
}

// Each write of a file's exports failing in turn (the headers and the blocks of each of its
// four channels), until a run has no write left to fail: the file fails with the WAV message,
// the channels before the failing one are whole, and nothing of it or after it is left.
TEST_F(ExportAllTest, EachWriteFailingInTurnLeavesTheChannelsBeforeWholeAndNothingElse) {
  const ExportPlan plan = PlanExportAll({in_ + "/a.xa"}, out_);
  std::set<std::size_t> wholeCounts;
  for (int failAt = 1;; ++failAt) {
    SCOPED_TRACE(failAt);
    fs::remove_all(out_);
    testing::FailingFileIo failing;
    failing.FailAt = failAt;
    ExportAllOptions options;
    options.Io = &failing;
    SilentProgress progress;
    const std::vector<FileExport> files = ExportAll(plan.Sources, options, progress);
    ASSERT_EQ(files.size(), 1u);
    if (failing.Calls < failAt) {
      EXPECT_EQ(files[0].Result, Outcome::Done);
      EXPECT_EQ(files[0].Channels.size(), 4u);
      break;
    }
    EXPECT_EQ(files[0].Result, Outcome::Failed);
    EXPECT_EQ(files[0].Error, text::kWavWriteFailed);
    // Whole channels come in table order, and a later failure never leaves fewer.
    for (std::size_t i = 0; i < files[0].Channels.size(); ++i)
      EXPECT_EQ(files[0].Channels[i].Channel, static_cast<int>(i));
    if (!wholeCounts.empty()) {
      EXPECT_GE(files[0].Channels.size(), *wholeCounts.rbegin());
    }
    wholeCounts.insert(files[0].Channels.size());
    ExpectWavsAsExportWritesThem(files);
  }
  EXPECT_EQ(wholeCounts, (std::set<std::size_t>{0, 1, 2, 3}));
}

// A failed write or rename fails that file with the WAV message and leaves neither the
// temporary nor the final WAV; the other files go on.
class FailingRename : public FileIo {
 public:
  int Rename(const char*, const char*) override {
    errno = EXDEV;
    return -1;
  }
};

TEST_F(ExportAllTest, AFailedWriteFailsOnlyItsFileAndLeavesNoPartialWav) {
  testing::FailingFileIo failing;
  failing.FailAt = 2;  // the first block write after the first WAV's header
  const ProgramResult r = RunInProcess(
      {"export-all", in_ + "/a.xa", in_ + "/sub/deeper/c.xa", "--out", out_, "--jobs", "1"},
      failing);
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, in_ + "/a.xa: " + text::kWavWriteFailed + "\n");
  EXPECT_EQ(FilesBelow(out_),
            (std::set<std::string>{"c_ch008.wav", "c_ch009.wav", "c_ch010.wav", "c_ch011.wav"}));
}

TEST_F(ExportAllTest, AFailedRenameLeavesNeitherName) {
  FailingRename failing;
  const ProgramResult r =
      RunInProcess({"export-all", in_ + "/a.xa", "--out", out_, "--json"}, failing);
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, in_ + "/a.xa: " + text::kWavWriteFailed + "\n");
  EXPECT_EQ(r.Out, "[{\"file\": \"" + in_ + "/a.xa\", \"channels\": [], \"error\": \"" +
                       text::kWavWriteFailed + "\"}]\n");
  EXPECT_EQ(FilesBelow(out_), std::set<std::string>{});
}

}  // namespace
}  // namespace sorvane
