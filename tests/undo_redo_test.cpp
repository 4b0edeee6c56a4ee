// Undo and redo through sorvane-cli: every edit comes back byte for byte and can be done
// again; the journal keeps no more than what the edit overwrote or cut off; refusals say
// why and change nothing; an edit left unfinished is taken back first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/file_io.h"
#include "edit/edit_history.h"
#include "edit/file_open.h"
#include "support/edit_sample.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunInProcess;

// The union of the bytes written to one file below its first length, and what a cut took
// from it: the most an edit's journal may have to keep.
class RecordingFileIo : public FileIo {
 public:
  RecordingFileIo(std::string path, std::int64_t length)
      : path_(std::filesystem::weakly_canonical(std::move(path)).string()), length_(length) {}

  ssize_t PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) override {
    if (IsTheFile(fd)) Add(offset, offset + std::int64_t(size));
    return FileIo::PWrite(fd, data, size, offset);
  }
  int Truncate(int fd, std::int64_t length) override {
    if (IsTheFile(fd)) Add(length, length_);
    return FileIo::Truncate(fd, length);
  }
  std::int64_t Bytes() const {
    std::int64_t total = 0;
    for (const auto& [begin, end] : ranges_) total += end - begin;
    return total;
  }

 private:
  bool IsTheFile(int fd) const {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error).string() ==
           path_;
  }
  void Add(std::int64_t begin, std::int64_t end) {
    end = std::min(end, length_);
    if (begin >= end) return;
    auto it = ranges_.upper_bound(begin);
    if (it != ranges_.begin() && std::prev(it)->second >= begin) {
      --it;
      begin = it->first;
    }
    while (it != ranges_.end() && it->first <= end) {
      end = std::max(end, it->second);
      it = ranges_.erase(it);
    }
    ranges_[begin] = end;
  }

  std::string path_;
  std::int64_t length_;
  std::map<std::int64_t, std::int64_t> ranges_;
};

// Each test keeps its journal in its own folder.
class History : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* dir = std::getenv("SORVANE_UNDO_DIR")) kept = dir;
    ::setenv("SORVANE_UNDO_DIR", journal.c_str(), 1);
  }
  void TearDown() override { ::setenv("SORVANE_UNDO_DIR", kept.c_str(), 1); }

  // The sizes of the journal's entry files.
  std::vector<std::int64_t> EntrySizes() const {
    std::vector<std::int64_t> sizes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(journal)) {
      const std::string kind = entry.path().extension().string();
      if (entry.is_regular_file() && (kind == ".undo" || kind == ".redo"))
        sizes.push_back(std::int64_t(entry.file_size()));
    }
    return sizes;
  }
  ProgramResult Run(const std::string& args, FileIo* files = nullptr) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < args.size();) {
      const std::size_t end = std::min(args.find(' ', at), args.size());
      const std::string word = args.substr(at, end - at);
      words.push_back(word == "XA" ? xa : word == "WAV" ? wav : word);
      at = end + 1;
    }
    return files != nullptr ? RunInProcess(words, *files) : RunInProcess(words);
  }

  testing::TempDir dir;
  std::string kept;
  std::string journal = dir.File("undo");
  std::string xa = dir.File("f.xa");
  std::string wav = dir.File("in.wav");
};

struct EditCase {
  const char* Name;
  const char* Args;  // XA and WAV stand for the files' paths
  int WavSectors;
};

const EditCase kEdits[] = {
    {"ImportInPlace", "import XA 1 WAV --yes", 10},
    {"ImportGrowingTheFile", "import XA 3 WAV --fit wav --yes", 12},
    {"ImportShrinkingTheFile", "import XA 3 WAV --fit wav --yes", 2},
    {"AppendInsideTheFile", "append XA WAV --start 0.00 --slot 4 --yes", 5},
    {"AppendPastTheEnd", "append XA WAV --start 2.50 --slot 0 --yes", 3},
    {"DeleteTheFirstChannel", "delete XA 1 --yes", 0},
    {"DeleteTheLastChannel", "delete XA 3 --yes", 0},
    {"SettingsGrowing", "settings XA --end-gap 0.60 --resize allow", 0},
    {"SettingsShrinking", "settings XA --channel-gap 0.00 --end-gap 0.02 --resize allow", 0},
};

class EveryEdit : public History,
                  public ::testing::WithParamInterface<std::tuple<EditCase, Layout>> {};

