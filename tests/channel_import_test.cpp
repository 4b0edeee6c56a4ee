// The import command: the import, then the size adjustment, with the import's message
// shown before the adjustment's question.
#include "edit/channel_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::XaBuilder;

// Every notice, question and length dialog in the order they came.
class LoggingPrompter : public testing::ScriptedPrompter {
 public:
  std::vector<std::string> Log;
  void NotifyUser(const char* text) override {
    Log.push_back(std::string("notice: ") + text);
    ScriptedPrompter::NotifyUser(text);
  }
  bool AskOkCancel(const char* text) override {
    Log.push_back(std::string("ask: ") + text);
    return ScriptedPrompter::AskOkCancel(text);
  }
  LengthChoice ChooseLength(const char* message, const char* second) override {
    Log.push_back(std::string("length: ") + message);
    return ScriptedPrompter::ChooseLength(message, second);
  }
};

class ImportCommand : public ::testing::Test {
 protected:
  // A 200-sector file whose channel 1 (37.8k stereo) has 10 sectors at 4, 8, .. 40 and is
  // listed with an end post-gap of 156 sectors: the file has the length it should.
  void Open(int brokenSector = -1) {
    XaBuilder builder(200);
    builder.Channel(1, true, true, 4, 4, 10);
    if (brokenSector >= 0) builder.BreakSubheader(brokenSector);
    builder.Write(xaPath);
    ASSERT_EQ(OpenXaFile(xa, xaPath), 0);
    xa.AudioChannelTable.Append({1, 1, 1, 0, 4, 10, 4});
    xa.EndPostGap = 156;
  }
  void WriteWav(int sectors) {
    testing::WavBuilder(2, 37800, 16)
        .Samples16(testing::Frames16(sectors * 2016, 2, [](int i, int) { return i % 3000; }))
        .Write(wavPath);
  }

  testing::TempDir dir;
  std::string xaPath = dir.File("a.xa");
  std::string wavPath = dir.File("in.wav");
  Workspace workspace;
  XaFile& xa = workspace.File;
  testing::ScriptedProgress progress;
  LoggingPrompter prompter;
};

TEST_F(ImportCommand, AFailureIsShownBeforeTheResizeQuestion) {
  Open(20);
  WriteWav(5);
  prompter.LengthAnswers = {LengthChoice::SecondChoice};
  prompter.Answers = {true};
  EXPECT_EQ(ImportChannel(workspace, 0, wavPath, progress, prompter), Outcome::Failed);
  EXPECT_EQ(prompter.Log, (std::vector<std::string>{
                              std::string("length: ") + text::kWavShorter,
                              std::string("notice: ") + text::kBadData,
                              std::string("ask: ") + text::kAskResize,
                          }));
  EXPECT_EQ(xa.SectorCount, 4 + 5 * 4 + 156) << "the channel's new length decides the size";
}

TEST_F(ImportCommand, ACancelledLengthDialogStillBringsTheFileToItsLength) {
  Open();
  xa.EndPostGap = 100;  // the file is 56 sectors longer than it should be
  xa.ResizePermission = ResizeAllowed;
  WriteWav(12);
  prompter.LengthAnswers = {LengthChoice::Cancel};
  EXPECT_EQ(ImportChannel(workspace, 0, wavPath, progress, prompter), Outcome::Cancelled);
  EXPECT_TRUE(prompter.Notices.empty()) << "a cancel has no message";
  EXPECT_EQ(xa.SectorCount, 44 + 100);
  EXPECT_EQ(progress.Starts, 0);
}

TEST_F(ImportCommand, AnUnreadableWavIsShownAndChangesNothing) {
  Open();
  testing::WriteFileBytes(wavPath, "RIFF");
  const std::string before = testing::ReadFileBytes(xaPath);
  EXPECT_EQ(ImportChannel(workspace, 0, wavPath, progress, prompter), Outcome::Failed);
  EXPECT_EQ(prompter.Log, std::vector<std::string>{std::string("notice: ") + text::kWavCannotRead});
  EXPECT_TRUE(testing::ReadFileBytes(xaPath) == before);
}

}  // namespace
}  // namespace sorvane
