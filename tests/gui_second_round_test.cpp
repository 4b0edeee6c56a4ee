// The second round of mended faults: what a cancelled edit leaves in the list, the changing
// commands of a file the window cannot change, and the status bar at the default size.
#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/translations.h"
#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/process_tools.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QString Note(const app::TForm1& form1) {
  return form1.findChild<QLabel*>(QStringLiteral("StatusNote"))->text();
}

// A delete cancelled at its first step leaves the channel's sound in the file: the list
// scans it again and shows it, and 元に戻す takes back what was written.
TEST_F(EditorTest, ACancelledDeleteShowsWhatTheFileHoldsAndUndoTakesItBack) {
  const std::string xa = dir.File("long.xa");
  XaBuilder(400).Channel(1, true, true, 0, 4, 90).Write(xa);
  const std::string before = ReadFileBytes(xa);
  Open(xa);
  ModalScript script;
  script
      .Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(1), {Q(text::kOk), Q(text::kCancel)},
                      Q(text::kOk)))
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize),
                      {Q(text::kOk), Q(text::kCancel)}, Q(text::kCancel)));
  ProgressWatch watch(form1, form2, /*cancel=*/true);
  Run(script, [&] { form1.ChDelete->trigger(); });
  EXPECT_TRUE(watch.Pressed);
  EXPECT_EQ(Note(form1), Q(text::kNoteCancelledEdit));
  ASSERT_EQ(workspace.File.AudioChannelTable.Count, 1);  // the sound not reached is there
  EXPECT_EQ(RowTexts(form1, 0)[0], "  1");
  ModalScript none;
  Run(none, [&] { form1.MenuUndo->trigger(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

struct HeldCase {
  const char* name;
  bool readOnly;  // else another program holds the lock
  const char* note;
};

class UnchangeableTest : public EditorTest, public ::testing::WithParamInterface<HeldCase> {};

// Nothing is asked of a file the window cannot change: the changing items are off, and the
// keys say why in the status bar without opening the file chooser.
TEST_P(UnchangeableTest, OffersNoChangingItemAndSaysWhy) {
  const std::string xa = dir.File("a.xa");
  WriteTwoChannels(xa);
  std::unique_ptr<LockHolder> other;
  if (!GetParam().readOnly) other = std::make_unique<LockHolder>(xa);
  Open(xa);
  workspace.File.ReadOnly = GetParam().readOnly;
  form1.RefreshList();
  for (QAction* item : {form1.MenuWavI, form1.ChAppend, form1.ChDelete, form1.PopWavI,
                        form1.PopAppend, form1.PopDelete})
    EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
  EXPECT_TRUE(form1.MenuPlay->isEnabled());
  ModalScript none;
  for (Qt::Key key : {Qt::Key_I, Qt::Key_A, Qt::Key_D})
    Run(none, [&] { QTest::keyClick(form1.G, key); });
  EXPECT_TRUE(files.Asked.empty());
  EXPECT_EQ(Note(form1), Q(GetParam().note));
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 2);
}

INSTANTIATE_TEST_SUITE_P(Files, UnchangeableTest,
                         ::testing::Values(HeldCase{"ReadOnly", true, text::kNoteReadOnly},
                                           HeldCase{"InUse", false, text::kNoteInUse}),
                         [](const auto& info) { return std::string(info.param.name); });

// At the default size the access notice comes first and is whole; a long note elides and
// keeps its whole text as its tooltip.
TEST_F(EditorTest, TheStatusBarPutsTheAccessNoticeFirstAndElidesTheRest) {
  const std::string xa = dir.File("a.xa");
  WriteTwoChannels(xa);
  Open(xa);
  workspace.File.ReadOnly = true;
  form1.RefreshList();
  form1.show();
  QTest::qWaitForWindowExposed(&form1);
  auto* access = form1.findChild<QLabel*>(QStringLiteral("StatusAccess"));
  auto* layout = form1.findChild<QLabel*>(QStringLiteral("StatusLayout"));
  auto* note = form1.findChild<QLabel*>(QStringLiteral("StatusNote"));
  EXPECT_LT(access->x(), layout->x());
  EXPECT_GE(access->width(), access->sizeHint().width());
  EXPECT_EQ(note->text(), Q(text::kNoteReadOnly));
  EXPECT_TRUE(note->toolTip().startsWith(note->text()));
  EXPECT_LE(note->geometry().right(), form1.statusBar()->width());
  form1.hide();
}

// A post-gap changed after a delete (no resize: forbidden) is the newest step: Ctrl+Z takes
// back the gap alone, the next the delete; Ctrl+Y redoes them in order.
TEST_F(EditorTest, ASettingsChangeIsAStepOfTheHistoryInOrderWithTheEdits) {
  const std::string xa = dir.File("a.xa");
  WriteTwoChannels(xa);
  const std::string before = ReadFileBytes(xa);
  Open(xa);
  workspace.File.ResizePermission = ResizeForbidden;
  form1.G->setCurrentCell(0, 1);
  ModalScript deletion;
  deletion.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(2),
                          {Q(text::kOk), Q(text::kCancel)}, Q(text::kOk)));
  Run(deletion, [&] { form1.ChDelete->trigger(); });
  const std::string deleted = ReadFileBytes(xa);
  const std::int32_t gap = workspace.File.ChannelPostGap;
  ModalScript settings;
  settings.Then([&](QWidget*) {
    form4.Gap1->setText(QStringLiteral("0.0"));
    ClickLater(form4.Button1);
  });
  Run(settings, [&] { form1.MenuGap->trigger(); });
  ASSERT_EQ(workspace.File.ChannelPostGap, 0);
  ASSERT_NE(gap, 0);
  // Ctrl+Z and Ctrl+Y are these items' shortcuts.
  const auto key = [&](Qt::Key k) {
    ModalScript none;
    Run(none, [&] { (k == Qt::Key_Z ? form1.MenuUndo : form1.MenuRedo)->trigger(); });
  };
  key(Qt::Key_Z);  // the gap only
  EXPECT_EQ(workspace.File.ChannelPostGap, gap);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  key(Qt::Key_Z);  // then the delete
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 2);
  key(Qt::Key_Y);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  EXPECT_EQ(workspace.File.ChannelPostGap, gap);
  key(Qt::Key_Y);
  EXPECT_EQ(workspace.File.ChannelPostGap, 0);
  EXPECT_FALSE(form1.MenuRedo->isEnabled());
}

// Every menu, the menu bar and the popup menu, in both languages: no two items share a
// mnemonic.
TEST(MenuMnemonics, NoTwoItemsOfOneMenuShareOne) {
  for (const app::UiLanguage language : {app::UiLanguage::English, app::UiLanguage::Japanese}) {
    app::InstallTranslations(language);
    Workspace other;
    app::TForm1 form{other};
    for (const QWidget* menu : std::initializer_list<const QWidget*>{
             form.MainMenu, form.MenuFile, form.MenuShow, form.MenuEdit, form.PopupMenu}) {
      QSet<QString> seen;
      for (const QAction* item : menu->actions()) {
        const QString key = QKeySequence::mnemonic(item->text()).toString();
        if (key.isEmpty()) continue;
        EXPECT_FALSE(seen.contains(key)) << item->text().toStdString();
        seen.insert(key);
      }
    }
  }
  app::InstallTranslations(app::UiLanguage::Japanese);
}

}  // namespace
}  // namespace sorvane::testing
