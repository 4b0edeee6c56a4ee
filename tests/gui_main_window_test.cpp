// The main window as designed, and the ways a file is opened, created and closed.
#include <QApplication>
#include <QDropEvent>
#include <QFont>
#include <QFontInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSet>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <filesystem>

#include "app/editor_forms.h"
#include "app/interleave_map_view.h"
#include "app/waveform_view.h"
#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/sound_channel.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

using app::FileDialogKind;

QString Q(const char* text) { return QString::fromUtf8(text); }

struct MenuItemDesign {
  const char* menu;
  const char* name;
  const char* caption;
};

// Every item of the main menu, in order.
constexpr MenuItemDesign kMenuItems[] = {
    {"MenuFile", "MenuNew", text::kMenuNew},
    {"MenuFile", "MenuOpen", text::kMenuOpen},
    {"MenuFile", "MenuFind", text::kMenuFind},
    {"MenuFile", "MenuGap", text::kMenuGap},
    {"MenuFile", "MenuExportAll", text::kMenuExportAll},
    {"MenuFile", "MenuHighQuality", text::kMenuHighQuality},
    {"MenuFile", "MenuRecent", text::kMenuRecent},
    {"MenuFile", "MenuExit", text::kMenuExit},
    {"MenuShow", "MenuSp1", text::kMenuSp1},
    {"MenuShow", "MenuSpS", text::kMenuSpS},
    {"MenuShow", "MenuSpH", text::kMenuSpH},
    {"MenuEdit", "MenuPlay", text::kMenuPlay},
    {"MenuEdit", "MenuWavI", text::kMenuWavI},
    {"MenuEdit", "MenuWavO", text::kMenuWavO},
    {"MenuEdit", "ChAppend", text::kMenuChAppend},
    {"MenuEdit", "ChDelete", text::kMenuChDelete},
    {"MenuEdit", "", ""},  // a separator
    {"MenuEdit", "MenuUndo", text::kMenuUndo},
    {"MenuEdit", "MenuRedo", text::kMenuRedo},
    {"MenuEdit", "MenuImportAll", text::kMenuImportAll},
    {"MenuEdit", "MenuExportPart", text::kMenuExportPart},
};

TEST_F(MainWindowTest, WindowAsDesigned) {
  EXPECT_EQ(form1.windowTitle(), QStringLiteral("Sorvane Ver1.00"));
  EXPECT_EQ(form1.pos(), QPoint(221, 105));
  EXPECT_EQ(form1.size(), QSize(415, 420));  // the designed 239 and room for the map
  EXPECT_EQ(form1.font().family(), Q(text::kUiFont));
  EXPECT_EQ(form1.font().pixelSize(), 12);
  EXPECT_TRUE(form1.acceptDrops());
  // The list, the waveform and the interleave map, with splitters between them.
  auto* split = qobject_cast<QSplitter*>(form1.centralWidget());
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->orientation(), Qt::Vertical);
  EXPECT_EQ(split->widget(0), form1.G);
  EXPECT_EQ(split->widget(1), form1.Wave);
  EXPECT_EQ(split->widget(2), form1.Map);
  // The designed fonts resolve to the IPA fonts (Qt keeps substitutes in lower case).
  EXPECT_EQ(QFont::substitute(Q(text::kUiFont)).toLower(), QStringLiteral("ipapgothic"));
  EXPECT_EQ(QFont::substitute(Q(text::kFixedFont)).toLower(), QStringLiteral("ipagothic"));
  EXPECT_EQ(QFontInfo(form1.font()).family(), QStringLiteral("IPAPGothic"));
  EXPECT_EQ(QFontInfo(form1.G->font()).family(), QStringLiteral("IPAGothic"));
}

