// 編集 > 元に戻す and やり直し in the editor, the question about an edit a crash left
// unfinished, and a file that another program holds.
#include <sndfile.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "common/fixed_texts.h"
#include "edit/edit_history.h"
#include "edit/file_open.h"
#include "edit/file_settings.h"
#include "gui_support.h"
#include "support/failing_file_io.h"
#include "support/process_tools.h"
#include "support/scripted_ui.h"
#include "support/signals.h"
#include "support/sound_file_writer.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const QStringList kOkOnly{Q(text::kOk)};
const QStringList kOkCancel{Q(text::kOk), Q(text::kCancel)};

class HistoryTest : public EditorTest {
 protected:
  void SetUp() override {
    workspace.Journal.SetRoot(dir.File("undo"));
    XaBuilder(300)
        .Channel(0, true, true, 0, 4, 10)
        .Channel(1, true, true, 1, 4, 10)
        .Channel(2, true, true, 2, 4, 10)
        .Write(xa);
    before = ReadFileBytes(xa);
  }
  int Rows() const { return form1.G->rowCount(); }
  // A key as a person presses it, in the active window.
  void Key(int key) {
    form1.show();
    form1.activateWindow();
    // Not qWaitForWindowActive: a window counts as active while the focus is still on one
    // of its own windows, such as the progress window that has just been hidden.
    QTRY_VERIFY(QApplication::activeWindow() == &form1);
    form1.G->setFocus();
    QTest::keyClick(form1.G, Qt::Key(key), Qt::ControlModifier);
  }

  std::string xa = dir.File("three.xa");
  std::string before;
};

TEST_F(HistoryTest, CtrlZTakesADeleteBackAndCtrlYDoesItAgain) {
  Open(xa);
  // The window holds the file: nothing to say about access.
  EXPECT_TRUE(form1.findChild<QLabel*>(QStringLiteral("StatusAccess"))->text().isEmpty());
  EXPECT_FALSE(form1.MenuUndo->isEnabled());
  EXPECT_FALSE(form1.MenuRedo->isEnabled());
  form1.G->setCurrentCell(1, 1);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(1), kOkCancel, Q(text::kOk)));
  Run(script, [&] { form1.ChDeleteClick(); });
  const std::string deleted = ReadFileBytes(xa);
  ASSERT_NE(deleted, before);
  EXPECT_EQ(Rows(), 2);
  EXPECT_TRUE(form1.MenuUndo->isEnabled());

  Key(Qt::Key_Z);
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(Rows(), 3);
  // Undo scans the whole file again: no hint that only the first sectors were scanned.
  EXPECT_TRUE(form1.findChild<QLabel*>(QStringLiteral("StatusScan"))->text().isEmpty());
  EXPECT_FALSE(form1.MenuUndo->isEnabled());
  EXPECT_TRUE(form1.MenuRedo->isEnabled());

  Key(Qt::Key_Y);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  EXPECT_EQ(Rows(), 2);
  EXPECT_TRUE(form1.MenuUndo->isEnabled());
  EXPECT_FALSE(form1.MenuRedo->isEnabled());
}

// An undo gives back the three settings as they were before the edit, not what the scan
// would make of the file.
TEST_F(HistoryTest, UndoGivesBackTheFileSettings) {
  Open(xa);
  const FileSettings original = CurrentSettings(workspace.File);
  ASSERT_EQ(ApplyFileSettings(workspace, {0, 3, ResizeAllowed}, prompter), Outcome::Done);
  form1.RefreshList();
  ASSERT_NE(ReadFileBytes(xa), before);
  form1.MenuUndoClick();
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  const FileSettings now = CurrentSettings(workspace.File);
  EXPECT_EQ(now.ChannelPostGap, original.ChannelPostGap);
  EXPECT_EQ(now.EndPostGap, original.EndPostGap);
  EXPECT_EQ(now.ResizePermission, original.ResizePermission);
  form1.MenuRedoClick();
  EXPECT_EQ(CurrentSettings(workspace.File).EndPostGap, 3);
  EXPECT_EQ(workspace.File.ResizePermission, ResizeAllowed);
}

TEST_F(HistoryTest, ARefusedUndoSaysWhy) {
  Open(xa);
  form1.G->setCurrentCell(0, 1);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(0), kOkCancel, Q(text::kOk)));
  Run(script, [&] { form1.ChDeleteClick(); });
  std::string changed = ReadFileBytes(xa);
  changed[100] = char(changed[100] ^ 1);
  WriteFileBytes(xa, changed);
  ModalScript refusal;
  refusal.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kChangedSince), kOkOnly, Q(text::kOk)));
  Run(refusal, [&] { form1.MenuUndoClick(); });
  EXPECT_EQ(ReadFileBytes(xa), changed);
}

