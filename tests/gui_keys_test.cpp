// The keys of the channel list, the popup menu opened by Enter, and the guards of the
// channel commands that the keys and the popup reach whatever the state of the Edit menu.
#include <QAction>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

using app::FileDialogKind;

struct KeyCase {
  Qt::Key key;
  const char* handler;
};

constexpr KeyCase kKeys[] = {{Qt::Key_A, "ChAppendClick"},
                             {Qt::Key_D, "ChDeleteClick"},
                             {Qt::Key_I, "MenuWavIClick"},
                             {Qt::Key_O, "MenuWavOClick"},
                             {Qt::Key_P, "MenuPlayClick"}};

const Qt::KeyboardModifiers kModifiers[] = {
    Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier};

TEST_F(MainWindowTest, EachCommandKeyReachesItsHandlerWhateverTheModifiers) {
  form1.G->setFocus();
  for (const KeyCase& k : kKeys) {
    for (Qt::KeyboardModifiers modifiers : kModifiers) {
      handlers.clear();
      QTest::keyClick(form1.G, k.key, modifiers);
      EXPECT_EQ(handlers, std::vector<QString>{QString::fromLatin1(k.handler)})
          << k.handler << " with modifiers " << modifiers.toInt();
    }
  }
  // No file is open: none of them did anything.
  EXPECT_TRUE(files.Asked.empty());
  EXPECT_TRUE(prompter.Notices.empty());
  EXPECT_TRUE(prompter.Questions.empty());
}

TEST_F(MainWindowTest, OtherKeysKeepTheGridsOwnBehaviour) {
  XaBuilder(100)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(1, true, true, 1, 4, 5)
      .Write(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  form1.G->setFocus();
  form1.G->setCurrentCell(0, 1);
  QTest::keyClick(form1.G, Qt::Key_Down);
  EXPECT_EQ(form1.G->currentRow(), 1);
  QTest::keyClick(form1.G, Qt::Key_B);
  QTest::keyClick(form1.G, Qt::Key_Up);
  EXPECT_EQ(form1.G->currentRow(), 0);
  EXPECT_TRUE(handlers.empty());
}

QPoint ExpectedPopupPosition(const app::TForm1& form, int row) {
  // The top-left corner of the cell in column 4, moved 10 pixels right and down.
  const int x = 32 + 32 + 61 + 60;
  const int y = 20 * row;
  return form.G->viewport()->mapToGlobal(QPoint(x + 10, y + 10));
}

TEST_F(MainWindowTest, EnterOpensThePopupMenuAtTheSelectedRowsPlayTimeCell) {
  XaBuilder(100)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(1, true, true, 1, 4, 5)
      .Write(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  form1.G->setFocus();
  for (int row : {0, 1}) {
    form1.G->setCurrentCell(row, 1);
    QTest::keyClick(form1.G, Qt::Key_Return);
    ASSERT_TRUE(form1.PopupMenu->isVisible()) << row;
    EXPECT_EQ(form1.PopupMenu->pos(), ExpectedPopupPosition(form1, row)) << row;
    form1.PopupMenu->hide();
  }
  QTest::keyClick(form1.G, Qt::Key_Enter);
  EXPECT_TRUE(form1.PopupMenu->isVisible());
  form1.PopupMenu->hide();
  EXPECT_TRUE(handlers.empty());
}

TEST_F(MainWindowTest, WithoutAFileEnterStillOpensThePopupWhoseItemsDoNothing) {
  form1.G->setFocus();
  QTest::keyClick(form1.G, Qt::Key_Return);
  ASSERT_TRUE(form1.PopupMenu->isVisible());
  EXPECT_EQ(form1.PopupMenu->pos(), ExpectedPopupPosition(form1, 0));
  form1.PopupMenu->hide();
  for (QAction* item : form1.PopupMenu->actions()) item->trigger();
  EXPECT_EQ(handlers.size(), 5u);
  EXPECT_TRUE(files.Asked.empty());
  EXPECT_TRUE(prompter.Notices.empty());
  EXPECT_FALSE(form1.FileOpen);
}

struct ItemCase {
  const char* popupItem;
  const char* menuItem;
  const char* handler;
  std::vector<FileDialogKind> dialogs;  // asked for when a channel is selected
};

class ChannelCommandTest : public MainWindowTest, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ChannelCommandTest, PopupAndEditMenuReachTheHandlerWhichAsksForItsFile) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 5).Write(dir.File("one.xa"));
  Open(dir.File("one.xa"));
  for (const char* name : {GetParam().popupItem, GetParam().menuItem}) {
    handlers.clear();
    files.Asked.clear();
    form1.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    EXPECT_EQ(handlers, std::vector<QString>{QString::fromLatin1(GetParam().handler)}) << name;
    EXPECT_EQ(files.Asked, GetParam().dialogs) << name;
  }
  // A cancelled file dialog leaves the file as it was.
  EXPECT_TRUE(form1.FileOpen);
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
  EXPECT_TRUE(prompter.Notices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, ChannelCommandTest,
    ::testing::Values(ItemCase{"PopPlay", "MenuPlay", "MenuPlayClick", {}},
                      ItemCase{"PopWavI", "MenuWavI", "MenuWavIClick", {FileDialogKind::OpenWav}},
                      ItemCase{"PopWavO", "MenuWavO", "MenuWavOClick", {FileDialogKind::SaveWav}},
                      ItemCase{"PopAppend", "ChAppend", "ChAppendClick", {FileDialogKind::OpenWav}},
                      ItemCase{"PopDelete", "ChDelete", "ChDeleteClick", {}}),
    [](const auto& info) { return std::string(info.param.handler); });

TEST_F(MainWindowTest, AnOpenFileWithoutChannelsOffersOnlyTheAppend) {
  XaBuilder(100).Write(dir.File("empty.xa"));
  Open(dir.File("empty.xa"));
  form1.MenuPlayClick();
  form1.MenuWavIClick();
  form1.MenuWavOClick();
  form1.ChDeleteClick();
  EXPECT_TRUE(files.Asked.empty());
  form1.ChAppendClick();
  EXPECT_EQ(files.Asked, std::vector<FileDialogKind>{FileDialogKind::OpenWav});
  EXPECT_TRUE(prompter.Questions.empty());
}

TEST_F(MainWindowTest, AppendRefusesAFullTableBeforeAskingForAWav) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 5).Write(dir.File("one.xa"));
  Open(dir.File("one.xa"));
  workspace.File.AudioChannelTable.Count = kMaxRecords;
  form1.ChAppendClick();
  EXPECT_EQ(prompter.Notices, std::vector<std::string>{text::kTableFull});
  EXPECT_TRUE(files.Asked.empty());
}

}  // namespace
}  // namespace sorvane::testing
