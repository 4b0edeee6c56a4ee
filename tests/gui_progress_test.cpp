// The progress window, and "全検索(&F)" with its progress, cancel and failure.
#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

TEST_F(MainWindowTest, ProgressWindowAsDesigned) {
  EXPECT_EQ(form2.windowTitle(), Q(text::kProgressCaption));
  const Qt::WindowFlags flags = form2.windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint})
    EXPECT_FALSE(flags & button) << button;
  EXPECT_EQ(form2.size(), QSize(303, 45));
  EXPECT_EQ(form2.minimumSize(), form2.maximumSize());
  EXPECT_EQ(form2.Bar->geometry(), QRect(0, 0, 303, 16));
  EXPECT_EQ(form2.Bar->minimum(), 0);
  EXPECT_EQ(form2.Bar->maximum(), 100);
  EXPECT_EQ(form2.Button1->text(), Q(text::kCancel));
  EXPECT_EQ(form2.Button1->geometry(), QRect(224, 21, 75, 21));
  EXPECT_FALSE(form2.isVisible());
  EXPECT_FALSE(form2.Cancelled);
}

TEST_F(MainWindowTest, StartShowsTheWindowAndDisablesTheMainWindowUntilFinish) {
  form2.SetPosition(70);
  form2.Start();
  EXPECT_TRUE(form2.isVisible());
  EXPECT_FALSE(form1.isEnabled());
  EXPECT_EQ(form2.Bar->value(), 0);
  form2.SetPosition(42);
  EXPECT_EQ(form2.Bar->value(), 42);
  EXPECT_FALSE(form2.PollCancel());
  form2.Finish();
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());
}

TEST_F(MainWindowTest, PressingCancelTwiceIsPressingItOnce) {
  form2.Start();
  QTest::mouseClick(form2.Button1, Qt::LeftButton);
  QTest::mouseClick(form2.Button1, Qt::LeftButton);
  EXPECT_TRUE(form2.Cancelled);
  EXPECT_TRUE(form2.PollCancel());
  EXPECT_TRUE(form2.PollCancel());
  form2.Finish();
  EXPECT_TRUE(form2.Cancelled);  // until the next Start
  form2.Start();
  EXPECT_FALSE(form2.Cancelled);
  EXPECT_FALSE(form2.PollCancel());
  form2.Finish();
}

TEST_F(MainWindowTest, PollCancelRunsThePendingEventsWithoutWaiting) {
  form2.Start();
  ClickLater(form2.Button1);
  EXPECT_FALSE(form2.Cancelled);
  EXPECT_TRUE(form2.PollCancel());
  form2.Finish();
}

// A close request and Escape press キャンセル; the window stays until the operation stops.
TEST_F(MainWindowTest, ACloseRequestOrEscapeCancelsTheProgressWindow) {
  for (const bool escape : {false, true}) {
    form2.Start();
    if (escape)
      QTest::keyClick(&form2, Qt::Key_Escape);
    else
      form2.close();
    EXPECT_TRUE(form2.isVisible()) << escape;
    EXPECT_TRUE(form2.PollCancel()) << escape;
    form2.Finish();
    EXPECT_FALSE(form2.isVisible());
  }
}

TEST_F(MainWindowTest, NotifyShowsAMessageBoxOwnedByTheWindowOnScreen) {
  ModalScript script;
  QWidget* owner = nullptr;
  auto answer =
      AnswerBox(Q(text::kMessageCaption), Q(text::kDuplicateChannel), {Q(text::kOk)}, Q(text::kOk));
  auto step = [&](QWidget* box) {
    owner = box->parentWidget();
    answer(box);
  };
  script.Then(step).Then(step);
  form2.Notify(text::kDuplicateChannel);
  EXPECT_EQ(owner, &form1);
  form2.Start();
  form2.Notify(text::kDuplicateChannel);
  EXPECT_EQ(owner, &form2);
  form2.Finish();
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
}

// Watches the windows while a scan runs, through the progress window's polling.
struct ScanWatch {
  ScanWatch(app::TForm1& f1, app::TForm2& f2) : form1(f1), form2(f2) {
    QObject::connect(&timer, &QTimer::timeout, [this] { Look(); });
    timer.start(0);
  }
  void Look() {
    if (!form2.isVisible()) return;
    ++visibleTicks;
    mainDisabled = mainDisabled && !form1.isEnabled();
    positions.push_back(form2.Bar->value());
    if (cancelAt >= 0 && form2.Bar->value() >= cancelAt && !clicked) {
      clicked = true;
      form2.Button1->click();
    }
  }
  app::TForm1& form1;
  app::TForm2& form2;
  QTimer timer;
  int cancelAt = -1;
  bool clicked = false;
  int visibleTicks = 0;
  bool mainDisabled = true;
  std::vector<int> positions;
};

