// The undo journal never makes things worse: a damaged entry is refused and kept, a file is
// known again without birth time, a kill at any call of an undo or a redo leaves exactly
// one done after the retry, a full journal disk says whether the file changed, and the
// journal keeps itself in bounds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/journal_entry.h"
#include "support/edit_sample.h"
#include "support/failing_file_io.h"
#include "support/in_process_cli.h"
#include "support/journal_tools.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using testing::ProgramResult;
using testing::ReadFileBytes;

// Each test keeps its journal in its own folder.
class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* d = std::getenv("SORVANE_UNDO_DIR")) kept = d;
    ::setenv("SORVANE_UNDO_DIR", journal.c_str(), 1);
    ::unsetenv("SORVANE_UNDO_MAX");
  }
  void TearDown() override {
    ::setenv("SORVANE_UNDO_DIR", kept.c_str(), 1);
    ::unsetenv("SORVANE_UNDO_MAX");
  }
  std::vector<std::string> Words(const std::string& args, const std::string& file) const {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < args.size();) {
      const std::size_t end = std::min(args.find(' ', at), args.size());
      const std::string word = args.substr(at, end - at);
      words.push_back(word == "XA" ? file : word == "WAV" ? wav : word);
      at = end + 1;
    }
    return words;
  }
  ProgramResult Run(const std::string& args, const std::string& file) {
    return testing::RunInProcess(Words(args, file));
  }
  ProgramResult Run(const std::string& args) { return Run(args, xa); }
  // A fresh sample with two edits on separate sectors; states[k] is the file after k edits.
  void TwoEdits() {
    fs::remove_all(journal);
    testing::BuildEditSample(testing::Layout::Raw2352, xa);
    states = {ReadFileBytes(xa)};
    for (const char* edit : {"delete XA 1 --yes", "delete XA 2 --yes"}) {
      ASSERT_EQ(Run(edit).ExitStatus, 0) << edit;
      states.push_back(ReadFileBytes(xa));
    }
  }
  void ExpectRefused(const std::string& args, const char* message) {
    const ProgramResult result = Run(args);
    EXPECT_EQ(result.ExitStatus, 1) << args;
    EXPECT_EQ(result.Err, std::string(message) + "\n") << args;
  }

  testing::TempDir dir;
  std::string kept;
  std::string journal = dir.File("undo");
  std::string xa = dir.File("f.xa");
  std::string wav = dir.File("in.wav");
  std::vector<std::string> states;
};

TEST(Crc32c, MatchesTheCastagnoliCheckValueWholeAndInPieces) {
  const std::string text = "123456789";
  EXPECT_EQ(journal::Crc32c(0, text.data(), text.size()), 0xE3069283u);
  const std::uint32_t first = journal::Crc32c(0, text.data(), 4);
  EXPECT_EQ(journal::Crc32c(first, text.data() + 4, 5), 0xE3069283u);
  const std::string zeros(100, '\0');
  EXPECT_EQ(journal::Crc32c(0, zeros.data(), 32), 0x8A9136AAu);
}

// What an entry remembers against what the file is now.
struct IdentityCase {
  const char* Name;
  journal::FileIdentity Now;  // changed from kRecorded
  journal::Verdict Closed;
  journal::Verdict Unfinished;
};

constexpr journal::FileIdentity kRecorded{4096, 100, 200, 50, 7, 9, true};
constexpr journal::FileIdentity kNoBirth{4096, 100, 200, 0, 7, 0, false};

const IdentityCase kIdentities[] = {
    {"Untouched", kRecorded, journal::Verdict::Same, journal::Verdict::Digest},
    {"OnlyCtimeMoved",
     {4096, 100, 300, 50, 7, 9, true},
     journal::Verdict::Digest,
     journal::Verdict::Digest},
    {"MtimeMoved",
     {4096, 101, 300, 50, 7, 9, true},
     journal::Verdict::Changed,
     journal::Verdict::Digest},
    {"LengthChanged",
     {4097, 100, 300, 50, 7, 9, true},
     journal::Verdict::Changed,
     journal::Verdict::Digest},
    {"OtherGeneration",
     {4096, 100, 200, 50, 7, 10, true},
     journal::Verdict::Foreign,
     journal::Verdict::Foreign},
    {"OtherBirthTime",
     {4096, 100, 200, 51, 7, 9, true},
     journal::Verdict::Foreign,
     journal::Verdict::Foreign},
    {"OtherInode",
     {4096, 100, 200, 50, 8, 9, true},
     journal::Verdict::Foreign,
     journal::Verdict::Foreign},
    {"NeitherKeptNow",
     {4096, 100, 300, 0, 7, 0, false},
     journal::Verdict::Digest,
     journal::Verdict::Digest},
};