TEST_P(EveryEdit, ComesBackByteForByteAndCanBeDoneAgain) {
  const auto& [edit, layout] = GetParam();
  testing::BuildEditSample(layout, xa);
  if (edit.WavSectors > 0) testing::BuildSampleWav(edit.WavSectors, wav);
  const std::string before = ReadFileBytes(xa);
  RecordingFileIo recording(xa, std::int64_t(before.size()));
  const ProgramResult done = Run(edit.Args, &recording);
  ASSERT_EQ(done.ExitStatus, 0) << done.Err;
  const std::string after = ReadFileBytes(xa);
  ASSERT_NE(after, before);
  const std::vector<std::int64_t> sizes = EntrySizes();
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_LE(sizes[0], recording.Bytes() + 4096) << "overwritten or cut off: " << recording.Bytes();

  for (int round = 0; round < 2; ++round) {
    const ProgramResult undo = Run("undo XA");
    EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == before) << "undo, round " << round;
    const ProgramResult redo = Run("redo XA");
    EXPECT_EQ(redo.ExitStatus, 0) << redo.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == after) << "redo, round " << round;
  }
}

std::string EditName(const ::testing::TestParamInfo<EveryEdit::ParamType>& info) {
  const char* layouts[] = {"Plain", "Raw", "Riff"};
  return std::string(std::get<0>(info.param).Name) + layouts[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Commands, EveryEdit,
                         ::testing::Combine(::testing::ValuesIn(kEdits),
                                            ::testing::Values(Layout::Plain2336, Layout::Raw2352,
                                                              Layout::Riff2352)),
                         EditName);

TEST_F(History, RefusalsSayWhyAndChangeNothing) {
  testing::BuildEditSample(Layout::Plain2336, xa);
  const std::string before = ReadFileBytes(xa);
  struct Refusal {
    const char* Args;
    const char* Message;
  };
  for (const Refusal& r :
       {Refusal{"undo XA", text::kNothingToUndo}, Refusal{"redo XA", text::kNothingToRedo}}) {
    const ProgramResult result = Run(r.Args);
    EXPECT_EQ(result.ExitStatus, 1) << r.Args;
    EXPECT_EQ(result.Err, std::string(r.Message) + "\n") << r.Args;
  }
  ASSERT_EQ(Run("delete XA 2 --yes").ExitStatus, 0);
  const std::string deleted = ReadFileBytes(xa);
  // Another program changes the file: neither undo nor redo may write over that.
  std::string changed = deleted;
  changed[5000] = char(changed[5000] ^ 0x5A);
  testing::WriteFileBytes(xa, changed);
  ProgramResult result = Run("undo XA");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, std::string(text::kChangedSince) + "\n");
  EXPECT_EQ(ReadFileBytes(xa), changed);
  EXPECT_EQ(Run("undo XA --list").Out.substr(0, 3), "1  ");
}

TEST_F(History, ANewEditEndsWhatCouldBeRedone) {
  testing::BuildEditSample(Layout::Plain2336, xa);
  ASSERT_EQ(Run("delete XA 1 --yes").ExitStatus, 0);
  ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  ASSERT_EQ(Run("delete XA 2 --yes").ExitStatus, 0);
  const ProgramResult redo = Run("redo XA");
  EXPECT_EQ(redo.ExitStatus, 1);
  EXPECT_EQ(redo.Err, std::string(text::kNothingToRedo) + "\n");
}

// Twenty-two edits: the list shows the newest twenty, newest first, and undoing all of them
// gives back the file as it was after the second.
TEST_F(History, KeepsTheLastTwentyEdits) {
  testing::BuildEditSample(Layout::Plain2336, xa);
  std::vector<std::string> states = {ReadFileBytes(xa)};
  for (int k = 0; k < 22; ++k) {
    const std::string gap = k % 2 == 0 ? "0.60" : "0.20";
    ASSERT_EQ(Run("settings XA --channel-gap 0.00 --end-gap " + gap + " --resize allow").ExitStatus,
              0);
    states.push_back(ReadFileBytes(xa));
  }
  const std::string list = Run("undo XA --list").Out;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 20) << list;
  EXPECT_EQ(list.substr(0, 3), "1  ");
  EXPECT_NE(list.find("20  "), std::string::npos);
  EXPECT_NE(list.find("  settings  "), std::string::npos);
  for (int k = 0; k < 20; ++k) ASSERT_EQ(Run("undo XA").ExitStatus, 0) << k;
  EXPECT_TRUE(ReadFileBytes(xa) == states[2]);
  EXPECT_EQ(Run("undo XA").Err, std::string(text::kNothingToUndo) + "\n");
}

