// The second round of mended faults: what a cancelled edit leaves in the list, the changing
// commands of a file the window cannot change, and the status bar at the default size.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/translations.h"
#include "common/fixed_texts.h"
#include "edit/file_open.h"
#include "edit/file_settings.h"
#include "edit/workspace.h"
#include "gui_support.h"
#include "support/process_tools.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

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
                        form1.PopAppend, form1.PopDelete, form1.MenuGap})
    EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
  EXPECT_TRUE(form1.MenuPlay->isEnabled());
  ModalScript none;
  for (Qt::Key key : {Qt::Key_I, Qt::Key_A, Qt::Key_D})
    Run(none, [&] { QTest::keyClick(form1.G, key); });
  Run(none, [&] { form1.MenuGapClick(); });  // no dialog either
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

// The history's steps as a person takes them: a delete, a channel gap of 0 in 設定, and
// 元に戻す or やり直し (Ctrl+Z and Ctrl+Y are these items' shortcuts).
class HistoryStepsTest : public EditorTest {
 protected:
  void DeleteRow(int row, int channel) {
    form1.G->setCurrentCell(row, 1);
    ModalScript deletion;
    deletion.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(channel),
                            {Q(text::kOk), Q(text::kCancel)}, Q(text::kOk)));
    Run(deletion, [&] { form1.ChDelete->trigger(); });
  }
  void ZeroChannelGap() {
    ModalScript settings;
    settings.Then([&](QWidget*) {
      form4.Gap1->setText(QStringLiteral("0.0"));
      ClickLater(form4.Button1);
    });
    Run(settings, [&] { form1.MenuGap->trigger(); });
  }
  void Press(QAction* item) {
    ModalScript none;
    Run(none, [&] { item->trigger(); });
  }
};

// A post-gap changed after a delete (no resize: forbidden) is the newest step: Ctrl+Z takes
// back the gap alone, the next the delete; Ctrl+Y redoes them in order.
TEST_F(HistoryStepsTest, ASettingsChangeIsAStepOfTheHistoryInOrderWithTheEdits) {
  const std::string xa = dir.File("a.xa");
  WriteTwoChannels(xa);
  const std::string before = ReadFileBytes(xa);
  Open(xa);
  workspace.File.ResizePermission = ResizeForbidden;
  DeleteRow(0, 2);
  const std::string deleted = ReadFileBytes(xa);
  const std::int32_t gap = workspace.File.ChannelPostGap;
  ZeroChannelGap();
  ASSERT_EQ(workspace.File.ChannelPostGap, 0);
  ASSERT_NE(gap, 0);
  Press(form1.MenuUndo);  // the gap only
  EXPECT_EQ(workspace.File.ChannelPostGap, gap);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  Press(form1.MenuUndo);  // then the delete
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 2);
  Press(form1.MenuRedo);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  EXPECT_EQ(workspace.File.ChannelPostGap, gap);
  Press(form1.MenuRedo);
  EXPECT_EQ(workspace.File.ChannelPostGap, 0);
  EXPECT_FALSE(form1.MenuRedo->isEnabled());
}

// What the status bar says after a command, each sentence on its own line and whole at the
// default window size. Channel 1 has 10 stereo sectors at 4, 8, ... in 60 sectors; the WAV
// holds 20 sectors' sound, longer than the channel, and the file's post-gap leaves no room
// for more when its size stays.
class StatusNoteTest;
struct DoneCase {
  const char* name;
  void (*answer)(StatusNoteTest&, ModalScript&);  // the command's files and windows
  void (app::TForm1::*command)();
  bool cancel;  // キャンセル in the progress window
  std::vector<QString> lines;
};