class Identity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(Identity, TellsTheSameFileWithoutBirthTime) {
  EXPECT_EQ(journal::CompareClosed(kRecorded, GetParam().Now), GetParam().Closed);
  EXPECT_EQ(journal::CompareUnfinished(kRecorded, GetParam().Now), GetParam().Unfinished);
  // Where the file system kept neither, only the times and the length can tell.
  journal::FileIdentity now = GetParam().Now;
  now.BornNs = 0;
  now.HasGeneration = false;
  const journal::Verdict closed = journal::CompareClosed(kNoBirth, now);
  EXPECT_EQ(closed, GetParam().Closed == journal::Verdict::Foreign && now.Inode == kNoBirth.Inode
                        ? journal::Verdict::Same
                        : GetParam().Closed);
}

INSTANTIATE_TEST_SUITE_P(Files, Identity, ::testing::ValuesIn(kIdentities),
                         [](const auto& info) { return std::string(info.param.Name); });

// What a crash, a stale block or a careless hand does to an entry.
struct Damage {
  const char* Name;
  void (*Apply)(std::string& bytes);
};

const Damage kDamages[] = {
    {"OneChangedRecordByte", [](std::string& b) { b[b.size() - 100] ^= 0x01; }},
    {"StaleZerosOverTheRecords",
     [](std::string& b) {
       std::fill(b.begin() + 600, b.begin() + std::min<std::size_t>(b.size(), 600 + 65536), '\0');
     }},
    {"ChangedOriginalLength", [](std::string& b) { b[49] ^= 0x01; }},
    {"CutTo5000Bytes", [](std::string& b) { b.resize(5000); }},
    {"ZeroedHeader", [](std::string& b) { std::fill(b.begin(), b.begin() + 256, '\0'); }},
    {"CutInsideTheHeader", [](std::string& b) { b.resize(100); }},
    {"GrownByAByte", [](std::string& b) { b.push_back('\0'); }},
};

class DamagedEntry : public Journal, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedEntry, IsRefusedKeptMarkedAndCanBeForgotten) {
  TwoEdits();
  const std::string newest = testing::EntryFiles(journal).back();
  std::string bytes = ReadFileBytes(newest);
  ASSERT_GT(bytes.size(), 20000u);
  GetParam().Apply(bytes);
  testing::WriteFileBytes(newest, bytes);

  ExpectRefused("undo XA", text::kJournalDamaged);
  EXPECT_TRUE(ReadFileBytes(xa) == states[2]);
  EXPECT_TRUE(ReadFileBytes(newest) == bytes) << "the damaged entry must be kept as it is";
  const std::string list = Run("undo XA --list").Out;
  EXPECT_NE(list.substr(0, list.find('\n')).find(text::kListDamaged), std::string::npos) << list;
  EXPECT_EQ(list.find(text::kListDamaged, list.find('\n')), std::string::npos) << list;

  EXPECT_EQ(Run("undo XA --forget --no").ExitStatus, 3);
  EXPECT_TRUE(fs::exists(newest));
  ASSERT_EQ(Run("undo XA --forget --yes").ExitStatus, 0);
  // The older edit puts back what it overwrote; the forgotten one's sectors stay as it left them.
  std::string expected = states[2];
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (states[0][k] != states[1][k]) expected[k] = states[0][k];
  }
  const ProgramResult undo = Run("undo XA");
  EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
  EXPECT_TRUE(ReadFileBytes(xa) == expected);
  ExpectRefused("undo XA", text::kNothingToUndo);
}

INSTANTIATE_TEST_SUITE_P(Entries, DamagedEntry, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.Name); });

