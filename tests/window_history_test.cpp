// The window's order of settings steps and journal entries, as numbers of the journal's
// newest undo entry would tell it.
#include "app/window_history.h"

#include <gtest/gtest.h>

namespace sorvane::testing {
namespace {

FileSettings Gaps(int channelGap) { return {channelGap, 150, ResizeAsk}; }

// Opened with entries 7 and 8 in the journal from before: the first look is not an edit.
class WindowHistoryTest : public ::testing::Test {
 protected:
  WindowHistoryTest() { history.Notice(8); }
  app::WindowHistory history;
};

TEST_F(WindowHistoryTest, AnEditAfterASettingsStepComesFirstBackWhateverTheJournalsCount) {
  history.SettingsChanged(Gaps(150), Gaps(0));
  history.Notice(9);  // a full journal dropped entry 7 for it: the count did not move
  EXPECT_FALSE(history.UndoesSettings());
  history.JournalMoved(false, 8);
  ASSERT_TRUE(history.UndoesSettings());
  EXPECT_EQ(history.UndoSettings().ChannelPostGap, 150);
  EXPECT_FALSE(history.UndoesSettings());  // entry 8, from before: the journal's turn
  ASSERT_TRUE(history.RedoesSettings());
  EXPECT_EQ(history.RedoSettings().ChannelPostGap, 0);
  EXPECT_FALSE(history.RedoesSettings());  // then the edit, the journal's redo
}

TEST_F(WindowHistoryTest, AnEntryFromBeforeKeepsItsPlaceOnceTakenBack) {
  history.JournalMoved(false, 7);  // entry 8 undone
  history.SettingsChanged(Gaps(150), Gaps(0));
  EXPECT_FALSE(history.RedoesSettings());
  history.JournalMoved(true, 10);  // entry 8 redone, written again as 10
  history.Notice(10);              // seen already: no new edit
  EXPECT_FALSE(history.UndoesSettings());
  history.JournalMoved(false, 7);
  EXPECT_TRUE(history.UndoesSettings());
}

TEST_F(WindowHistoryTest, ANewEditForgetsTheSettingsStepsUndone) {
  history.SettingsChanged(Gaps(150), Gaps(0));
  history.UndoSettings();
  ASSERT_TRUE(history.RedoesSettings());
  history.Notice(9);
  EXPECT_FALSE(history.RedoesSettings());
  history.Forget();
  history.Notice(3);  // another file: its first look again
  EXPECT_FALSE(history.UndoesSettings());
}

}  // namespace
}  // namespace sorvane::testing
