// import-all: sounds named as export-all names its WAVs go back into their channels; the
// bytes equal the same imports run one by one; one undo takes a file's batch back; --plan
// changes nothing.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "edit/edit_history.h"
#include "edit/every_channel_export.h"
#include "edit/import_all.h"
#include "support/disc_image_builder.h"
#include "support/in_process_cli.h"
#include "support/scripted_ui.h"
#include "support/signals.h"
#include "support/sound_file_writer.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunInProcess;

class CliImportAll : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.File("xa/sub"));
    std::filesystem::create_directories(dir.File("in/sub"));
    // Channels 1 and 2: 37.8 kHz mono, interleave 8, 10 sectors each; room after them.
    for (const std::string& name : {a, b})
      testing::XaBuilder(300)
          .Channel(1, true, false, 0, 8, 10)
          .Channel(2, true, false, 1, 8, 10)
          .Noise(5)
          .Write(name);
    original = ReadFileBytes(a);
    Sound("in/sub/a_ch002.wav", 14 * 4032);  // longer than its channel: cut
    Sound("in/sub/a_ch001.wav", 4 * 4032);   // shorter
    Sound("in/b_ch001.wav", 3 * 4032);       // two sounds for one channel
    Sound("in/b_ch001.aiff", 3 * 4032);
    Sound("in/b_ch007.wav", 4032);   // a channel b does not have
    Sound("in/zz_ch001.wav", 4032);  // no such file
    const auto chord = testing::ChordWithSweep(44100, 2.0, 1);
    ASSERT_TRUE(testing::WriteSoundFile(dir.File("in/b_ch002.flac"),
                                        SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 44100, chord));
    const std::string flac = ReadFileBytes(dir.File("in/b_ch002.flac"));
    testing::WriteFileBytes(dir.File("in/b_ch002.flac"), flac.substr(0, flac.size() / 3));
  }
  void Sound(const std::string& name, int frames) {
    testing::WavBuilder(1, 37800, 16)
        .Samples16(testing::Frames16(frames, 1,
                                     [&](int i, int) { return (i * 7 + frames) % 5000 - 2500; }))
        .Write(dir.File(name));
  }
  ProgramResult Run(const std::string& options) {
    return RunInProcess("import-all " + dir.File("xa") + " --from " + dir.File("in") + options);
  }
  // What the two `import`s of a's sounds, one by one, write into a copy of the original.
  std::string SeparateImports() {
    const std::string separate = dir.File("separate.xa");
    testing::WriteFileBytes(separate, original);
    for (const char* channel : {"1", "2"}) {
      const std::string sound = dir.File(std::string("in/sub/a_ch00") + channel + ".wav");
      if (RunInProcess("import " + separate + " " + channel + " " + sound + " --yes").ExitStatus)
        return {};
    }
    return ReadFileBytes(separate);
  }

  testing::TempDir dir;
  std::string a = dir.File("xa/sub/a.xa");
  std::string b = dir.File("xa/b.xa");
  std::string original;
};

TEST_F(CliImportAll, PlanShowsWhatGoesWhereAndChangesNothing) {
  const std::string lists = RunInProcess("undo " + a + " --list").Out;
  const ProgramResult plan = Run(" --plan");
  EXPECT_EQ(plan.ExitStatus, 0) << plan.Err;
  for (const std::string& line :
       {"a.xa ch 001 <- " + dir.File("in/sub/a_ch001.wav") +
            ": 0:00.32 -> 0:01.05, padded, asks: " + text::kWavShorter,
        "a.xa ch 002 <- " + dir.File("in/sub/a_ch002.wav") + ": 0:01.37 -> 0:01.05, cut",
        "unmatched: " + dir.File("in/b_ch007.wav"), "unmatched: " + dir.File("in/zz_ch001.wav"),
        "duplicate: " + dir.File("in/b_ch001.aiff"), "duplicate: " + dir.File("in/b_ch001.wav")})
    EXPECT_NE(plan.Out.find(line), std::string::npos) << line << "\n" << plan.Out;
  EXPECT_EQ(ReadFileBytes(a), original);
  EXPECT_EQ(ReadFileBytes(b), original);
  EXPECT_EQ(RunInProcess("undo " + a + " --list").Out, lists);
}