// The journal's folder is moved to the key of `other`, as if `other` had been made on the
// inode of the edited file after it was deleted.
void GiveFolderTo(const std::string& journal, const std::string& other) {
  struct stat st {};
  ASSERT_EQ(::stat(other.c_str(), &st), 0);
  char key[64];
  std::snprintf(key, sizeof key, "/%llx-%llx",
                (static_cast<unsigned long long>(major(st.st_dev)) << 32) | minor(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  fs::rename(testing::JournalFolder(journal), journal + key);
}

// Every entry forgets the birth time and generation, as on a file system that keeps neither.
void ForgetBirth(const std::string& journal) {
  for (const std::string& path : testing::EntryFiles(journal)) {
    journal::OpenEntry entry(path);
    ASSERT_EQ(journal::CheckHeader(entry.Fd, entry.Header), journal::EntryCheck::Whole);
    for (journal::FileIdentity* id : {&entry.Header.Before, &entry.Header.After}) {
      id->BornNs = 0;
      id->HasGeneration = false;
    }
    ASSERT_TRUE(journal::WriteHeader(SystemFileIo(), entry.Fd, entry.Header));
  }
}

// What another program does to the file after an edit, and whether undo may still run.
struct Touch {
  const char* Name;
  void (*Do)(const std::string& xa, const std::string& journal);
  bool Undoes;
};

// A byte of the edited sectors changed, the modification time put back (touch -d, cp -p,
// rsync -t --inplace).
void RewriteKeepingTheTime(const std::string& xa, const std::string&) {
  const long long time = testing::ModifiedTime(xa);
  std::string bytes = ReadFileBytes(xa);
  bytes[testing::SubheaderOffset(testing::Layout::Raw2352, 0) + 100] ^= 0x40;
  const int fd = ::open(xa.c_str(), O_WRONLY);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
  ::close(fd);
  testing::SetModifiedTime(xa, time);
}

// The file deleted and a new one made with `bytes`, with its time, on its inode.
void NewFile(const std::string& xa, const std::string& journal, const std::string& bytes,
             bool birth) {
  const long long time = testing::ModifiedTime(xa);
  fs::remove(xa);
  testing::WriteFileBytes(xa, bytes);
  testing::SetModifiedTime(xa, time);
  GiveFolderTo(journal, xa);
  if (!birth) ForgetBirth(journal);
}

// The file's bytes, one of its first sector's changed or not.
std::string BytesOf(const std::string& xa, bool changed) {
  std::string bytes = ReadFileBytes(xa);
  if (changed) bytes[testing::SubheaderOffset(testing::Layout::Raw2352, 0) + 100] ^= 0x40;
  return bytes;
}

const Touch kTouches[] = {
    {"Chmod", [](const std::string& xa, const std::string&) { ::chmod(xa.c_str(), 0640); }, true},
    {"NewHardLink",
     [](const std::string& xa, const std::string&) { ::link(xa.c_str(), (xa + ".link").c_str()); },
     true},
    {"RenamedAndBack",
     [](const std::string& xa, const std::string&) {
       fs::rename(xa, xa + ".moved");
       fs::rename(xa + ".moved", xa);
     },
     true},
    {"ChmodWithoutBirthTime",
     [](const std::string& xa, const std::string& j) {
       ForgetBirth(j);
       ::chmod(xa.c_str(), 0640);
     },
     true},
    {"RewrittenWithTheTimeRestored", RewriteKeepingTheTime, false},
    {"NewFileSameBytesSameTime",
     [](const std::string& xa, const std::string& j) { NewFile(xa, j, BytesOf(xa, false), true); },
     false},
    {"NewFileWithoutBirthTime",
     [](const std::string& xa, const std::string& j) { NewFile(xa, j, BytesOf(xa, true), false); },
     false},
};

class TouchedFile : public Journal, public ::testing::WithParamInterface<Touch> {};

TEST_P(TouchedFile, IsUndoneOnlyWhenItIsStillTheSameFileAsTheEditLeftIt) {
  TwoEdits();
  GetParam().Do(xa, journal);
  const std::string touched = ReadFileBytes(xa);
  const ProgramResult undo = Run("undo XA");
  if (GetParam().Undoes) {
    EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == states[1]);
  } else {
    EXPECT_EQ(undo.ExitStatus, 1);
    EXPECT_EQ(undo.Err, std::string(text::kChangedSince) + "\n");
    EXPECT_TRUE(ReadFileBytes(xa) == touched);
    EXPECT_EQ(testing::EntryFiles(journal).size(), 2u) << "no entry may be lost";
  }
}

INSTANTIATE_TEST_SUITE_P(Identity, TouchedFile, ::testing::ValuesIn(kTouches),
                         [](const auto& info) { return std::string(info.param.Name); });

// A new edit of a file made on the inode of one that is gone starts a history of its own;
// the old entries are set aside, not undone into it.
TEST_F(Journal, ANewFileOnAReusedInodeStartsItsOwnHistory) {
  TwoEdits();
  NewFile(xa, journal, BytesOf(xa, true), true);
  const std::string made = ReadFileBytes(xa);
  ASSERT_EQ(Run("delete XA 3 --yes").ExitStatus, 0);
  EXPECT_EQ(testing::EntryFiles(journal).size(), 3u) << "the old entries are kept aside";
  const std::string list = Run("undo XA --list").Out;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1) << list;
  ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  EXPECT_TRUE(ReadFileBytes(xa) == made);
  ExpectRefused("undo XA", text::kNothingToUndo);
}