class StatusNoteTest : public EditorTest, public ::testing::WithParamInterface<DoneCase> {
 public:
  void ChooseWav() { files.Answers = {dir.File("in.wav")}; }
  // The length dialog answered with its first or second choice.
  ModalScript::Step Length(bool second) {
    return [this, second](QWidget*) {
      if (second) form3.Sel2->setChecked(true);
      ClickLater(form3.Button1);
    };
  }
  void ExportTo(const char* name) { files.Answers = {dir.File(name)}; }
  // The append dialog's proposal taken, the file let grow.
  void Append(ModalScript& script) {
    files.Answers = {dir.File("in.wav")};
    script.Then([this](QWidget*) { ClickLater(form5.OKButton); })
        .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize),
                        {Q(text::kOk), Q(text::kCancel)}, Q(text::kOk)));
  }
};

// The channels and lengths that opening the file afresh lists.
std::vector<std::pair<int, int>> Listed(const XaFile& xa) {
  std::vector<std::pair<int, int>> rows;
  for (const ChannelRecord& r : xa.AudioChannelTable) rows.emplace_back(r.Channel, r.SectorCount);
  return rows;
}

std::vector<std::pair<int, int>> ListedAfterOpen(const std::string& path) {
  auto fresh = std::make_unique<Workspace>();
  SilentProgress silent;
  if (OpenAndScan(fresh->File, path, ScanExtent::FirstSectors, silent) != Outcome::Done) return {};
  return Listed(fresh->File);
}

// A note's lines as the status bar shows them: each sentence on its own.
QStringList Sentences(const QString& note) {
  QStringList lines;
  for (const QString& line : note.split(u'\n')) {
    const QStringList parts = line.split(u'。');
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i + 1 < parts.size())
        lines << parts[i] + u'。';
      else if (!parts[i].isEmpty())
        lines << parts[i];
    }
  }
  return lines;
}

TEST_P(StatusNoteTest, SaysWhatWasDoneWholeAtTheDefaultSize) {
  const DoneCase& c = GetParam();
  const std::string xa = dir.File("a.xa");
  XaBuilder(60).Channel(1, true, true, 4, 4, 10).Write(xa);
  WavBuilder(2, 37800, 16)
      .Samples16(Frames16(20 * 2016, 2, [](int i, int) { return (i * 37) % 8000; }))
      .Write(dir.File("in.wav"));
  std::filesystem::create_directory(dir.File("wavs"));
  Open(xa);
  form1.show();
  QTest::qWaitForWindowExposed(&form1);
  ModalScript script;
  c.answer(*this, script);
  ProgressWatch watch(form1, form2, c.cancel);
  Run(script, [&] { (form1.*c.command)(); });
  auto* note = form1.findChild<QLabel*>(QStringLiteral("StatusNote"));
  const QString expected = QStringList(c.lines.begin(), c.lines.end()).join(u'\n');
  EXPECT_EQ(note->text().toStdString(),
            QString(expected).replace("DIR/", QString::fromStdString(dir.File(""))).toStdString());
  EXPECT_EQ(watch.Pressed, c.cancel);
  QApplication::processEvents();
  EXPECT_GE(note->height(), note->sizeHint().height());  // no line cut off below
  // A folder's path is as long as it is: it may elide, its whole text the tooltip.
  EXPECT_TRUE(note->toolTip().startsWith(note->text()));
  for (const QString& line : Sentences(note->text())) {
    if (line.contains(QString::fromStdString(dir.Path()))) continue;
    EXPECT_LE(note->fontMetrics().horizontalAdvance(line), note->contentsRect().width())
        << line.toStdString();
  }
  if (c.cancel) EXPECT_EQ(Listed(workspace.File), ListedAfterOpen(xa));  // what it holds
  form1.hide();
}

