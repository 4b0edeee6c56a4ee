// Opening an entry of a disc image in the editor: the chooser of the image's audio files,
// the title, status bar and recent files that name image and entry, the settings dialog
// that keeps the size, WAVs named after the entry, refusals shown as every open failure, and
// undo of an edit.
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
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "app/disc_entry_dialog.h"
#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/disc_image_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const QStringList kOkOnly{Q(text::kOk)};
const QStringList kOkCancel{Q(text::kOk), Q(text::kCancel)};

// VOICE.XA: channels 1 and 2 (64 sectors); MUSIC.XA: channel 5, stereo (32 sectors), listed
// first as the directory sorts it; two data files that the chooser does not list.
DiscImage BuildImage() {
  DiscImageBuilder builder;
  builder.Add({"SYSTEM.CNF", DataSectors(2, 1)});
  builder.Add({"XA/VOICE.XA",
               SplitSectors(XaBuilder(64)
                                .Channel(1, true, false, 0, 8, 6)
                                .Channel(2, true, false, 1, 8, 6)
                                .Noise(3)
                                .Bytes()),
               kXaInterleavedForm2, 1});
  builder.Add({"XA/MUSIC.XA",
               SplitSectors(XaBuilder(32).Channel(5, true, true, 0, 4, 8).Noise(4).Bytes()),
               kXaInterleavedForm2, 1});
  builder.Add({"AFTER.BIN", DataSectors(4, 2)});
  return builder.Build();
}

class DiscImageTest : public EditorTest {
 protected:
  void SetUp() override {
    workspace.Journal.SetRoot(dir.File("undo"));
    image = BuildImage();
    cue = image.Write(dir.Path());
    XaBuilder(100).Channel(7, true, true, 0, 4, 5).Write(plain);
  }
  // The chooser's step: checks it, selects `row` and lets `choose` end it.
  ModalScript::Step Chooser(int row, std::function<void(app::DiscEntryDialog&)> choose) {
    return [this, row, choose](QWidget* modal) {
      auto* chooser = qobject_cast<app::DiscEntryDialog*>(modal);
      ASSERT_NE(chooser, nullptr) << modal->metaObject()->className();
      listed = Rows(*chooser->Files);
      centreOffset = chooser->frameGeometry().center() - form1.frameGeometry().center();
      chooser->Files->setCurrentCell(row, 0);
      QMetaObject::invokeMethod(
          chooser, [chooser, choose] { choose(*chooser); }, Qt::QueuedConnection);
    };
  }
  // Each row's cells joined by "|".
  static std::vector<std::string> Rows(const QTableWidget& table) {
    std::vector<std::string> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < table.columnCount(); ++c) cells << table.item(r, c)->text();
      rows.push_back(cells.join(QLatin1Char('|')).toStdString());
    }
    return rows;
  }
  void OpenEntry(int row) {
    files.Answers = {cue};
    ModalScript script;
    script.Then(Chooser(row, [](app::DiscEntryDialog& d) { ClickLater(d.OkButton); }));
    Run(script, [&] { form1.MenuOpen->trigger(); });
  }
  std::string Title() const { return form1.windowTitle().toStdString(); }
  static std::string Title(const char* name) {
    return name + (" - " + std::string(text::kAppCaption));
  }
  std::string Field(const char* name) const {
    const auto* label = form1.findChild<QLabel*>(QString::fromLatin1(name));
    return (label->isVisibleTo(&form1) ? label->text() : QStringLiteral("<hidden>")).toStdString();
  }

  DiscImage image;
  std::string cue;
  std::string plain = dir.File("plain.xa");
  std::vector<std::string> listed;
  QPoint centreOffset;
};

struct ChooseCase {
  const char* name;
  int row;
  void (*choose)(app::DiscEntryDialog&);
  bool drop;  // the image is dropped on the window instead of opened by 開く
  const char* title;
  std::vector<std::string> channels;  // the " Ch" cells of the list
};

class ChooseTest : public DiscImageTest, public ::testing::WithParamInterface<ChooseCase> {};