// An edit killed part-way, its file then deleted and another file made on its inode: the
// unfinished entry is checked too, by generation and birth time or by a sample of the bytes
// it would put back.
TEST_F(Journal, AnUnfinishedEntryIsNotTakenForANewFileOnItsInode) {
  testing::BuildEditSample(testing::Layout::Raw2352, xa);
  const std::vector<std::string> words = Words("import XA 1 WAV --yes", xa);
  testing::BuildSampleWav(10, wav);
  const int calls = testing::CountCalls(words);
  for (const bool birth : {true, false}) {
    fs::remove_all(journal);
    testing::BuildEditSample(testing::Layout::Raw2352, xa);
    ASSERT_TRUE(testing::RunKilledAtCall(words, calls / 2));
    testing::BuildEditSample(testing::Layout::Plain2336, dir.File("other.xa"));
    NewFile(xa, journal, ReadFileBytes(dir.File("other.xa")), birth);
    const std::string made = ReadFileBytes(xa);
    const ProgramResult undo = Run("undo XA");
    EXPECT_EQ(undo.ExitStatus, 1) << birth;
    EXPECT_EQ(undo.Err, std::string(text::kChangedSince) + "\n");
    EXPECT_TRUE(ReadFileBytes(xa) == made) << birth;
  }
}

// An edit killed part-way leaves its entry open: a record torn by the kill is dropped, but a
// damaged one before what was durable is refused, and the entry kept.
TEST_F(Journal, AnOpenEntryIsRefusedWhenARecordBeforeTheTearIsDamaged) {
  testing::BuildEditSample(testing::Layout::Raw2352, xa);
  const std::string original = ReadFileBytes(xa);
  const std::vector<std::string> words = Words("import XA 1 WAV --yes", xa);
  testing::BuildSampleWav(10, wav);
  const int calls = testing::CountCalls(words);
  for (const bool damaged : {false, true}) {
    fs::remove_all(journal);
    testing::WriteFileBytes(xa, original);
    ASSERT_TRUE(testing::RunKilledAtCall(words, calls - 3));
    const std::string entry = testing::EntryFiles(journal).back();
    std::string bytes = ReadFileBytes(entry);
    if (damaged) bytes[bytes.size() / 2] ^= 0x01;
    bytes.append(3000, '\x5A');  // what a power cut may leave after the last record
    testing::WriteFileBytes(entry, bytes);
    const std::string killed = ReadFileBytes(xa);
    const ProgramResult undo = Run("undo XA");
    if (damaged) {
      EXPECT_EQ(undo.Err, std::string(text::kJournalDamaged) + "\n");
      EXPECT_TRUE(ReadFileBytes(xa) == killed);
      EXPECT_TRUE(ReadFileBytes(entry) == bytes);
    } else {
      EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
      EXPECT_TRUE(ReadFileBytes(xa) == original);
    }
  }
}