const DoneCase kDoneCases[] = {
    {"ImportCutToTheChannel",
     [](StatusNoteTest& t, ModalScript& s) {
       t.ChooseWav();
       s.Then(t.Length(false));
     },
     &app::TForm1::MenuWavIClick,
     false,
     {Q(text::kNoteImported).arg(1).arg("0:00.40"), Q(text::kSoundCut) + "0:01.05 → 0:00.40"}},
    {"ImportCutToTheFile",
     [](StatusNoteTest& t, ModalScript& s) {
       t.ChooseWav();
       s.Then(t.Length(true))
           .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize),
                           {Q(text::kOk), Q(text::kCancel)}, Q(text::kCancel)));
     },
     &app::TForm1::MenuWavIClick,
     false,
     {Q(text::kNoteImported).arg(1).arg("0:00.40"), Q(text::kSoundCut) + "0:01.05 → 0:00.40",
      Q(text::kSoundCutBySize)}},
    {"ImportCancelled",
     [](StatusNoteTest& t, ModalScript& s) {
       t.ChooseWav();
       s.Then(t.Length(false));
     },
     &app::TForm1::MenuWavIClick,
     true,
     {Q(text::kNoteCancelledEdit)}},
    {"AppendCancelled",
     [](StatusNoteTest& t, ModalScript& s) { t.Append(s); },
     &app::TForm1::ChAppendClick,
     true,
     {Q(text::kNoteCancelledEdit)}},
    {"Export",
     [](StatusNoteTest& t, ModalScript&) { t.ExportTo("out.wav"); },
     &app::TForm1::MenuWavOClick,
     false,
     {Q(text::kNoteExported).arg(1).arg("out.wav")}},
    {"ExportAll",
     [](StatusNoteTest& t, ModalScript&) { t.ExportTo("wavs"); },
     &app::TForm1::MenuExportAllClick,
     false,
     {Q(text::kNoteExportedAll).arg(1).arg("DIR/wavs")}},
};

INSTANTIATE_TEST_SUITE_P(Commands, StatusNoteTest, ::testing::ValuesIn(kDoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With the journal full (its 20 entries), a new edit drops the oldest entry and the count
// stays: the order of a settings step and the edit after it still holds both ways.
TEST_F(HistoryStepsTest, ASettingsStepKeepsItsPlaceWhenTheJournalIsFull) {
  const std::string xa = dir.File("a.xa");
  WriteTwoChannels(xa);
  Open(xa);
  for (int i = 0; i < 21; ++i) {  // each resizes the file: one entry each
    FileSettings grow = CurrentSettings(workspace.File);
    grow.ResizePermission = ResizeAllowed;
    grow.EndPostGap = 150 + i % 2 * 10;
    ASSERT_EQ(ApplyFileSettings(workspace, grow, prompter), Outcome::Done);
  }
  ASSERT_EQ(workspace.Journal.List(workspace.File, JournalDirection::Undo, false).size(), 20u);
  form1.RefreshList();
  const std::int32_t gap = workspace.File.ChannelPostGap;
  ZeroChannelGap();
  ASSERT_EQ(workspace.File.ChannelPostGap, 0);
  const std::string beforeDelete = ReadFileBytes(xa);
  DeleteRow(0, 2);
  const std::string deleted = ReadFileBytes(xa);
  ASSERT_FALSE(deleted == beforeDelete);
  Press(form1.MenuUndo);  // the delete, newest
  EXPECT_TRUE(ReadFileBytes(xa) == beforeDelete);
  EXPECT_EQ(Note(form1), Q(text::kNoteUndone));  // no longer the delete's note
  EXPECT_EQ(workspace.File.ChannelPostGap, 0);
  Press(form1.MenuUndo);  // then the gap
  EXPECT_EQ(workspace.File.ChannelPostGap, gap);
  EXPECT_TRUE(ReadFileBytes(xa) == beforeDelete);
  Press(form1.MenuRedo);  // the gap again, then the delete
  EXPECT_EQ(workspace.File.ChannelPostGap, 0);
  EXPECT_TRUE(ReadFileBytes(xa) == beforeDelete);
  Press(form1.MenuRedo);
  EXPECT_TRUE(ReadFileBytes(xa) == deleted);
  EXPECT_EQ(Note(form1), Q(text::kNoteRedone));
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