TEST_F(CliImportAll, WritesWhatSeparateImportsWriteAsOneUndoableEdit) {
  const ProgramResult all = Run(" --yes --json");
  EXPECT_EQ(all.ExitStatus, 1) << all.Err;  // b's FLAC cannot be read to its end
  EXPECT_NE(all.Err.find("imported 2, cut 1, skipped 4, failed 1"), std::string::npos) << all.Err;
  EXPECT_NE(
      all.Out.find("\"failed\": [{\"channel\": 2, \"sound\": \"" + dir.File("in/b_ch002.flac") +
                   "\", \"message\": \"" + text::kReadError + "\"}]"),
      std::string::npos)
      << all.Out;
  EXPECT_EQ(ReadFileBytes(b), original);

  EXPECT_EQ(ReadFileBytes(a), SeparateImports());
  ASSERT_EQ(RunInProcess("undo " + a).ExitStatus, 0);
  EXPECT_EQ(ReadFileBytes(a), original);
  EXPECT_EQ(RunInProcess("undo " + a).ExitStatus, 1);  // the batch was one edit
}

// The editor's way: the file stays open and locked in its workspace, which a run that opens
// the file again is refused; the run on the open workspace writes what separate imports
// write, leaves the workspace's encoder state alone and one undo takes it back.
TEST_F(CliImportAll, RunsOnTheEditorsOpenFileAsOneEditWithoutItsEncoderState) {
  Workspace w;
  w.Journal.SetRoot(dir.File("undo"));  // no history of an earlier file on a reused inode
  SilentProgress silent;
  testing::ScriptedPrompter prompter;
  prompter.LengthAnswers = {LengthChoice::KeepOriginal, LengthChoice::KeepOriginal};
  ASSERT_EQ(OpenAndScan(w.File, a, ScanExtent::FirstSectors, silent), Outcome::Done);
  ASSERT_EQ(LockXaFile(w.File), 0);
  w.Import.Encoder.Right.Plain = {1234, -567};
  w.Import.HighQuality = true;
  const ImportAllPlan plan =
      PlanImportAll({ImportAllTargetOf(w.File)}, dir.File("in/sub"), ScanExtent::WholeFile);
  ASSERT_EQ(plan.Targets.size(), 1u);
  ASSERT_EQ(plan.Targets[0].Imports.size(), 2u);

  std::vector<TargetImport> refused;
  EXPECT_EQ(RunImportAll(plan, {}, silent, prompter, refused), Outcome::Failed);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].Message, text::kFileInUse);
  EXPECT_EQ(ReadFileBytes(a), original);

  std::vector<TargetImport> done;
  ASSERT_EQ(RunImportAllOpen(w, plan, {}, silent, prompter, done), Outcome::Done);
  ASSERT_EQ(done.size(), 1u);
  ASSERT_EQ(done[0].Sounds.size(), 2u);
  EXPECT_FALSE(done[0].Sounds[0].Cut.Cut());
  EXPECT_TRUE(done[0].Sounds[1].Cut.Cut());
  EXPECT_EQ(w.Import.Encoder.Right.Plain.S1, 1234);
  EXPECT_EQ(w.Import.Encoder.Right.Plain.S2, -567);
  EXPECT_TRUE(w.Import.HighQuality);
  EXPECT_TRUE(w.File.Locked);
  EXPECT_TRUE(w.File.ScannedToEnd);
  EXPECT_EQ(w.File.AudioChannelTable.Count, 2);

  EXPECT_EQ(ReadFileBytes(a), SeparateImports());
  KeptSettings settings;
  ASSERT_EQ(UndoEdit(w, settings), Outcome::Done);
  EXPECT_EQ(ReadFileBytes(a), original);
  EXPECT_EQ(UndoEdit(w, settings), Outcome::Failed);
}