TEST_F(MainWindowTest, MenusAsDesigned) {
  const QList<QAction*> top = form1.MainMenu->actions();
  ASSERT_EQ(top.size(), 3);
  EXPECT_EQ(top[0]->text(), Q(text::kMenuFile));
  EXPECT_EQ(top[1]->text(), Q(text::kMenuShow));
  EXPECT_EQ(top[2]->text(), Q(text::kMenuEdit));
  EXPECT_TRUE(top[0]->isEnabled());
  EXPECT_FALSE(top[1]->isEnabled());
  EXPECT_FALSE(top[2]->isEnabled());

  int index = 0;
  QString menuName;
  for (const MenuItemDesign& design : kMenuItems) {
    if (menuName != Q(design.menu)) index = 0;
    menuName = Q(design.menu);
    auto* menu = form1.findChild<QMenu*>(menuName);
    ASSERT_NE(menu, nullptr) << design.menu;
    if (*design.name == '\0') {
      ASSERT_LT(index, menu->actions().size());
      EXPECT_TRUE(menu->actions()[index++]->isSeparator());
      continue;
    }
    auto* item = form1.findChild<QAction*>(Q(design.name));
    ASSERT_NE(item, nullptr) << design.name;
    ASSERT_LT(index, menu->actions().size());
    EXPECT_EQ(menu->actions()[index++], item) << design.name << " out of order";
    EXPECT_EQ(item->text(), Q(design.caption));
  }
  EXPECT_EQ(form1.MenuFile->actions().size(), 8);
  EXPECT_EQ(form1.MenuShow->actions().size(), 3);
  EXPECT_EQ(form1.MenuEdit->actions().size(), 10);
  // No two items of the Edit menu share a mnemonic.
  QSet<QChar> mnemonics;
  for (const QAction* item : form1.MenuEdit->actions()) {
    const int amp = item->text().indexOf(QLatin1Char('&'));
    if (amp < 0) continue;
    const QChar key = item->text().at(amp + 1).toUpper();
    EXPECT_FALSE(mnemonics.contains(key)) << item->objectName().toStdString();
    mnemonics.insert(key);
  }
  EXPECT_EQ(form1.MenuUndo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(form1.MenuRedo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
  EXPECT_TRUE(form1.MenuNew->isEnabled());
  EXPECT_TRUE(form1.MenuOpen->isEnabled());
  EXPECT_FALSE(form1.MenuFind->isEnabled());
  EXPECT_FALSE(form1.MenuGap->isEnabled());
  EXPECT_FALSE(form1.MenuExportAll->isEnabled());
  EXPECT_TRUE(form1.MenuExit->isEnabled());
  EXPECT_TRUE(form1.MenuSp1->isChecked());
  EXPECT_FALSE(form1.MenuSpS->isChecked());
  EXPECT_FALSE(form1.MenuSpH->isChecked());
}

// The high-quality choice reaches the import and is what the next window starts with.
TEST_F(MainWindowTest, HighQualityIsRememberedAndReachesTheImport) {
  const bool before = form1.MenuHighQuality->isChecked();
  EXPECT_TRUE(form1.MenuHighQuality->isCheckable());
  EXPECT_EQ(workspace.Import.HighQuality, before);
  for (const bool on : {!before, before}) {
    form1.MenuHighQuality->trigger();
    EXPECT_EQ(form1.MenuHighQuality->isChecked(), on);
    EXPECT_EQ(workspace.Import.HighQuality, on);
    Workspace other;
    app::TForm1 next{other};
    EXPECT_EQ(next.MenuHighQuality->isChecked(), on);
    EXPECT_EQ(other.Import.HighQuality, on);
  }
}

TEST_F(MainWindowTest, PopupMenuAsDesigned) {
  const char* captions[] = {text::kPopPlay, text::kPopWavI, text::kPopWavO, text::kPopAppend,
                            text::kPopDelete};
  const char* names[] = {"PopPlay", "PopWavI", "PopWavO", "PopAppend", "PopDelete"};
  const QList<QAction*> items = form1.PopupMenu->actions();
  ASSERT_EQ(items.size(), 5);
  for (int i = 0; i < 5; ++i) {
    // The key hint stands in the shortcut column.
    EXPECT_EQ(items[i]->text(), Q(captions[i]).replace(QRegularExpression(" +\\["), "\t["));
    EXPECT_EQ(items[i]->objectName(), Q(names[i]));
    EXPECT_TRUE(items[i]->isEnabled());
  }
  EXPECT_EQ(form1.G->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(MainWindowTest, GridAsDesigned) {
  QTableWidget& g = *form1.G;
  EXPECT_EQ(g.objectName(), QStringLiteral("G"));
  ASSERT_EQ(g.columnCount(), 7);
  const int widths[] = {32, 32, 61, 60, 60, 83, 52};
  const char* headers[] = {" Ch", " Trk", "開始位置", "終了位置", "再生時間", "    音質", "  回転"};
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(g.columnWidth(c), widths[c]) << c;
    EXPECT_EQ(HeaderText(form1, c), headers[c]) << c;
    EXPECT_EQ(g.horizontalHeader()->sectionResizeMode(c), QHeaderView::Interactive);
  }
  EXPECT_FALSE(g.verticalHeader()->isVisible());
  EXPECT_EQ(g.horizontalHeader()->height(), 20);
  EXPECT_EQ(g.rowHeight(0), 20);
  EXPECT_EQ(g.font().family(), Q(text::kFixedFont));
  EXPECT_EQ(g.font().pixelSize(), 12);
  EXPECT_EQ(g.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(g.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(g.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_TRUE(g.showGrid());
  EXPECT_NE(g.itemDelegateForColumn(0), nullptr);

  // At start the list is not refreshed: the header and one empty row.
  ASSERT_EQ(g.rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  EXPECT_FALSE(g.item(0, 0)->flags() & Qt::ItemIsSelectable);
  EXPECT_TRUE(g.item(0, 1)->flags() & Qt::ItemIsSelectable);
  EXPECT_EQ(g.currentRow(), 0);
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(form1.DisplayUnit, UnitTime);
}

TEST_F(MainWindowTest, OpenByPathMakesThePathAbsoluteAndListsTheFirstChannels) {
  XaBuilder(200).Channel(1, true, false, 3, 8, 20).Write(dir.File("a.xa"));
  const std::string relative =
      std::filesystem::relative(dir.File("a.xa"), std::filesystem::current_path()).string();
  ASSERT_EQ(form1.OpenByPath(relative), 0);
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.Path, dir.File("a.xa"));
  ASSERT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  1");
  for (QAction* item : {form1.MenuFind, form1.MenuGap, form1.MenuExportAll,
                        form1.MenuShow->menuAction(), form1.MenuEdit->menuAction()})
    EXPECT_TRUE(item->isEnabled());
}

TEST_F(MainWindowTest, AChannelStartingAfterTheFirst64SectorsAppearsOnlyAfterFindAll) {
  XaBuilder(300).Channel(2, false, false, 100, 16, 10).Write(dir.File("late.xa"));
  Open(dir.File("late.xa"));
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 0);
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  form1.MenuFind->trigger();
  ASSERT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  2");
  EXPECT_TRUE(prompter.Notices.empty());
}

struct CommandLineCase {
  const char* name;
  std::vector<std::string> words;  // after the program; "@" is replaced by the folder
  bool opens;
};

class CommandLineTest : public MainWindowTest,
                        public ::testing::WithParamInterface<CommandLineCase> {};

// A file that does not open shows the message that 開く shows.
TEST_P(CommandLineTest, OpensTheFirstArgumentOrSaysWhyNot) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("with blank.xa"));
  QStringList arguments{QStringLiteral("sorvane")};
  for (std::string word : GetParam().words) {
    if (word.front() == '@') word = dir.Path() + word.substr(1);
    arguments << QString::fromStdString(word);
  }
  app::OpenFromCommandLine(form1, workspace, prompter, arguments);
  EXPECT_EQ(workspace.File.IsOpen(), GetParam().opens);
  EXPECT_EQ(form1.MenuFind->isEnabled(), GetParam().opens);
  if (GetParam().opens) {
    EXPECT_EQ(workspace.File.Path, dir.File("with blank.xa"));
  }
  const bool refused = GetParam().words.size() > 0 && !GetParam().opens;
  EXPECT_EQ(prompter.Notices.size(), refused ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(CommandLineCase{"None", {}, false},
                      CommandLineCase{"FileWithBlank", {"@/with blank.xa"}, true},
                      CommandLineCase{"SecondIgnored", {"@/with blank.xa", "@/missing.xa"}, true},
                      CommandLineCase{"Missing", {"@/missing.xa"}, false},
                      CommandLineCase{"MissingFirst", {"@/missing.xa", "@/with blank.xa"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The file named on the command line opens once the window is on screen, and only then.
TEST(WhenOnScreen, RunsOnceAfterTheWindowIsExposed) {
  QWidget window;
  int runs = 0;
  bool exposed = false;
  app::WhenOnScreen(window, [&] {
    ++runs;
    exposed = window.windowHandle()->isExposed();
  });
  EXPECT_EQ(runs, 0);  // not before the event loop has shown it
  for (int i = 0; i < 100 && runs == 0; ++i) QTest::qWait(10);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(exposed);
  window.hide();
  window.show();
  QTest::qWait(50);
  EXPECT_EQ(runs, 1);
}

// Drags the files onto the window and drops them there; true when the window took the drag.
bool DropFiles(app::TForm1& form, const std::vector<std::string>& paths) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  mime.setUrls(urls);
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

TEST_F(MainWindowTest, DroppingThreeFilesOpensOnlyTheFirst) {
  for (const char* name : {"one.xa", "two.xa", "three.xa"})
    XaBuilder(100).Channel(name[0], true, true, 0, 4, 10).Write(dir.File(name));
  EXPECT_TRUE(DropFiles(form1, {dir.File("one.xa"), dir.File("two.xa"), dir.File("three.xa")}));
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.Path, dir.File("one.xa"));
  EXPECT_EQ(RowTexts(form1, 0)[0], "111");  // channel 'o'
}

TEST_F(MainWindowTest, AFailedDropLeavesNoFileAndShowsNothing) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Open(dir.File("good.xa"));
  EXPECT_TRUE(DropFiles(form1, {dir.File("missing.xa"), dir.File("good.xa")}));
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  EXPECT_FALSE(form1.MenuEdit->menuAction()->isEnabled());
  EXPECT_TRUE(prompter.Notices.empty());
}

struct FailedOpenCase {
  const char* name;
  std::string bytes;  // written to the chosen file; "-" for no file at all
  const char* message;
};

std::string Repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

class FailedOpenTest : public MainWindowTest,
                       public ::testing::WithParamInterface<FailedOpenCase> {};

TEST_P(FailedOpenTest, ShowsTheReasonAndLeavesNoFile) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Open(dir.File("good.xa"));
  if (GetParam().bytes != "-") WriteFileBytes(dir.File("bad.xa"), GetParam().bytes);
  files.Answers = {dir.File("bad.xa")};
  form1.MenuOpen->trigger();
  ASSERT_EQ(files.Asked, std::vector<FileDialogKind>{FileDialogKind::OpenDialog});
  EXPECT_EQ(prompter.Notices, std::vector<std::string>{GetParam().message});
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  for (QAction* item : {form1.MenuFind, form1.MenuGap, form1.MenuExportAll,
                        form1.MenuShow->menuAction(), form1.MenuEdit->menuAction()})
    EXPECT_FALSE(item->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedOpenTest,
    ::testing::Values(FailedOpenCase{"Missing", "-", text::kCannotOpenFile},
                      FailedOpenCase{"TooShort", std::string(10, '\1'), text::kDetectReadError},
                      // No layout has agreeing subheader copies.
                      FailedOpenCase{"NotXa", Repeated("0123456789", 500), text::kFormatUnknown},
                      FailedOpenCase{"RippedAt2048", FilledSoundFile(40).Bytes2048(),
                                     text::kRippedAt2048}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, CancellingTheOpenDialogChangesNothing) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Open(dir.File("good.xa"));
  form1.MenuOpenClick();
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.Path, dir.File("good.xa"));
  EXPECT_TRUE(prompter.Notices.empty());
}

TEST_F(MainWindowTest, NewCreatesAnEmptyFileThatMayBeResizedWithoutAsking) {
  files.Answers = {dir.File("new.xa")};
  form1.MenuNew->trigger();
  ASSERT_EQ(files.Asked, std::vector<FileDialogKind>{FileDialogKind::SaveDialog});
  EXPECT_TRUE(prompter.Notices.empty());
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.Path, dir.File("new.xa"));
  EXPECT_EQ(FileLength(dir.File("new.xa")), 150LL * 2336);
  EXPECT_EQ(workspace.File.ResizePermission, ResizeAllowed);
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  EXPECT_TRUE(form1.MenuShow->menuAction()->isEnabled());
  EXPECT_TRUE(form1.MenuEdit->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, AFailedNewClosesTheOpenFileAndSaysWhy) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Open(dir.File("good.xa"));
  files.Answers = {dir.File("no such folder/new.xa")};
  form1.MenuNewClick();
  EXPECT_EQ(prompter.Notices, std::vector<std::string>{text::kCannotOpenFile});
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  EXPECT_FALSE(form1.MenuFind->isEnabled());
  EXPECT_FALSE(form1.MenuEdit->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, CancellingNewKeepsTheOpenFile) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Open(dir.File("good.xa"));
  form1.MenuNewClick();
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(RowTexts(form1, 0)[0], "  0");
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
  form1.MenuExit->trigger();
  EXPECT_FALSE(form1.isVisible());
}

TEST(MainWindowLifetime, TheOpenFileIsClosedWhenTheWindowGoes) {
  TempDir dir;
  XaBuilder(100).Channel(0, true, true, 0, 4, 10).Write(dir.File("good.xa"));
  Workspace workspace;
  testing::ScriptedAudioOutput audio;
  {
    app::EditorForms forms(workspace, audio);
    ASSERT_EQ(forms.Form1.OpenByPath(dir.File("good.xa")), 0);
    EXPECT_TRUE(workspace.File.IsOpen());
  }
  EXPECT_FALSE(workspace.File.IsOpen());
}

TEST(EditorForms, AllFiveAreCreatedHiddenAndTheDialogsBelongToTheMainWindow) {
  Workspace workspace;
  testing::ScriptedAudioOutput audio;
  app::EditorForms forms(workspace, audio);
  for (QWidget* form : std::initializer_list<QWidget*>{&forms.Form1, &forms.Form2, &forms.Form3,
                                                       &forms.Form4, &forms.Form5})
    EXPECT_FALSE(form->isVisible()) << form->objectName().toStdString();
  // The progress window too belongs to the main window (it stays usable while the main
  // window is disabled: TheProgressWindowBelongsToTheMainWindowAndStaysUsable).
  EXPECT_EQ(forms.Form2.parentWidget(), &forms.Form1);
  EXPECT_EQ(forms.Form3.parentWidget(), &forms.Form1);
  EXPECT_EQ(forms.Form4.parentWidget(), &forms.Form1);
  EXPECT_EQ(forms.Form5.parentWidget(), &forms.Form1);
}

}  // namespace
}  // namespace sorvane::testing
