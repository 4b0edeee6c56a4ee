// The faults a person met driving the editor by hand, each mended: a close during a long
// operation, the progress window's owner, where dialogs open, the length dialog's focus,
// the selected row, the fixed Ch column, message box widths and the append buttons.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWindow>
#include <functional>

#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// Closes the main window, as its close button does, the first time the progress window is
// seen; records whether the main window was still on screen right after.
class CloseDuringOperation {
 public:
  CloseDuringOperation(app::TForm1& form1, app::TForm2& form2) : form1_(form1), form2_(form2) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start(0);
  }
  bool Closed = false;
  bool StayedWhileRunning = false;

 private:
  void Look() {
    if (Closed || !form2_.isVisible()) return;
    Closed = true;
    form1_.close();
    StayedWhileRunning = form1_.isVisible() && form2_.isVisible();
  }
  app::TForm1& form1_;
  app::TForm2& form2_;
  QTimer timer_;
};

struct CloseCase {
  const char* name;
  QAction* app::TForm1::*command;
  std::vector<ModalScript::Step> after;  // the windows the cancelled command shows
};

class CloseTest : public EditorTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, CancelsTheOperationWaitsForItAndClosesTheWindowAndTheFile) {
  const CloseCase& c = GetParam();
  XaBuilder(400).Channel(1, true, true, 0, 4, 90).Write(dir.File("long.xa"));
  Open(dir.File("long.xa"));
  files.Answers = {dir.File("out.wav")};
  ModalScript script;
  for (const ModalScript::Step& step : c.after) script.Then(step);
  CloseDuringOperation closer(form1, form2);
  Run(script, [&] { (form1.*c.command)->trigger(); });
  ASSERT_TRUE(closer.Closed);
  EXPECT_TRUE(closer.StayedWhileRunning);
  EXPECT_FALSE(form1.isVisible());
  EXPECT_FALSE(form2.isVisible());
  EXPECT_FALSE(workspace.File.IsOpen());
  if (c.command == &app::TForm1::MenuPlay) {
    EXPECT_LT(audio.Writes.size(), 90u);  // stopped before the end
    EXPECT_EQ(audio.Count("close"), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, CloseTest,
                         ::testing::Values(CloseCase{"Export",
                                                     &app::TForm1::MenuWavO,
                                                     {AnswerBox(Q(text::kMessageCaption),
                                                                Q(text::kCancelled), {Q(text::kOk)},
                                                                Q(text::kOk))}},
                                           CloseCase{"Play", &app::TForm1::MenuPlay, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ACloseWithoutAnOperationClosesAtOnce) {
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  Open(dir.File("a.xa"));
  form1.close();
  EXPECT_FALSE(form1.isVisible());
  EXPECT_FALSE(workspace.File.IsOpen());
}

TEST_F(EditorTest, ExitClosesTheWindowAfterItsCommand) {
  form1.MenuExit->trigger();
  EXPECT_FALSE(form1.isVisible());
}

TEST_F(EditorTest, TheProgressWindowBelongsToTheMainWindowAndStaysUsable) {
  form2.Start();
  EXPECT_EQ(form2.parentWidget(), &form1);
  EXPECT_TRUE(form2.isWindow());
  // X11 tells the window manager which window a window belongs to only for dialog types.
  EXPECT_EQ(form2.windowType(), Qt::Dialog);
  ASSERT_NE(form2.windowHandle(), nullptr);
  EXPECT_EQ(form2.windowHandle()->transientParent(), form1.windowHandle());
  EXPECT_FALSE(form1.isEnabled());
  EXPECT_TRUE(form2.Button1->isEnabled());
  QTest::mouseClick(form2.Button1, Qt::LeftButton);
  EXPECT_TRUE(form2.Cancelled);
  form2.Finish();
}

// Where each window opens after the main window has been moved.
struct PlaceCase {
  const char* name;
  std::function<void(EditorTest&)> open;  // opens the window; a modal one is closed by the test
};

class PlaceTest : public EditorTest, public ::testing::WithParamInterface<PlaceCase> {
 public:
  using EditorTest::dir;
  using EditorTest::files;
  using EditorTest::form1;
  using EditorTest::form2;
  using EditorTest::prompter;
};

TEST_P(PlaceTest, EveryWindowOpensCentredOnTheMainWindow) {
  XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  Open(dir.File("a.xa"));
  form1.move(200, 150);  // away from where the windows were designed to open
  QPoint centre;
  std::string shown;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    shown = modal->metaObject()->className();
    centre = modal->frameGeometry().center();
    modal->close();
  });
  GetParam().open(*this);
  if (shown.empty()) {  // the progress window is not modal
    shown = form2.metaObject()->className();
    centre = form2.frameGeometry().center();
    form2.Finish();
  }
  const QPoint expected = form1.frameGeometry().center();
  EXPECT_LE((centre - expected).manhattanLength(), 2)
      << shown << " at " << centre.x() << "," << centre.y();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PlaceTest,
    ::testing::Values(
        PlaceCase{"Progress", [](EditorTest& t) { static_cast<PlaceTest&>(t).form2.Start(); }},
        PlaceCase{"Length",
                  [](EditorTest& t) {
                    static_cast<PlaceTest&>(t).prompter.ChooseLength(text::kWavLonger,
                                                                     text::kFollowWav);
                  }},
        PlaceCase{"Message",
                  [](EditorTest& t) {
                    static_cast<PlaceTest&>(t).prompter.NotifyUser(text::kWriteError);
                  }},
        PlaceCase{"Settings",
                  [](EditorTest& t) { static_cast<PlaceTest&>(t).form1.MenuGap->trigger(); }},
        PlaceCase{"FileDialog",
                  [](EditorTest& t) {
                    app::QtFileChooser chooser(static_cast<PlaceTest&>(t).form1);
                    chooser.Choose(app::FileDialogKind::OpenDialog);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// Tab, Down, Enter: from OK to the first choice, down to the second, and OK.
void TabDownEnter() {
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Return}) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
  }
}

TEST_F(EditorTest, EveryShowingOfTheLengthDialogStartsAsTheFirst) {
  struct Start {
    bool firstChecked = false;
    bool secondChecked = true;
    QWidget* focus = nullptr;
  };
  std::vector<Start> starts;
  ModalScript script;
  auto step = [&](QWidget* modal) {
    starts.push_back({form3.Sel1->isChecked(), form3.Sel2->isChecked(), form3.focusWidget()});
    ASSERT_TRUE(QTest::qWaitForWindowActive(modal));  // the keys go where the focus is
    TabDownEnter();
  };
  script.Then(step).Then(step).Then(step);
  std::vector<LengthChoice> choices;
  for (int showing = 0; showing < 3; ++showing)
    choices.push_back(prompter.ChooseLength(text::kWavLonger, text::kFollowWav));
  EXPECT_TRUE(script.Done());
  ASSERT_EQ(starts.size(), 3u);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    EXPECT_TRUE(starts[i].firstChecked) << i;
    EXPECT_FALSE(starts[i].secondChecked) << i;
    EXPECT_EQ(starts[i].focus, form3.Button1) << i;
    EXPECT_EQ(choices[i], LengthChoice::SecondChoice) << i;
  }
}

class ListTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteTwoChannels(dir.File("two.xa"));
    Open(dir.File("two.xa"));
  }
  QPoint RowPoint(int row) const {
    return {form1.G->columnViewportPosition(2) + 5, form1.G->rowViewportPosition(row) + 5};
  }
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : form1.G->selectionModel()->selectedRows(1))
      rows.push_back(index.row());
    return rows;
  }
};

