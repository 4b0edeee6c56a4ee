// What a person expects of a desktop editor beyond the described window: the file's name in
// the title, recent files, dropped files, and the status bar.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include "app/translations.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"
#include "edit/position_text.h"
#include "gui_support.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QString Field(const app::TForm1& form, const char* name) {
  const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
  if (!label) return QStringLiteral("<none>");
  return label->isVisibleTo(const_cast<app::TForm1*>(&form)) ? label->text()
                                                             : QStringLiteral("<hidden>");
}

TEST_F(EditorTest, TheTitleNamesTheOpenFile) {
  EXPECT_EQ(form1.windowTitle(), Q(text::kAppCaption));
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(dir.File("first.xa"));
  Open(dir.File("first.xa"));
  EXPECT_EQ(form1.windowTitle(), QStringLiteral("first.xa - ") + Q(text::kAppCaption));
  EXPECT_NE(form1.OpenByPath(dir.File("missing.xa")), 0);
  EXPECT_EQ(form1.windowTitle(), Q(text::kAppCaption));
}

struct StatusCase {
  const char* name;
  Layout layout;
  int sectors;
  const char* layoutText;
  bool hint;  // only the first 64 sectors were scanned
};

class StatusTest : public EditorTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, ShowsLayoutSectorsPostGapsAndWhetherAFindAllMayFindMore) {
  const StatusCase& c = GetParam();
  EXPECT_EQ(Field(form1, "StatusLayout"), QStringLiteral("<hidden>"));
  XaBuilder(c.sectors, c.layout).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  Open(dir.File("a.xa"));
  const XaFile& xa = workspace.File;
  EXPECT_EQ(Field(form1, "StatusLayout"), Q(c.layoutText));
  EXPECT_EQ(Field(form1, "StatusSectors"), Q(text::kStatusSectors).arg(c.sectors));
  EXPECT_EQ(Field(form1, "StatusPostGaps"),
            Q(text::kStatusPostGaps)
                .arg(QString::fromStdString(FormatPlayingTime(xa.ChannelPostGap)),
                     QString::fromStdString(FormatPlayingTime(xa.EndPostGap))));
  EXPECT_EQ(Field(form1, "StatusScan"),
            c.hint ? Q(text::kStatusFirstSectorsOnly) : QStringLiteral("<hidden>"));
  ModalScript script;
  Run(script, [&] { form1.MenuFind->trigger(); });
  EXPECT_EQ(Field(form1, "StatusScan"), QStringLiteral("<hidden>"));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, StatusTest,
    ::testing::Values(StatusCase{"Plain", Layout::Plain2336, 300, text::kStatusPlain2336, true},
                      StatusCase{"Raw", Layout::Raw2352, 200, text::kStatusRaw2352, true},
                      StatusCase{"Riff", Layout::Riff2352, 100, text::kStatusRiff2352, true},
                      StatusCase{"NoMoreThan64", Layout::Plain2336, 64, text::kStatusPlain2336,
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ChangedPostGapsShowAtOnce) {
  XaBuilder(300).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  Open(dir.File("a.xa"));
  ModalScript script;
  script.Then([&](QWidget*) {
    form4.Gap1->setText(QStringLiteral("1.0"));
    form4.Gap2->setText(QStringLiteral("3.0"));
    form4.Modify->setCurrentIndex(2);  // forbidden: no size question
    ClickLater(form4.Button1);
  });
  Run(script, [&] { form1.MenuGap->trigger(); });
  EXPECT_EQ(Field(form1, "StatusPostGaps"), Q(text::kStatusPostGaps).arg("0:01.00", "0:03.00"));
}

QStringList RecentItems(const app::TForm1& form) {
  QStringList items;
  for (const QAction* item : form.MenuRecent->actions()) items << item->text();
  return items;
}

TEST_F(EditorTest, RecentFilesListTheOpenedFilesNewestFirstAndOpenThem) {
  const QString a = QString::fromStdString(dir.File("a.xa"));
  const QString b = QString::fromStdString(dir.File("b.xa"));
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(a.toStdString());
  XaBuilder(100).Channel(7, true, true, 0, 4, 5).Write(b.toStdString());
  Open(a.toStdString());
  Open(b.toStdString());
  Open(a.toStdString());
  QStringList items = RecentItems(form1);
  ASSERT_GE(items.size(), 2);
  EXPECT_EQ(items.mid(0, 2), (QStringList{"&1 " + a, "&2 " + b}));
  EXPECT_TRUE(form1.MenuRecent->menuAction()->isEnabled());

  // A window of a later run lists them too, and opens the one chosen.
  app::TForm1 later{workspace};
  EXPECT_EQ(RecentItems(later).mid(0, 2), items.mid(0, 2));
  form1.MenuRecent->actions().at(1)->trigger();
  EXPECT_EQ(QString::fromStdString(workspace.File.Path), b);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  7");
  EXPECT_LE(RecentItems(form1).size(), app::RecentFiles::kMaxFiles);
}

TEST_F(EditorTest, ARecentFileThatIsGoneSaysSo) {
  const std::string gone = dir.File("gone.xa");
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(gone);
  Open(gone);
  std::remove(gone.c_str());
  ModalScript script;
  script.Then(
      AnswerBox(Q(text::kMessageCaption), Q(text::kCannotOpenFile), {Q(text::kOk)}, Q(text::kOk)));
  Run(script, [&] { form1.MenuRecent->actions().at(0)->trigger(); });
}

class DropTest : public EditorTest {
 protected:
  // Row 0: channel 2, 18.9k mono at 0, 16, ... (5 sectors); row 1: channel 1, 37.8k stereo
  // at 1, 5, ... (10 sectors).
  void SetUp() override {
    XaBuilder(200).Channel(2, false, false, 0, 16, 5).Channel(1, true, true, 1, 4, 10).Write(xa);
    // Ten sectors of 37.8k stereo: the import asks nothing.
    WavBuilder(2, 37800, 16)
        .Samples16(Frames16(20160, 2, [](int i, int) { return (i % 700) * 30; }))
        .Write(wav);
    Open(xa);
  }
  // Drops `path` at a point of the list's viewport, as a file manager does.
  void Drop(const std::string& path, QPoint inList) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    const QPoint at = form1.G->viewport()->mapTo(&form1, inList);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form1, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form1, &drop);
    EXPECT_TRUE(drop.isAccepted());
  }
  QPoint RowPoint(int row) const {
    return {form1.G->columnViewportPosition(3) + 5, form1.G->rowViewportPosition(row) + 5};
  }
  QPoint BelowTheRows() const {
    return {RowPoint(0).x(), form1.G->rowViewportPosition(1) + form1.G->rowHeight(1) + 20};
  }
  std::string Sector(const std::string& bytes, int index) {
    return bytes.substr(index * 2336, 2336);
  }