// A command that only reads warns of an interrupted undo and leaves it; one that changes the
// file completes it first (KilledHistory).
TEST_F(Journal, AReadingCommandOnlyWarnsOfAnInterruptedUndo) {
  TwoEdits();
  const std::vector<std::string> undo = Words("undo XA", xa);
  const int calls = testing::CountCalls(undo);
  TwoEdits();
  ASSERT_TRUE(testing::RunKilledAtCall(undo, calls - 1));
  const std::string killed = ReadFileBytes(xa);
  for (const char* reading : {"list XA", "undo XA --list", "settings XA"}) {
    const ProgramResult result = Run(reading);
    EXPECT_EQ(result.ExitStatus, 0) << reading;
    EXPECT_NE(result.Err.find(text::kInterruptedPending), std::string::npos) << reading;
    EXPECT_TRUE(ReadFileBytes(xa) == killed) << reading;
  }
  ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  EXPECT_TRUE(ReadFileBytes(xa) == states[1]);
}

// Undo and redo killed before each of their writes, truncations, syncs, reservations and
// renames, then retried: exactly one done, and the older edits still there.
struct KillCase {
  const char* Name;
  const char* Operation;
  const char* Retry;
};

const KillCase kKills[] = {
    {"UndoRetried", "undo XA", "undo XA"},
    {"RedoRetried", "redo XA", "redo XA"},
    {"UndoCompletedByAnEdit", "undo XA", "settings XA --end-gap 0.60 --resize allow"},
};

class KilledHistory : public Journal, public ::testing::WithParamInterface<KillCase> {
 protected:
  void Prepare() {
    TwoEdits();
    if (std::string(GetParam().Operation) == "redo XA") {
      ASSERT_EQ(Run("undo XA").ExitStatus, 0);
      ASSERT_EQ(Run("undo XA").ExitStatus, 0);
    }
  }
};

TEST_P(KilledHistory, LeavesExactlyOneDoneAfterTheRetry) {
  const KillCase& c = GetParam();
  const bool redo = std::string(c.Operation) == "redo XA";
  // Undo goes 2 -> 1 -> 0, redo 0 -> 1 -> 2.
  const int next = 1, last = redo ? 2 : 0;
  const char* again = redo ? "redo XA" : "undo XA";
  Prepare();
  const int calls = testing::CountCalls(Words(c.Operation, xa));
  ASSERT_GT(calls, 6);
  for (int k = 1; k <= calls; ++k) {
    Prepare();
    ASSERT_TRUE(testing::RunKilledAtCall(Words(c.Operation, xa), k)) << k;
    const ProgramResult retry = Run(c.Retry);
    ASSERT_EQ(retry.ExitStatus, 0) << "killed at call " << k << ": " << retry.Err;
    if (std::string(c.Retry) != again) {
      // The edit completed an interrupted undo first (a kill before its mark left none to
      // complete); undo takes the edit back.
      ASSERT_EQ(Run("undo XA").ExitStatus, 0) << k;
      if (ReadFileBytes(xa) == states[2]) ASSERT_EQ(Run("undo XA").ExitStatus, 0) << k;
    }
    EXPECT_TRUE(ReadFileBytes(xa) == states[next]) << "killed at call " << k << " of " << calls;
    const ProgramResult second = Run(again);
    EXPECT_EQ(second.ExitStatus, 0) << "killed at call " << k << ": " << second.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == states[last]) << "killed at call " << k;
    ExpectRefused(again, redo ? text::kNothingToRedo : text::kNothingToUndo);
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Kills, KilledHistory, ::testing::ValuesIn(kKills),
                         [](const auto& info) { return std::string(info.param.Name); });

// Undo and redo with the disk failing from their k-th call on instead of a kill: they fail,
// and the retry does exactly the one asked.
TEST_F(Journal, AFailedDiskLeavesExactlyOneDoneAfterTheRetry) {
  for (const bool redo : {false, true}) {
    const std::string operation = redo ? "redo XA" : "undo XA";
    auto prepare = [&] {
      TwoEdits();
      for (int k = 0; redo && k < 2; ++k) ASSERT_EQ(Run("undo XA").ExitStatus, 0);
    };
    prepare();
    testing::FailingFileIo counting;
    ASSERT_EQ(testing::RunInProcess(Words(operation, xa), counting).ExitStatus, 0);
    for (int k = 1; k <= counting.Calls; ++k) {
      prepare();
      testing::FailingFileIo failing;
      failing.FailAt = k;
      failing.StaysFailing = true;
      ASSERT_EQ(testing::RunInProcess(Words(operation, xa), failing).ExitStatus, 1) << k;
      const ProgramResult retry = Run(operation);
      ASSERT_EQ(retry.ExitStatus, 0) << operation << " failed at call " << k << ": " << retry.Err;
      EXPECT_TRUE(ReadFileBytes(xa) == states[1]) << operation << " failed at call " << k;
      EXPECT_EQ(Run(operation).ExitStatus, 0) << k;
      EXPECT_TRUE(ReadFileBytes(xa) == states[redo ? 2 : 0]) << operation << " at call " << k;
      if (HasFailure()) return;
    }
  }
}