TEST_F(ListTest, AClickBelowTheRowsKeepsTheSelectedRow) {
  QTest::mouseClick(form1.G->viewport(), Qt::LeftButton, {}, RowPoint(1));
  ASSERT_EQ(SelectedRows(), std::vector<int>{1});
  const int below = form1.G->rowViewportPosition(1) + form1.G->rowHeight(1) + 20;
  ASSERT_LT(below, form1.G->viewport()->height());
  QTest::mouseClick(form1.G->viewport(), Qt::LeftButton, {}, QPoint(RowPoint(1).x(), below));
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(form1.G->currentRow(), 1);
}

TEST_F(ListTest, ACtrlClickOnTheSelectedRowKeepsIt) {
  QTest::mouseClick(form1.G->viewport(), Qt::LeftButton, {}, RowPoint(0));
  QTest::mouseClick(form1.G->viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(0));
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

// The cell or header section that a person sees at a point of the grid.
struct SeenAt {
  int row = -1;
  int column = -1;
  QString text;
};

SeenAt CellSeenAt(QTableWidget* grid, QPoint point) {
  SeenAt seen;
  QWidget* widget = grid->childAt(point);
  if (!widget) return seen;
  if (auto* header = qobject_cast<QHeaderView*>(widget->parentWidget())) {
    seen.column = header->logicalIndexAt(widget->mapFrom(grid, point));
    seen.text = grid->model()->headerData(seen.column, Qt::Horizontal).toString();
    return seen;
  }
  auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
  if (!view) return seen;
  const QModelIndex index = view->indexAt(widget->mapFrom(grid, point));
  seen.row = index.row();
  seen.column = index.column();
  seen.text = index.data().toString();
  return seen;
}

TEST_F(ListTest, TheChColumnStaysInPlaceWhenTheListScrollsSideways) {
  form1.resize(200, form1.height());
  QApplication::processEvents();
  QScrollBar* sideways = form1.G->horizontalScrollBar();
  ASSERT_GT(sideways->maximum(), 0);
  sideways->setValue(sideways->maximum());
  QApplication::processEvents();
  ASSERT_LT(form1.G->columnViewportPosition(0), 0);  // the grid itself has scrolled
  const int edge = form1.G->frameWidth() + 4;
  const int headerMiddle = form1.G->horizontalHeader()->height() / 2 + form1.G->frameWidth();
  const SeenAt header = CellSeenAt(form1.G, QPoint(edge, headerMiddle));
  EXPECT_EQ(header.column, 0);
  EXPECT_EQ(header.text, Q(text::kHeaderCh));
  for (int row = 0; row < 2; ++row) {
    const int y = form1.G->viewport()->y() + form1.G->rowViewportPosition(row) + 5;
    const SeenAt cell = CellSeenAt(form1.G, QPoint(edge, y));
    EXPECT_EQ(cell.row, row);
    EXPECT_EQ(cell.column, 0);
    EXPECT_EQ(cell.text, form1.G->item(row, 0)->text());
  }
}

TEST_F(ListTest, AClickOnTheChColumnSelectsItsRow) {
  const QPoint point(form1.G->frameWidth() + 4,
                     form1.G->viewport()->y() + form1.G->rowViewportPosition(1) + 5);
  QWidget* target = form1.G->childAt(point);
  ASSERT_NE(target, nullptr);
  QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(form1.G, point));
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(form1.G->currentRow(), 1);
}

// A message box wide enough for its caption beside the window buttons of a title bar.
TEST_F(EditorTest, AMessageBoxLeavesRoomForItsCaption) {
  int width = 0;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    width = modal->width();
    modal->close();
  });
  prompter.NotifyUser(text::kWriteError);  // a short text
  EXPECT_GE(width,
            QFontMetrics(form1.font()).horizontalAdvance(Q(text::kMessageCaption)) * 2 + 120);
}

TEST(AppendDialogButtons, EachCaptionClearsItsButtonsEdges) {
  app::TForm5 form;
  for (QPushButton* button : {form.FindButton, form.OKButton, form.CancelButton}) {
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    EXPECT_GE(button->width(), text + 16) << button->text().toStdString();
    EXPECT_LE(button->geometry().right(), form.width() - 8) << button->text().toStdString();
  }
  EXPECT_LT(form.FindButton->geometry().right(), form.OKButton->x());
  EXPECT_LT(form.OKButton->geometry().right(), form.CancelButton->x());
}

}  // namespace
}  // namespace sorvane::testing
