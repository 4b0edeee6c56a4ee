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

// The channel commands seen through what they reach: the file dialogs they ask for, the
// questions they put and the sound device they open. Each command does something of its
// own on one of two files, one without channels and one with a single channel, which tells
// them apart.
class ChannelCommandTest : public MainWindowTest {
 protected:
  ChannelCommandTest() {
    XaBuilder(100).Write(dir.File("empty.xa"));
    XaBuilder(100).Channel(0, true, true, 0, 4, 5).Write(dir.File("one.xa"));
  }

  // What the commands did since the last call: "choose OpenWav", "choose SaveWav",
  // "ask TEXT", "sound".
  std::vector<std::string> Seen() {
    std::vector<std::string> seen;
    for (FileDialogKind kind : files.Asked)
      seen.push_back(kind == FileDialogKind::OpenWav   ? "choose OpenWav"
                     : kind == FileDialogKind::SaveWav ? "choose SaveWav"
                                                       : "choose another");
    for (const std::string& question : prompter.Questions) seen.push_back("ask " + question);
    for (int i = 0; i < audio.Count("open"); ++i) seen.push_back("sound");
    files.Asked.clear();
    prompter.Questions.clear();
    audio.Log.clear();
    return seen;
  }

  // Opens the file with its first row selected and the list focused.
  void OpenAndSelect(const char* name) {
    Open(dir.File(name));
    form1.G->setCurrentCell(0, 1);
    form1.G->setFocus();
    Seen();
  }
};

const std::vector<std::string> kNothing;
const std::vector<std::string> kChooseWav{"choose OpenWav"};
const std::vector<std::string> kChooseWavToWrite{"choose SaveWav"};
const std::vector<std::string> kAskDelete{"ask " + DeleteQuestion(0).toStdString()};
const std::vector<std::string> kSound{"sound"};

struct KeyCase {
  Qt::Key key;
  const char* handler;
  std::vector<std::string> onEmptyFile;  // what the command did there
  std::vector<std::string> onOneChannel;
};

const KeyCase kKeys[] = {{Qt::Key_A, "ChAppendClick", kChooseWav, kChooseWav},
                         {Qt::Key_D, "ChDeleteClick", kNothing, kAskDelete},
                         {Qt::Key_I, "MenuWavIClick", kNothing, kChooseWav},
                         {Qt::Key_O, "MenuWavOClick", kNothing, kChooseWavToWrite},
                         {Qt::Key_P, "MenuPlayClick", kNothing, kSound}};

const Qt::KeyboardModifiers kModifiers[] = {
    Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier};

TEST_F(ChannelCommandTest, EachCommandKeyReachesItsCommandWhateverTheModifiers) {
  for (const KeyCase& k : kKeys) {
    for (Qt::KeyboardModifiers modifiers : kModifiers) {
      OpenAndSelect("empty.xa");
      QTest::keyClick(form1.G, k.key, modifiers);
      EXPECT_EQ(Seen(), k.onEmptyFile) << k.handler << " with modifiers " << modifiers.toInt();
      OpenAndSelect("one.xa");
      QTest::keyClick(form1.G, k.key, modifiers);
      EXPECT_EQ(Seen(), k.onOneChannel) << k.handler << " with modifiers " << modifiers.toInt();
    }
  }
  // Every file dialog was cancelled and the deletion declined: the channel is still there.
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
  EXPECT_TRUE(prompter.Notices.empty());
}

TEST_F(MainWindowTest, WithoutAFileTheCommandKeysDoNothing) {
  form1.G->setFocus();
  for (const KeyCase& k : kKeys) {
    for (Qt::KeyboardModifiers modifiers : kModifiers) QTest::keyClick(form1.G, k.key, modifiers);
  }
  EXPECT_TRUE(files.Asked.empty());
  EXPECT_TRUE(prompter.Notices.empty());
  EXPECT_TRUE(prompter.Questions.empty());
  EXPECT_TRUE(audio.Log.empty());
  EXPECT_FALSE(workspace.File.IsOpen());
}