// The journal's disk fills up at its k-th call and stays full: the edit is refused before it
// changes the file (the redo history and no entry left), or stops and says undo puts it back.
TEST_F(Journal, AFullJournalDiskSaysWhetherTheFileChanged) {
  const std::vector<std::string> import = Words("import XA 1 WAV --yes", xa);
  testing::BuildSampleWav(10, wav);
  auto prepare = [&] {
    fs::remove_all(journal);
    testing::BuildEditSample(testing::Layout::Plain2336, xa);
    ASSERT_EQ(Run("delete XA 3 --yes").ExitStatus, 0);
    ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  };
  prepare();
  const std::string before = ReadFileBytes(xa);
  testing::FailingFileIo counting;
  counting.OnlyUnder = journal;
  ASSERT_EQ(testing::RunInProcess(import, counting).ExitStatus, 0);
  int refused = 0, stopped = 0;
  for (int k = 1; k <= counting.Calls; ++k) {
    prepare();
    testing::FailingFileIo full;
    full.OnlyUnder = journal;
    full.FailAt = k;
    full.StaysFailing = true;
    const ProgramResult result = testing::RunInProcess(import, full);
    ASSERT_EQ(result.ExitStatus, 1) << k;
    if (result.Err.find(text::kJournalFailed) != std::string::npos) {
      ++refused;
      EXPECT_TRUE(ReadFileBytes(xa) == before) << k;
      EXPECT_EQ(Run("undo XA --list").Out, "") << k;
      EXPECT_EQ(Run("redo XA").ExitStatus, 0) << "the redo history must stay, call " << k;
    } else {
      ++stopped;
      // Stopped part-way, or done but its entry could not be closed: undo puts it back.
      EXPECT_TRUE(result.Err.find(text::kJournalStopped) != std::string::npos ||
                  result.Err.find(text::kWriteError) != std::string::npos)
          << k << ": " << result.Err;
      EXPECT_FALSE(ReadFileBytes(xa) == before) << k;
      EXPECT_EQ(Run("undo XA").ExitStatus, 0) << k;
      EXPECT_TRUE(ReadFileBytes(xa) == before) << k;
    }
    if (HasFailure()) return;
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(stopped, 0);
}

// The whole journal stays under SORVANE_UNDO_MAX: the oldest entries of any file go first.
TEST_F(Journal, TheWholeJournalStaysUnderItsCap) {
  const std::string other = dir.File("g.xa");
  testing::BuildEditSample(testing::Layout::Plain2336, other);
  testing::BuildEditSample(testing::Layout::Plain2336, xa);
  ASSERT_EQ(Run("delete XA 1 --yes", other).ExitStatus, 0);
  const std::string kept = ReadFileBytes(xa);
  ASSERT_EQ(Run("delete XA 1 --yes").ExitStatus, 0);
  ::setenv("SORVANE_UNDO_MAX", "30000", 1);
  ASSERT_EQ(Run("delete XA 2 --yes").ExitStatus, 0);
  long long total = 0;
  for (const std::string& entry : testing::EntryFiles(journal)) total += testing::FileLength(entry);
  EXPECT_LE(total, 30000);
  EXPECT_EQ(Run("undo XA --list", other).Out, "");
  ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  ExpectRefused("undo XA", text::kNothingToUndo);
  EXPECT_FALSE(ReadFileBytes(xa) == kept);
}

// A volume mounted again after a reboot may bring another device number: the index finds
// the journal by the file's path and inode, and `undo --list` reads it without moving it.
TEST_F(Journal, IsFoundAgainWhenTheDeviceNumberChanged) {
  TwoEdits();
  const std::string folder = testing::JournalFolder(journal);
  const std::string name = fs::path(folder).filename();
  const std::string moved = journal + "/fffe" + name.substr(name.find('-'));
  fs::rename(folder, moved);
  for (const auto& link : fs::directory_iterator(journal + "/index")) {
    fs::remove(link.path());
    fs::create_symlink("../" + fs::path(moved).filename().string(), link.path());
  }
  const std::string list = Run("undo XA --list").Out;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 2) << list;
  EXPECT_TRUE(fs::exists(moved));
  ASSERT_EQ(Run("undo XA").ExitStatus, 0);
  EXPECT_TRUE(ReadFileBytes(xa) == states[1]);
  EXPECT_TRUE(fs::exists(folder)) << "the folder moves back to the file's key";
}