  std::string xa = dir.File("two.xa");
  std::string wav = dir.File("In.WAV");
};

TEST_F(DropTest, AWavOnARowImportsIntoThatChannel) {
  form1.G->setCurrentCell(0, 1);
  const std::string before = ReadFileBytes(xa);
  ModalScript script;
  Run(script, [&] { Drop(wav, RowPoint(1)); });
  const std::string after = ReadFileBytes(xa);
  EXPECT_EQ(form1.G->currentRow(), 1);
  EXPECT_NE(Sector(after, 1), Sector(before, 1));  // channel 1's first sector
  EXPECT_EQ(Sector(after, 0), Sector(before, 0));  // channel 2's
  EXPECT_EQ(after.size(), before.size());
}

TEST_F(DropTest, AWavBelowTheRowsAppendsAChannel) {
  ModalScript script;
  script.Then([&](QWidget* modal) {
    ASSERT_EQ(modal, &form5);
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { Drop(wav, BelowTheRows()); });
  EXPECT_EQ(script.Titles, std::vector<QString>{Q(text::kAppendCaption)});
  EXPECT_EQ(files.Asked.size(), 0u);  // the dropped file, not a chosen one
}

TEST_F(DropTest, AnyOtherFileOpens) {
  const std::string other = dir.File("other.xa");
  XaBuilder(100).Channel(9, true, true, 0, 4, 5).Write(other);
  ModalScript script;
  Run(script, [&] { Drop(other, RowPoint(1)); });
  EXPECT_EQ(workspace.File.Path, other);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  9");
}

TEST_F(DropTest, AWavWithoutAnOpenFileIsOpenedAsDescribedAndFailsSilently) {
  form1.close();
  form1.show();
  ModalScript script;
  Run(script, [&] { Drop(wav, RowPoint(0)); });
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(RowTexts(form1, 0)[0], "");
}

// The English translation for the length of one test; Japanese again after it.
class EnglishTest : public EditorTest {
 protected:
  EnglishTest() { app::InstallTranslations(app::UiLanguage::English); }
  ~EnglishTest() override { app::InstallTranslations(app::UiLanguage::Japanese); }
};

TEST_F(EnglishTest, TheEditorSpeaksEnglish) {
  app::TForm1 english{workspace};
  EXPECT_EQ(english.MenuFile->title(), QStringLiteral("&File"));
  EXPECT_EQ(english.MenuFind->text(), QStringLiteral("&Find All"));
  EXPECT_EQ(HeaderText(english, 2), "Start");
  app::TForm5 append;
  EXPECT_EQ(append.CancelButton->text(), QStringLiteral("Cancel"));
  // A message of the core, shown through the prompter.
  ModalScript script;
  script.Then(AnswerBox(QStringLiteral("Message"), QStringLiteral("Write error"),
                        {QStringLiteral("OK")}, QStringLiteral("OK")));
  Run(script, [&] { prompter.NotifyUser(text::kWriteError); });
}

TEST(Language, SorvaneLangForcesOne) {
  const struct {
    const char* value;
    app::UiLanguage language;
  } cases[] = {{"en", app::UiLanguage::English}, {"ja", app::UiLanguage::Japanese}};
  for (const auto& c : cases) {
    setenv("SORVANE_LANG", c.value, 1);
    EXPECT_EQ(app::ChooseUiLanguage(), c.language) << c.value;
  }
  setenv("SORVANE_LANG", "ja", 1);
}

// Qt's own file dialog, as the editor opens it, in Japanese.
TEST_F(EditorTest, TheFileDialogsSpeakJapanese) {
  const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
  ASSERT_NE(lookIn, QStringLiteral("Look in:")) << "qtbase_ja.qm was not loaded";
  QString shownLookIn;
  QString title;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    if (auto* label = modal->findChild<QLabel*>(QStringLiteral("lookInLabel")))
      shownLookIn = label->text();
    title = modal->windowTitle();
    modal->close();
  });
  app::QtFileChooser chooser(form1);
  Run(script, [&] { chooser.Choose(app::FileDialogKind::SaveWav); });
  EXPECT_EQ(shownLookIn, lookIn);
  EXPECT_EQ(title, QCoreApplication::translate("QFileDialog", "Save As"));
  EXPECT_NE(title, QStringLiteral("Save As"));
}

}  // namespace
}  // namespace sorvane::testing