TEST_P(ChooseTest, ListsTheAudioFilesAndOpensTheChosenOne) {
  const ChooseCase& c = GetParam();
  ModalScript script;
  script.Then(Chooser(c.row, c.choose));
  if (c.drop) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(cue))});
    const QPoint at = form1.G->viewport()->mapTo(&form1, QPoint(5, 5));
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form1, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    Run(script, [&] { QApplication::sendEvent(&form1, &drop); });
  } else {
    files.Answers = {cue};
    Run(script, [&] { form1.MenuOpen->trigger(); });
  }
  EXPECT_EQ(script.Titles, std::vector<QString>{Q(text::kImageChooserCaption)});
  // In directory order, the data files left out.
  EXPECT_EQ(listed,
            (std::vector<std::string>{"/XA/MUSIC.XA;1|0:00.32|1", "/XA/VOICE.XA;1|0:00.64|2"}));
  EXPECT_LE(centreOffset.manhattanLength(), 2);
  EXPECT_EQ(Title(), Title(c.title));
  std::vector<std::string> shown;
  for (int r = 0; r < form1.G->rowCount(); ++r) shown.push_back(RowTexts(form1, r)[0]);
  EXPECT_EQ(shown, c.channels);
  const std::string entry = std::string(c.title).substr(sizeof("IMAGE.CUE:") - 1);
  EXPECT_EQ(Field("StatusLayout"),
            Q(text::kStatusImageEntry).arg(Q(text::kStatusRaw2352), entry.c_str()).toStdString());
  EXPECT_EQ(form1.MenuRecent->actions().at(0)->text().toStdString(), "&1 " + cue + ":" + entry);
}

void PressEnter(app::DiscEntryDialog& d) { QTest::keyClick(d.Files, Qt::Key_Return); }
// As the window system delivers a double click: press, release, double click, release.
void DoubleClick(app::DiscEntryDialog& d) {
  QWidget* viewport = d.Files->viewport();
  const QPoint at = d.Files->visualItemRect(d.Files->item(d.Files->currentRow(), 0)).center();
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}
void PressOk(app::DiscEntryDialog& d) { d.OkButton->click(); }