// An edit that stopped without ending its entry, as a crash or a kill leaves it, after
// writing some sectors or none: undo takes it back first, before older edits.
TEST_F(History, AnUnfinishedEditIsTakenBackFirst) {
  for (const int written : {0, 3}) {
    testing::BuildEditSample(Layout::Raw2352, xa);
    std::filesystem::remove_all(journal);
    ASSERT_EQ(Run("delete XA 3 --yes").ExitStatus, 0);
    const std::string before = ReadFileBytes(xa);
    {
      auto work = std::make_unique<Workspace>();
      testing::ScriptedProgress progress;
      ASSERT_EQ(OpenAndScan(work->File, xa, ScanExtent::WholeFile, progress), Outcome::Done);
      ASSERT_EQ(StartEdit(*work, "import"), Outcome::Done);
      std::uint8_t sector[kSectorBytes] = {};
      MakeEmptySector(work->File, sector, false);
      for (int k = 0; k < written; ++k) ASSERT_EQ(WriteSector(work->File, k * 8, sector), 0);
      ASSERT_EQ(TruncateXaFile(work->File, XaFileLength(work->File) - 2352), 0);
      work->File.Journal = nullptr;  // the process dies here, its entry still open
    }
    ASSERT_NE(ReadFileBytes(xa), before);
    EXPECT_NE(Run("undo XA --list").Out.find("  import  "), std::string::npos);
    const ProgramResult undo = Run("undo XA");
    EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == before) << written << " sectors written";
  }
}

TEST_F(History, AnEditWhoseJournalCannotBeWrittenIsRefusedBeforeItWrites) {
  testing::BuildEditSample(Layout::Plain2336, xa);
  const std::string before = ReadFileBytes(xa);
  testing::WriteFileBytes(dir.File("not-a-folder"), "x");
  ::setenv("SORVANE_UNDO_DIR", dir.File("not-a-folder/undo").c_str(), 1);
  const ProgramResult result = Run("delete XA 1 --yes");
  EXPECT_EQ(result.ExitStatus, 1);
  EXPECT_EQ(result.Err, std::string(text::kJournalFailed) + "\n");
  EXPECT_EQ(ReadFileBytes(xa), before);
}

// Another process holds the file's lock, as the editor does while the file is open: edits
// are refused, reading is not.
TEST_F(History, AnEditOfALockedFileIsRefusedAndReadingStillWorks) {
  testing::BuildEditSample(Layout::Plain2336, xa);
  const std::string before = ReadFileBytes(xa);
  {
    const testing::LockHolder other(xa);
    ASSERT_TRUE(other.Held());
    for (const char* edit : {"delete XA 1 --yes", "settings XA --end-gap 0.60 --resize allow",
                             "import XA 1 WAV --yes", "undo XA"}) {
      testing::BuildSampleWav(2, wav);
      const ProgramResult result = Run(edit);
      EXPECT_EQ(result.ExitStatus, 1) << edit;
      EXPECT_EQ(result.Err, std::string(text::kFileInUse) + "\n") << edit;
    }
    EXPECT_EQ(Run("list XA").ExitStatus, 0);
    EXPECT_EQ(Run("export XA 1 " + dir.File("out.wav")).ExitStatus, 0);
    EXPECT_EQ(Run("settings XA").ExitStatus, 0);
    EXPECT_EQ(ReadFileBytes(xa), before);
  }
  // Once the other process lets go, the edit goes through.
  EXPECT_EQ(Run("delete XA 1 --yes").ExitStatus, 0);
}

}  // namespace
}  // namespace sorvane

namespace sorvane {
namespace {

// Found by fuzzing the edits: a raw file without the sync pattern in front of its first
// sector, whose first subheader sits at byte 0 as well, is read as plain as soon as an edit
// rewrites the first sector's sound where the detection looks for a second plain subheader.
// Undo needs no layout: it gives back the original bytes.
TEST_F(History, UndoNeedsNoLayoutDetection) {
  testing::XaBuilder builder(8, Layout::Raw2352);
  builder.Channel(1, true, true, 0, 4, 2);
  std::vector<std::uint8_t> payload(2336 - 8, 0);
  const std::uint8_t disagreeing[8] = {0, 0, 0, 0, 1, 3, 0x64, 0};
  std::copy(disagreeing, disagreeing + 8, payload.begin() + (2336 - 16 - 8));
  builder.Payload(0, payload);
  std::string bytes = builder.Bytes();
  const char agreeing[8] = {1, 0, 0x64, 4, 1, 0, 0x64, 4};
  bytes.replace(0, 8, agreeing, 8);
  testing::WriteFileBytes(xa, bytes);
  ASSERT_NE(Run("list XA --json").Out.find("raw-2352"), std::string::npos);
  testing::BuildSampleWav(2, wav);
  ASSERT_EQ(Run("import XA 1 WAV --yes").ExitStatus, 0);
  ASSERT_NE(ReadFileBytes(xa), bytes);
  const ProgramResult undo = Run("undo XA");
  EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
  EXPECT_TRUE(ReadFileBytes(xa) == bytes);
}

}  // namespace
}  // namespace sorvane
