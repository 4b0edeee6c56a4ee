// The channel list in its three units, the menus it enables and the unit check marks.
#include <QAction>
#include <QMenu>
#include <QTableWidget>

#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

using Row = std::vector<std::string>;

struct UnitCase {
  const char* name;
  void (app::TForm1::*command)();
  int unit;
  Row first;   // channel 1 at sector 3, interleave 8, 124 sectors, 37.8k mono
  Row second;  // channel 2 at sector 5000, interleave 8, 3000 sectors, double speed
  const char* lengthHeader;
};

const UnitCase kUnitCases[] = {
    {"Time",
     &app::TForm1::MenuSp1Click,
     UnitTime,
     {"  1", "  3", "  0:00.00", "  0:13.17", "  0:13.17", " 37.8k Mono", "  等速"},
     {"  2", "  0", "  1:06.50", "  6:26.50", "  2:40.00", " 37.8k Stereo", "  倍速"},
     "再生時間"},
    {"Sectors",
     &app::TForm1::MenuSpSClick,
     UnitSectors,
     {"  1", "  3", "      3", "    995", "    992", " 37.8k Mono", "  等速"},
     {"  2", "  0", "   5000", "  29000", "  24000", " 37.8k Stereo", "  倍速"},
     "  長さ"},
    {"HexSectors",
     &app::TForm1::MenuSpHClick,
     UnitHexSectors,
     {"  1", "  3", "      3", "    3E3", "    3E0", " 37.8k Mono", "  等速"},
     {"  2", "  0", "   1388", "   7148", "   5DC0", " 37.8k Stereo", "  倍速"},
     "  長さ"},
};

// One file for the whole suite: the second example channel needs 29000 sectors.
class ExampleRowsTest : public MainWindowTest {
 protected:
  static void SetUpTestSuite() {
    examples_ = new TempDir;
    XaBuilder(29000)
        .Channel(1, true, false, 3, 8, 124)
        .Channel(2, true, true, 5000, 8, 3000)
        .Write(examples_->File("examples.xa"));
  }
  static void TearDownTestSuite() { delete examples_; }

  void OpenAndFindAll() {
    Open(examples_->File("examples.xa"));
    form1.MenuFindClick();
    ASSERT_TRUE(workspace.File.IsOpen());
    ASSERT_EQ(form1.G->rowCount(), 2);
  }

  static TempDir* examples_;
};

TempDir* ExampleRowsTest::examples_ = nullptr;

TEST_F(ExampleRowsTest, EachUnitShowsItsTextsChecksItsItemAndNamesColumn4) {
  OpenAndFindAll();
  for (const UnitCase& c : kUnitCases) {
    SCOPED_TRACE(c.name);
    (form1.*c.command)();
    EXPECT_EQ(form1.DisplayUnit, c.unit);
    EXPECT_EQ(RowTexts(form1, 0), c.first);
    EXPECT_EQ(RowTexts(form1, 1), c.second);
    EXPECT_EQ(HeaderText(form1, 4), c.lengthHeader);
    EXPECT_EQ(form1.MenuSp1->isChecked(), c.unit == UnitTime);
    EXPECT_EQ(form1.MenuSpS->isChecked(), c.unit == UnitSectors);
    EXPECT_EQ(form1.MenuSpH->isChecked(), c.unit == UnitHexSectors);
  }
}

TEST_F(ExampleRowsTest, SwitchingUnitsKeepsTheOrderAndTheSelectedRow) {
  OpenAndFindAll();
  form1.G->setCurrentCell(1, 2);
  form1.MenuSpS->trigger();
  EXPECT_EQ(form1.G->currentRow(), 1);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  1");
  form1.MenuSp1->trigger();
  EXPECT_EQ(form1.G->currentRow(), 1);
  EXPECT_EQ(RowTexts(form1, 1)[0], "  2");
  // The whole row is selected, without the fixed first column.
  const QList<QTableWidgetItem*> selected = form1.G->selectedItems();
  EXPECT_EQ(selected.size(), 6);
  for (const QTableWidgetItem* item : selected) EXPECT_EQ(item->row(), 1);
}

TEST_F(ExampleRowsTest, TheUnitStaysWhenAnotherFileIsOpened) {
  form1.MenuSpHClick();
  OpenAndFindAll();
  EXPECT_EQ(RowTexts(form1, 1)[2], "   1388");
}

TEST_F(MainWindowTest, WithoutAFileTheUnitMenuStillMovesItsCheckMark) {
  form1.MenuSpSClick();
  EXPECT_TRUE(form1.MenuSpS->isChecked());
  EXPECT_FALSE(form1.MenuSp1->isChecked());
  EXPECT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0), Row(7, ""));
  EXPECT_EQ(HeaderText(form1, 4), "再生時間");
  for (QAction* item :
       {form1.MenuFind, form1.MenuGap, form1.MenuShow->menuAction(), form1.MenuEdit->menuAction()})
    EXPECT_FALSE(item->isEnabled());
}

TEST_F(MainWindowTest, AnOpenFileWithoutChannelsLeavesTheColumn4HeaderAsItWas) {
  XaBuilder(100).Data(5).Write(dir.File("data.xa"));
  Open(dir.File("data.xa"));
  EXPECT_EQ(workspace.File.DataRunTable.Count, 1);  // data runs are never listed
  for (QAction* item :
       {form1.MenuFind, form1.MenuGap, form1.MenuShow->menuAction(), form1.MenuEdit->menuAction()})
    EXPECT_TRUE(item->isEnabled());
  form1.MenuSpH->trigger();
  EXPECT_TRUE(form1.MenuSpH->isChecked());
  EXPECT_FALSE(form1.MenuSp1->isChecked());
  EXPECT_EQ(HeaderText(form1, 4), "再生時間");
  EXPECT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0), Row(7, ""));
}

TEST_F(MainWindowTest, TheSelectionMovesToTheLastRowWhenItsRowIsGone) {
  XaBuilder(100)
      .Channel(0, true, true, 0, 4, 5)
      .Channel(1, true, true, 1, 4, 5)
      .Channel(2, true, true, 2, 4, 5)
      .Write(dir.File("three.xa"));
  XaBuilder(100).Channel(7, true, true, 0, 4, 5).Write(dir.File("one.xa"));
  Open(dir.File("three.xa"));
  ASSERT_EQ(form1.G->rowCount(), 3);
  form1.G->setCurrentCell(2, 1);
  Open(dir.File("one.xa"));
  EXPECT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(form1.G->currentRow(), 0);
  EXPECT_EQ(RowTexts(form1, 0)[0], "  7");
}

TEST_F(MainWindowTest, ClosingTheFileEmptiesTheChannelTable) {
  XaBuilder(100).Channel(0, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  Open(dir.File("a.xa"));
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
  files.Answers = {dir.File("missing/a.xa")};
  form1.MenuOpenClick();
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 0);
}

}  // namespace
}  // namespace sorvane::testing