INSTANTIATE_TEST_SUITE_P(
    Ways, ChooseTest,
    ::testing::Values(
        ChooseCase{"Enter", 1, PressEnter, false, "IMAGE.CUE:/XA/VOICE.XA;1", {"  1", "  2"}},
        ChooseCase{"DoubleClick", 0, DoubleClick, false, "IMAGE.CUE:/XA/MUSIC.XA;1", {"  5"}},
        ChooseCase{"OkAfterADrop", 0, PressOk, true, "IMAGE.CUE:/XA/MUSIC.XA;1", {"  5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscImageTest, EscapeLeavesTheWindowAsItWas) {
  Open(plain);
  const std::string title = Title();
  files.Answers = {cue};
  ModalScript script;
  script.Then(
      Chooser(0, [](app::DiscEntryDialog& d) { QTest::keyClick(d.Files, Qt::Key_Escape); }));
  Run(script, [&] { form1.MenuOpen->trigger(); });
  EXPECT_EQ(listed.size(), 2u);
  EXPECT_EQ(Title(), title);
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(workspace.File.Path, plain);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  7");
}

TEST_F(DiscImageTest, ARecentEntryReopensWithoutTheChooser) {
  OpenEntry(0);
  Open(plain);
  ASSERT_GE(form1.MenuRecent->actions().size(), 2);
  ModalScript none;
  // No chooser: Run fails on any window left unanswered.
  Run(none, [&] { form1.MenuRecent->actions().at(1)->trigger(); });
  EXPECT_EQ(Title(), Title("IMAGE.CUE:/XA/MUSIC.XA;1"));
  EXPECT_EQ(workspace.File.Entry.Name, "/XA/MUSIC.XA;1");
  EXPECT_EQ(RowTexts(form1, 0)[0], "  5");
}

TEST_F(DiscImageTest, TheSettingsDialogKeepsTheSizeOfAnEntryAndSaysWhy) {
  OpenEntry(1);
  ModalScript script;
  script.Then([&](QWidget*) {
    EXPECT_FALSE(form4.Modify->isEnabled());
    EXPECT_EQ(form4.Modify->currentIndex(), 2);  // 禁止
    EXPECT_EQ(form4.Modify->toolTip(), Q(text::kImageSizeFixed));
    EXPECT_TRUE(form4.SizeFixedNote->isVisible());
    EXPECT_EQ(form4.SizeFixedNote->text(), Q(text::kImageSizeFixed));
    // On one line, whole, inside the dialog.
    EXPECT_FALSE(form4.SizeFixedNote->wordWrap());
    EXPECT_GE(form4.SizeFixedNote->width(), form4.SizeFixedNote->sizeHint().width());
    EXPECT_TRUE(form4.rect().contains(form4.SizeFixedNote->geometry()));
    form4.Gap1->setText(QStringLiteral("1.0"));  // the gaps stay editable
    form4.Gap2->setText(QStringLiteral("3.0"));
    ClickLater(form4.Button1);
  });
  Run(script, [&] { form1.MenuGap->trigger(); });
  EXPECT_EQ(workspace.File.ChannelPostGap, 75);
  EXPECT_EQ(workspace.File.EndPostGap, 225);
  EXPECT_EQ(workspace.File.ResizePermission, ResizeForbidden);

  Open(plain);  // a file's permission can change again
  ModalScript file;
  file.Then([&](QWidget*) {
    EXPECT_TRUE(form4.Modify->isEnabled());
    EXPECT_FALSE(form4.SizeFixedNote->isVisible());
    ClickLater(form4.Button2);
  });
  Run(file, [&] { form1.MenuGap->trigger(); });
}

TEST_F(DiscImageTest, UndoGivesTheImageBackByteForByte) {
  OpenEntry(1);  // VOICE.XA
  const std::string before = ReadFileBytes(dir.File(image.binName));
  form1.G->setCurrentCell(1, 1);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(2), kOkCancel, Q(text::kOk)));
  Run(script, [&] { form1.ChDelete->trigger(); });
  EXPECT_NE(ReadFileBytes(dir.File(image.binName)), before);
  EXPECT_EQ(form1.G->rowCount(), 1);
  ModalScript none;
  Run(none, [&] { form1.MenuUndo->trigger(); });
  EXPECT_TRUE(ReadFileBytes(dir.File(image.binName)) == before);
  EXPECT_EQ(form1.G->rowCount(), 2);
  EXPECT_EQ(Title(), Title("IMAGE.CUE:/XA/VOICE.XA;1"));
}

TEST_F(DiscImageTest, ExportAllNamesTheWavsAfterTheEntry) {
  OpenEntry(0);  // MUSIC.XA
  std::filesystem::create_directory(dir.File("wavs"));
  files.Answers = {dir.File("wavs")};
  ModalScript script;
  Run(script, [&] { form1.MenuExportAll->trigger(); });
  std::vector<std::string> written;
  for (const auto& e : std::filesystem::directory_iterator(dir.File("wavs")))
    written.push_back(e.path().filename().string());
  EXPECT_EQ(written, std::vector<std::string>{"MUSIC_ch005.wav"});
}

struct RefusalCase {
  const char* name;
  DiscMode mode;
  bool openBin;    // the image file itself, else its CUE sheet
  bool removeBin;  // the CUE sheet's image file is gone
  const char* message;
};

class RefusalTest : public DiscImageTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ShowsTheMessageAndClosesTheWindowsFile) {
  const RefusalCase& c = GetParam();
  Open(plain);
  const DiscImage bad = DiscImageBuilder().Mode(c.mode).Names("BAD.ISO", "", "BAD.CUE").Build();
  const std::string badCue = bad.Write(dir.Path());
  if (c.removeBin) std::remove(dir.File(bad.binName).c_str());
  files.Answers = {c.openBin ? dir.File(bad.binName) : badCue};
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(c.message), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.MenuOpen->trigger(); });
  EXPECT_EQ(Title(), text::kAppCaption);
  EXPECT_FALSE(workspace.File.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Images, RefusalTest,
                         ::testing::Values(RefusalCase{"Sectors2048", DiscMode::Iso2048, true,
                                                       false, text::kIso2048Image},
                                           RefusalCase{"Mode1Track", DiscMode::Mode1, false, false,
                                                       text::kUnsupportedTrack},
                                           RefusalCase{"CueWithoutItsBin", DiscMode::Mode2, false,
                                                       true, text::kCueImageMissing}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorvane::testing