// Channel 0 at sector 100 and channel 1 at sector 800 of 1000: neither is among the first
// 64 sectors, and the scan passes 50 % between them.
void WriteTwoLateChannels(const std::string& path) {
  XaBuilder(1000)
      .Channel(0, true, false, 100, 8, 10)
      .Channel(1, true, false, 800, 8, 10)
      .Write(path);
}

TEST_F(MainWindowTest, FindAllOfALargeFileShowsProgressWithTheMainWindowDisabled) {
  WriteTwoLateChannels(dir.File("late.xa"));
  Open(dir.File("late.xa"));
  ScanWatch watch(form1, form2);
  form1.MenuFind->trigger();
  EXPECT_GT(watch.visibleTicks, 10);  // polled every 64 of 1000 sectors
  EXPECT_TRUE(watch.mainDisabled);
  EXPECT_TRUE(std::is_sorted(watch.positions.begin(), watch.positions.end()));
  EXPECT_GE(watch.positions.back(), 90);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());
  ASSERT_EQ(form1.G->rowCount(), 2);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  0");
  EXPECT_EQ(RowTexts(form1, 1)[0], "  1");
}

TEST_F(MainWindowTest, FindAllOf500SectorsOrFewerShowsNoProgress) {
  XaBuilder(500).Channel(3, true, false, 400, 8, 10).Write(dir.File("short.xa"));
  Open(dir.File("short.xa"));
  ScanWatch watch(form1, form2);
  form1.MenuFindClick();
  EXPECT_EQ(watch.visibleTicks, 0);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  3");
}

TEST_F(MainWindowTest, CancellingFindAllKeepsWhatWasFound) {
  WriteTwoLateChannels(dir.File("late.xa"));
  Open(dir.File("late.xa"));
  ScanWatch watch(form1, form2);
  watch.cancelAt = 50;
  form1.MenuFindClick();
  ASSERT_TRUE(watch.clicked);
  EXPECT_TRUE(watch.mainDisabled);
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_TRUE(prompter.Notices.empty());
  ASSERT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  0");
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());

  // The next scan starts with the cancel cleared and runs to its end.
  ScanWatch second(form1, form2);
  form1.MenuFindClick();
  EXPECT_GT(second.visibleTicks, 0);
  EXPECT_EQ(form1.G->rowCount(), 2);
}

TEST_F(MainWindowTest, AFailedFindAllClosesTheFile) {
  // Channel 5 is 37.8k mono (interleave 8) but its sectors come every 4.
  XaBuilder(200)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(5, true, false, 101, 4, 10)
      .Write(dir.File("bad.xa"));
  Open(dir.File("bad.xa"));
  form1.MenuFindClick();
  EXPECT_EQ(prompter.Notices, std::vector<std::string>{text::kInconsistentRate});
  EXPECT_FALSE(workspace.File.IsOpen());
  EXPECT_EQ(RowTexts(form1, 0), std::vector<std::string>(7, ""));
  for (QAction* item :
       {form1.MenuFind, form1.MenuGap, form1.MenuShow->menuAction(), form1.MenuEdit->menuAction()})
    EXPECT_FALSE(item->isEnabled());
}

TEST_F(MainWindowTest, TheDuplicateChannelWarningComesOverTheProgressWindow) {
  XaBuilder(1000)
      .Channel(4, true, false, 100, 8, 10)
      .Channel(4, true, false, 700, 8, 10)
      .Write(dir.File("twice.xa"));
  Open(dir.File("twice.xa"));
  ModalScript script;
  QWidget* owner = nullptr;
  auto answer =
      AnswerBox(Q(text::kMessageCaption), Q(text::kDuplicateChannel), {Q(text::kOk)}, Q(text::kOk));
  script.Then([&](QWidget* box) {
    owner = box->parentWidget();
    answer(box);
  });
  form1.MenuFindClick();
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
  EXPECT_EQ(owner, &form2);
  EXPECT_TRUE(workspace.File.IsOpen());
  EXPECT_EQ(form1.G->rowCount(), 1);
}

}  // namespace
}  // namespace sorvane::testing