// Folders of files that are gone are removed after 30 days; never one with an unfinished
// entry, one on a volume that is not mounted, or one whose file is still there.
struct GoneCase {
  const char* Name;
  int DaysAgo;
  bool Deleted;
  bool Unfinished;
  bool Unmounted;
  bool Removed;
};

const GoneCase kGone[] = {
    {"GoneForThirtyOneDays", 31, true, false, false, true},
    {"GoneForTwentyNineDays", 29, true, false, false, false},
    {"StillThere", 31, false, false, false, false},
    {"WithAnUnfinishedEntry", 31, true, true, false, false},
    {"OnAVolumeNotMounted", 31, true, false, true, false},
};

class GoneFile : public Journal, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(GoneFile, ItsFolderIsRemovedOnlyWhenSafe) {
  const GoneCase& c = GetParam();
  const std::string gone = dir.File("gone.xa");
  testing::BuildEditSample(testing::Layout::Plain2336, gone);
  testing::BuildEditSample(testing::Layout::Plain2336, xa);  // before gone.xa frees its inode
  ASSERT_EQ(Run("delete XA 1 --yes", gone).ExitStatus, 0);
  const std::string folder = testing::JournalFolder(journal);
  if (c.Unfinished) {
    journal::OpenEntry entry(testing::EntryFiles(journal).back());
    ASSERT_EQ(journal::CheckHeader(entry.Fd, entry.Header), journal::EntryCheck::Whole);
    entry.Header.State = journal::EntryState::Open;
    ASSERT_TRUE(journal::WriteHeader(SystemFileIo(), entry.Fd, entry.Header));
  }
  if (c.Unmounted) {
    std::string note = ReadFileBytes(folder + "/file");
    const std::size_t at = note.find("mount ") + 6;
    note.replace(at, note.find('\n', at) - at, "/no-such-volume");
    testing::WriteFileBytes(folder + "/file", note);
  }
  if (c.Deleted) fs::remove(gone);
  const long long then = (std::time(nullptr) - c.DaysAgo * 86400LL) * 1000000000LL;
  for (const std::string& path : testing::EntryFiles(journal)) testing::SetModifiedTime(path, then);
  testing::SetModifiedTime(folder, then);
  fs::remove(journal + "/.cleaned");
  ASSERT_EQ(Run("delete XA 1 --yes").ExitStatus, 0);
  EXPECT_EQ(!fs::exists(folder), c.Removed);
}

INSTANTIATE_TEST_SUITE_P(Folders, GoneFile, ::testing::ValuesIn(kGone),
                         [](const auto& info) { return std::string(info.param.Name); });

// Listing takes no lock, so it removes nothing: not while another program holds the file.
TEST_F(Journal, ListingRemovesNothing) {
  TwoEdits();
  testing::WriteFileBytes(testing::JournalFolder(journal) + "/0000000000000009.redo.part", "x");
  std::vector<std::string> before;
  for (const auto& f : fs::recursive_directory_iterator(journal)) before.push_back(f.path());
  {
    const testing::LockHolder other(xa);
    ASSERT_TRUE(other.Held());
    EXPECT_EQ(Run("undo XA --list").ExitStatus, 0);
  }
  std::vector<std::string> after;
  for (const auto& f : fs::recursive_directory_iterator(journal)) after.push_back(f.path());
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace sorvane