// An entry of a disc image open in the editor's workspace: every entry of the image gets its
// sounds, as import-all IMAGE writes them, and the entry that was open is open again.
TEST_F(CliImportAll, RunsOnEveryEntryOfTheOpenImageAndEndsOnTheEntryThatWasOpen) {
  testing::DiscImageBuilder builder;
  builder.Add({"XA/VOICE.XA",
               testing::SplitSectors(testing::XaBuilder(64)
                                         .Channel(1, true, false, 0, 8, 6)
                                         .Channel(2, true, false, 1, 8, 6)
                                         .Noise(3)
                                         .Bytes()),
               testing::kXaInterleavedForm2, 1});
  builder.Add({"XA/MUSIC.XA",
               testing::SplitSectors(
                   testing::XaBuilder(32).Channel(5, true, true, 0, 4, 8).Noise(4).Bytes()),
               testing::kXaInterleavedForm2, 1});
  const testing::DiscImage image = builder.Build();
  for (const char* folder : {"img", "copy"}) std::filesystem::create_directories(dir.File(folder));
  const std::string cue = image.Write(dir.File("img"));
  const std::string copy = image.Write(dir.File("copy"));
  const std::string bin = dir.File("img/" + image.binName);
  const std::string before = ReadFileBytes(bin);
  const std::string stem = std::filesystem::path(cue).stem().string();
  std::filesystem::create_directories(dir.File("disc/" + stem + "/XA"));
  Sound("disc/" + stem + "/XA/VOICE_ch002.wav", 3 * 4032);  // shorter: asks
  Sound("disc/" + stem + "/XA/MUSIC_ch005.wav", 4 * 4032);

  Workspace w;
  w.Journal.SetRoot(dir.File("undo"));  // no history of an earlier file on a reused inode
  SilentProgress silent;
  ASSERT_EQ(OpenAndScan(w.File, cue, ScanExtent::FirstSectors, silent, "/XA/VOICE.XA;1"),
            Outcome::Done);
  ASSERT_EQ(LockXaFile(w.File), 0);
  const ImportAllPlan plan =
      PlanImportAll({ImportAllTargetOf(w.File)}, dir.File("disc"), ScanExtent::WholeFile);
  ASSERT_EQ(plan.Targets.size(), 2u);
  testing::ScriptedPrompter prompter;
  prompter.LengthAnswers = {LengthChoice::KeepOriginal, LengthChoice::KeepOriginal};
  std::vector<TargetImport> done;
  ASSERT_EQ(RunImportAllOpen(w, plan, {}, silent, prompter, done), Outcome::Done);
  ASSERT_EQ(done.size(), 2u);
  for (const TargetImport& target : done) {
    ASSERT_EQ(target.Sounds.size(), 1u) << target.Path;
    EXPECT_EQ(target.Sounds[0].Result, Outcome::Done) << target.Sounds[0].Message;
  }
  EXPECT_EQ(w.File.Entry.Name, "/XA/VOICE.XA;1");
  EXPECT_EQ(w.File.AudioChannelTable.Count, 2);
  EXPECT_TRUE(w.File.Locked);

  // The same batch run by import-all on a copy of the image.
  testing::ScriptedPrompter alone;
  alone.LengthAnswers = {LengthChoice::KeepOriginal, LengthChoice::KeepOriginal};
  std::vector<TargetImport> copied;
  ASSERT_EQ(RunImportAll(PlanImportAll({copy}, dir.File("disc"), ScanExtent::WholeFile), {}, silent,
                         alone, copied),
            Outcome::Done);
  EXPECT_NE(ReadFileBytes(bin), before);
  EXPECT_EQ(ReadFileBytes(bin), ReadFileBytes(dir.File("copy/" + image.binName)));
  KeptSettings settings;
  ASSERT_EQ(UndoEdit(w, settings), Outcome::Done);
  EXPECT_EQ(ReadFileBytes(bin), before);

  // The editor's own round trip of the open entry: the WAVs its 全チャンネルをWAV出力 writes
  // are the sounds its batch finds, into the open entry alone.
  std::vector<ChannelWav> written;
  ASSERT_EQ(
      ExportEveryChannel(w.File, WavBaseOfOpenFile(w.File, dir.File("mine")), silent, written),
      Outcome::Done);
  const ImportAllPlan mine = PlanImportAllOpen(w.File, dir.File("mine"), ScanExtent::WholeFile);
  ASSERT_EQ(mine.Targets.size(), 1u);
  EXPECT_EQ(mine.Targets[0].Source.Entry, "/XA/VOICE.XA;1");
  EXPECT_EQ(mine.Targets[0].Imports.size(), 2u);
  EXPECT_TRUE(mine.Unmatched.empty());
}

}  // namespace
}  // namespace sorvane