// A sound that ends long before the length its header states: the editor says
// "読み取りエラー", and the file, the list and the history are as before the import; the
// status bar knows that the whole file was scanned to put it back.
TEST_F(HistoryTest, AnImportWhoseSoundCannotBeReadToTheEndIsTakenBack) {
  const std::string flac = dir.File("short.flac");
  // Ten 37.8k stereo sectors' worth, so that no length question comes first.
  const auto sound = ChordWithSweep(37800, 20160 / 37800.0, 2);
  ASSERT_TRUE(WriteSoundFile(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 37800, sound));
  const std::string bytes = ReadFileBytes(flac);
  WriteFileBytes(flac, bytes.substr(0, bytes.size() / 3));
  Open(xa);
  QLabel* scan = form1.findChild<QLabel*>(QStringLiteral("StatusScan"));
  ASSERT_FALSE(scan->text().isEmpty());  // only the first sectors were scanned on open
  form1.G->setCurrentCell(1, 1);
  files.Answers = {flac};
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kReadError), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.MenuWavIClick(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(Rows(), 3);
  EXPECT_FALSE(form1.MenuUndo->isEnabled());
  EXPECT_FALSE(form1.MenuRedo->isEnabled());
  // Putting the file back scanned all of it.
  EXPECT_TRUE(scan->text().isEmpty());
}

// Leaves an edit of `path` unfinished, as a process killed after writing two sectors does.
void LeaveUnfinishedEdit(const std::string& path, const std::string& journal) {
  auto work = std::make_unique<Workspace>();
  work->Journal.SetRoot(journal);
  ScriptedProgress progress;
  ASSERT_EQ(OpenAndScan(work->File, path, ScanExtent::WholeFile, progress), Outcome::Done);
  ASSERT_EQ(StartEdit(*work, "import"), Outcome::Done);
  std::uint8_t sector[kSectorBytes];
  MakeEmptySector(work->File, sector, false);
  ASSERT_EQ(WriteSector(work->File, 0, sector), 0);
  ASSERT_EQ(WriteSector(work->File, 4, sector), 0);
  work->File.Journal = nullptr;
}

TEST_F(HistoryTest, OpeningAfterACrashOffersToPutTheFileBack) {
  LeaveUnfinishedEdit(xa, dir.File("undo"));
  const std::string interrupted = ReadFileBytes(xa);
  ASSERT_NE(interrupted, before);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption),
                        Q(text::kAskRecover) + "\n\n" + QString::fromStdString(xa), kOkCancel,
                        Q(text::kOk)));
  Run(script, [&] { form1.OpenByPath(xa); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(Rows(), 3);
  EXPECT_TRUE(form1.MenuRedo->isEnabled());
}

TEST_F(HistoryTest, DecliningTheRecoveryKeepsTheEditUndoable) {
  LeaveUnfinishedEdit(xa, dir.File("undo"));
  const std::string interrupted = ReadFileBytes(xa);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption),
                        Q(text::kAskRecover) + "\n\n" + QString::fromStdString(xa), kOkCancel,
                        Q(text::kCancel)));
  Run(script, [&] { form1.OpenByPath(xa); });
  EXPECT_TRUE(ReadFileBytes(xa) == interrupted);
  // Asked once: opening again does not ask.
  ModalScript none;
  Run(none, [&] { form1.OpenByPath(xa); });
  ASSERT_TRUE(form1.MenuUndo->isEnabled());
  form1.MenuUndoClick();
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

// An undo that stopped after it had marked its entry, before it wrote the file (its disk
// failed there): opening the file completes it before the file is read, with no question.
TEST_F(HistoryTest, OpeningCompletesAnInterruptedUndo) {
  LeaveUnfinishedEdit(xa, dir.File("undo"));
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 60) << "no call of the undo left it half done";
    auto work = std::make_unique<Workspace>();
    work->Journal.SetRoot(dir.File("undo"));
    ASSERT_EQ(OpenForHistory(work->File, xa), Outcome::Done);
    FailingFileIo failing;
    failing.FailAt = k;
    failing.StaysFailing = true;
    work->File.Io = &failing;
    KeptSettings settings;
    if (UndoEdit(*work, settings) == Outcome::Done) FAIL() << "the undo went through at " << k;
    if (work->Journal.HasInterrupted(work->File)) break;
  }
  ModalScript none;
  Run(none, [&] { form1.OpenByPath(xa); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(Rows(), 3);
  EXPECT_FALSE(form1.MenuUndo->isEnabled());
  EXPECT_TRUE(form1.MenuRedo->isEnabled());
}

// Another process holds the lock while the editor opens the file: it opens, edits are
// refused with the reason, and no recovery question is put for an edit that may be running.
TEST_F(HistoryTest, AFileAnotherProgramHoldsOpensButIsNotChanged) {
  const LockHolder other(xa);
  ASSERT_TRUE(other.Held());
  Open(xa);
  EXPECT_EQ(Rows(), 3);
  auto* access = form1.findChild<QLabel*>(QStringLiteral("StatusAccess"));
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->text(), Q(text::kStatusInUse));
  form1.G->setCurrentCell(0, 1);
  ModalScript script;
  Run(script, [&] { form1.ChDeleteClick(); });
  EXPECT_EQ(form1.findChild<QLabel*>(QStringLiteral("StatusNote"))->text(), Q(text::kNoteInUse));
  EXPECT_EQ(ReadFileBytes(xa), before);
}

}  // namespace
}  // namespace sorvane::testing