TEST_F(ChannelCommandTest, OtherKeysKeepTheGridsOwnBehaviour) {
  XaBuilder(100)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(1, true, true, 1, 4, 5)
      .Write(dir.File("two.xa"));
  OpenAndSelect("two.xa");
  QTest::keyClick(form1.G, Qt::Key_Down);
  EXPECT_EQ(form1.G->currentRow(), 1);
  QTest::keyClick(form1.G, Qt::Key_B);
  QTest::keyClick(form1.G, Qt::Key_Up);
  EXPECT_EQ(form1.G->currentRow(), 0);
  EXPECT_EQ(Seen(), kNothing);
}

QPoint ExpectedPopupPosition(const app::TForm1& form, int row) {
  // The top-left corner of the cell in column 4, moved 10 pixels right and down.
  const int x = 32 + 32 + 61 + 60;
  const int y = 20 * row;
  return form.G->viewport()->mapToGlobal(QPoint(x + 10, y + 10));
}

TEST_F(ChannelCommandTest, EnterOpensThePopupMenuAtTheSelectedRowsPlayTimeCell) {
  XaBuilder(100)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(1, true, true, 1, 4, 5)
      .Write(dir.File("two.xa"));
  OpenAndSelect("two.xa");
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
  EXPECT_EQ(Seen(), kNothing);
}

TEST_F(MainWindowTest, WithoutAFileEnterStillOpensThePopupWhoseItemsDoNothing) {
  form1.G->setFocus();
  QTest::keyClick(form1.G, Qt::Key_Return);
  ASSERT_TRUE(form1.PopupMenu->isVisible());
  EXPECT_EQ(form1.PopupMenu->pos(), ExpectedPopupPosition(form1, 0));
  form1.PopupMenu->hide();
  for (QAction* item : form1.PopupMenu->actions()) item->trigger();
  EXPECT_EQ(form1.PopupMenu->actions().size(), 5);
  EXPECT_TRUE(files.Asked.empty());
  EXPECT_TRUE(prompter.Notices.empty());
  EXPECT_TRUE(prompter.Questions.empty());
  EXPECT_TRUE(audio.Log.empty());
  EXPECT_FALSE(workspace.File.IsOpen());
}

struct ItemCase {
  const char* popupItem;
  const char* menuItem;
  const char* handler;
  std::vector<std::string> onEmptyFile;  // what the command did there
  std::vector<std::string> onOneChannel;
};

class ChannelItemTest : public ChannelCommandTest,
                        public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ChannelItemTest, PopupAndEditMenuReachTheSameCommand) {
  for (const char* name : {GetParam().popupItem, GetParam().menuItem}) {
    auto* item = form1.findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(item, nullptr) << name;
    OpenAndSelect("empty.xa");
    item->trigger();
    EXPECT_EQ(Seen(), GetParam().onEmptyFile) << name;
    OpenAndSelect("one.xa");
    item->trigger();
    EXPECT_EQ(Seen(), GetParam().onOneChannel) << name;
  }
  // A cancelled file dialog or a declined deletion leaves the file as it was.
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
  EXPECT_TRUE(prompter.Notices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, ChannelItemTest,
    ::testing::Values(ItemCase{"PopPlay", "MenuPlay", "MenuPlayClick", kNothing, kSound},
                      ItemCase{"PopWavI", "MenuWavI", "MenuWavIClick", kNothing, kChooseWav},
                      ItemCase{"PopWavO", "MenuWavO", "MenuWavOClick", kNothing, kChooseWavToWrite},
                      ItemCase{"PopAppend", "ChAppend", "ChAppendClick", kChooseWav, kChooseWav},
                      ItemCase{"PopDelete", "ChDelete", "ChDeleteClick", kNothing, kAskDelete}),
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
