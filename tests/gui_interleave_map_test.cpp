// The interleave map under the channel list: colours at known sectors of built files, the
// selected row, hovering, clicks, zoom and scrolling, and the append dialog's preview.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "app/interleave_map_view.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"
#include "gui_support.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QRgb Colour(const MapRgb& c) { return app::ToQRgb(c); }

// The colours inside a sector's cell, as painted.
QSet<QRgb> CellColours(app::InterleaveMapView& map, std::int64_t sector) {
  const QImage picture = map.Picture();
  const QPoint centre = map.CentreOf(sector);
  QSet<QRgb> colours;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) colours.insert(picture.pixel(centre + QPoint(dx, dy)));
  return colours;
}

QRgb CentreColour(app::InterleaveMapView& map, std::int64_t sector) {
  EXPECT_EQ(map.SectorAt(map.CentreOf(sector)), sector) << "the cell of " << sector;
  return map.Picture().pixel(map.CentreOf(sector));
}

// 320 sectors (10 periods): channel 1 on every 8th sector from 0 (end 80), channel 2 on
// every 4th from 2 (end 22), a data sector at 5. The scan leaves a post-gap of 240.
class MapTest : public MainWindowTest {
 protected:
  MapTest() {
    XaBuilder(320)
        .Channel(1, true, false, 0, 8, 10)
        .Channel(2, true, true, 2, 4, 5)
        .Data(5)
        .Write(path);
    Open(path);
    view.resize(480, 340);  // 48 pixels a period, rows of about 9 pixels
    view.show();
  }
  std::string path = dir.File("map.xa");
  app::InterleaveMapView view{workspace.File};
};

TEST_F(MapTest, PaintsChannelsDataEmptySectorsAndHatchedPostGaps) {
  ASSERT_EQ(workspace.File.ChannelPostGap, 240);
  ASSERT_GE(view.Viewport().PixelsPerPeriod, 8);
  EXPECT_EQ(CentreColour(view, 8), Colour(ChannelColour(1)));
  EXPECT_EQ(CentreColour(view, 6), Colour(ChannelColour(2)));
  EXPECT_NE(ChannelColour(1), ChannelColour(2));
  EXPECT_EQ(CentreColour(view, 5), Colour(kDataColour));
  EXPECT_EQ(CentreColour(view, 1), Colour(kEmptyColour));
  // Channel 1's post-gap from 80 on: its colour on the hatch lines, white between.
  EXPECT_EQ(CellColours(view, 88), (QSet<QRgb>{Colour(ChannelColour(1)), Colour(kEmptyColour)}));
  EXPECT_EQ(view.SectorAt(view.CentreOf(88)), 88);
}

TEST_F(MapTest, TheSelectedChannelIsDrawnDarker) {
  view.SetSelectedRecord(1);
  EXPECT_EQ(CentreColour(view, 6), app::Highlighted(ChannelColour(2)));
  EXPECT_EQ(CentreColour(view, 8), Colour(ChannelColour(1)));
  view.SetSelectedRecord(-1);
  EXPECT_EQ(CentreColour(view, 6), Colour(ChannelColour(2)));
}

TEST_F(MapTest, HoveringNamesTheSectorItsPositionAndItsOwner) {
  EXPECT_EQ(view.HoverText(view.CentreOf(8)), Q("セクタ 8 (0:00.08): チャンネル 1"));
  view.SetUnit(UnitHexSectors);
  EXPECT_EQ(view.HoverText(view.CentreOf(88)), Q("セクタ 88 (58): チャンネル 1 のポストギャップ"));
  view.SetUnit(UnitSectors);
  EXPECT_EQ(view.HoverText(view.CentreOf(5)), Q("セクタ 5 (5): データ"));
  EXPECT_EQ(view.HoverText(view.CentreOf(1)), Q("セクタ 1 (1): 空き"));
  EXPECT_EQ(view.HoverText(QPoint(5, 2)), QString());  // the legend
}

TEST_F(MapTest, CtrlWheelZoomsAroundThePointerAndTheWheelScrolls) {
  const std::string large = dir.File("large.xa");
  XaBuilder(3200).Channel(1, true, false, 0, 8, 10).Write(large);
  Open(large);
  view.Refresh();
  const app::MapViewport fitted = view.Viewport();
  EXPECT_DOUBLE_EQ(fitted.PixelsPerPeriod * 100, view.MapArea().width());
  const QPointF at(view.MapArea().left() + 240, view.MapArea().center().y());
  const double anchor = fitted.FirstPeriod + 240 / fitted.PixelsPerPeriod;
  for (int notch = 0; notch < 3; ++notch) {
    QWheelEvent zoom(at, view.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &zoom);
  }
  const app::MapViewport zoomed = view.Viewport();
  EXPECT_NEAR(zoomed.PixelsPerPeriod, fitted.PixelsPerPeriod * 1.25 * 1.25 * 1.25, 1e-9);
  EXPECT_NEAR(zoomed.FirstPeriod + 240 / zoomed.PixelsPerPeriod, anchor, 1e-9);
  EXPECT_GT(zoomed.FirstPeriod, 0);

  auto* scroll = view.findChild<QScrollBar*>();
  ASSERT_NE(scroll, nullptr);
  QWheelEvent back(at, view.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &back);
  EXPECT_LT(view.Viewport().FirstPeriod, zoomed.FirstPeriod);
  EXPECT_EQ(scroll->value(), std::lround(view.Viewport().FirstPeriod));
  // The scroll bar's end shows the file's last period at the right edge.
  scroll->setValue(scroll->maximum());
  const app::MapViewport end = view.Viewport();
  EXPECT_DOUBLE_EQ(end.FirstPeriod + view.MapArea().width() / end.PixelsPerPeriod, 100);
  // Zooming out past the whole file stops at the whole file.
  view.ZoomAround(0, 0.001);
  EXPECT_DOUBLE_EQ(view.Viewport().PixelsPerPeriod, fitted.PixelsPerPeriod);
  EXPECT_EQ(view.Viewport().FirstPeriod, 0);
}

// A file that fits the view at the widest zoom still zooms in, to eight times the whole
// file, and the scroll bar reaches every part of it.
TEST_F(MapTest, ASmallFileZoomsInPastTheWholeFile) {
  XaBuilder(100).Channel(1, true, false, 0, 8, 10).Write(dir.File("small.xa"));
  Open(dir.File("small.xa"));
  view.Refresh();
  const double fit = view.Viewport().PixelsPerPeriod;
  ASSERT_GT(fit, 16);
  view.ZoomAround(0, 1000);
  EXPECT_DOUBLE_EQ(view.Viewport().PixelsPerPeriod, fit * 8);
  auto* scroll = view.findChild<QScrollBar*>();
  scroll->setValue(scroll->maximum());
  const app::MapViewport end = view.Viewport();
  EXPECT_NEAR(end.FirstPeriod + view.MapArea().width() / end.PixelsPerPeriod, 4, 1e-9);
}

TEST_F(MapTest, TheWindowsMapFollowsTheListAndSelectsItsRows) {
  app::InterleaveMapView& map = *form1.Map;
  ASSERT_EQ(form1.G->currentRow(), 0);
  EXPECT_EQ(CentreColour(map, 8), app::Highlighted(ChannelColour(1)));
  QTest::mouseClick(&map, Qt::LeftButton, {}, map.CentreOf(6));
  EXPECT_EQ(form1.G->currentRow(), 1);
  EXPECT_EQ(CentreColour(map, 6), app::Highlighted(ChannelColour(2)));
  EXPECT_EQ(CentreColour(map, 8), Colour(ChannelColour(1)));
  QTest::mouseClick(&map, Qt::LeftButton, {}, map.CentreOf(1));  // empty: the row stays
  EXPECT_EQ(form1.G->currentRow(), 1);
  // A change of units reaches the hover text.
  form1.MenuSpH->trigger();
  EXPECT_EQ(map.HoverText(map.CentreOf(88)), Q("セクタ 88 (58): チャンネル 1 のポストギャップ"));
}

TEST_F(MainWindowTest, TheMapShowsWhatAFindAllFinds) {
  const std::string late = dir.File("late.xa");
  XaBuilder(400).Channel(2, false, false, 100, 16, 10).Write(late);
  Open(late);
  app::InterleaveMapView& map = *form1.Map;
  ASSERT_GE(map.Viewport().PixelsPerPeriod, 1);
  EXPECT_EQ(CentreColour(map, 116), Colour(kEmptyColour));
  form1.MenuFind->trigger();
  EXPECT_EQ(CentreColour(map, 116), app::Highlighted(ChannelColour(2)));
  // A file that does not open leaves no sectors on the map.
  const std::string broken = dir.File("broken.xa");
  WriteFileBytes(broken, "1234567");
  EXPECT_EQ(form1.OpenByPath(broken), -1);
  const QPoint middle = map.MapArea().center();
  EXPECT_EQ(map.Picture().pixel(middle), app::kOutsideColour);
  EXPECT_EQ(map.HoverText(middle), QString());
}

class MapSettingsTest : public EditorTest {};

TEST_F(MapSettingsTest, NewPostGapsAndANewLengthAreDrawnAfterTheSettings) {
  const std::string path = dir.File("gaps.xa");
  XaBuilder(320).Channel(1, true, false, 0, 8, 10).Write(path);  // ends at 80
  Open(path);
  app::InterleaveMapView& map = *form1.Map;
  // Channel 1's post-gap, in the darker colour of the selected row.
  ASSERT_EQ(CellColours(map, 88),
            (QSet<QRgb>{app::Highlighted(ChannelColour(1)), Colour(kEmptyColour)}));
  ModalScript script;
  script.Then([](QWidget* modal) {
    auto* form = qobject_cast<app::TForm4*>(modal);
    ASSERT_NE(form, nullptr);
    form->Gap1->setText(QStringLiteral("0.00"));  // no channel post-gap
    form->Gap2->setText(QStringLiteral("5.00"));  // 375 sectors after the end: 455 in all
    form->Modify->setCurrentIndex(1);             // allowed
    ClickLater(form->Button1);
  });
  Run(script, [&] { form1.MenuGap->trigger(); });
  ASSERT_EQ(workspace.File.SectorCount, 455);
  EXPECT_EQ(CentreColour(map, 88), Colour(kEmptyColour));
  // The whole file, now 15 periods, still fills the map's width.
  EXPECT_DOUBLE_EQ(map.Viewport().PixelsPerPeriod * 15, map.MapArea().width());
}

// Stereo 37.8 kHz WAV of `frames` frames: 2016 frames fill one sector.
void WriteStereoWav(const std::string& path, int frames) {
  WavBuilder(2, 37800, 16)
      .Samples16(Frames16(frames, 2, [](int i, int c) { return (i % 500) * 40 - c * 200; }))
      .Write(path);
}

class PreviewTest : public EditorTest {};

TEST_F(PreviewTest, TheAppendDialogsProposalIsDrawnWithItsCollisionsInRed) {
  // Channel 0 (37.8k stereo) at 0, 4, ..., 36 of 300; a 5-sector sound to add.
  const std::string xa = dir.File("a.xa");
  const std::string wav = dir.File("in.wav");
  XaBuilder(300).Channel(0, true, true, 0, 4, 10).Write(xa);
  WriteStereoWav(wav, 5 * 2016);
  Open(xa);
  files.Answers = {wav};
  app::InterleaveMapView& map = *form1.Map;
  QRgb proposed = 0, typedColliding = 0, typedLater = 0, pastTheEnd = 0;
  ModalScript script;
  script.Then([&](QWidget*) {
    proposed = CentreColour(map, 1);     // the proposal: slot 1 from 0
    form5.TrackSel->setCurrentIndex(0);  // onto channel 0's sectors
    typedColliding = CentreColour(map, 8);
    form5.TrackSel->setCurrentIndex(2);
    form5.StartEdit->setText(QStringLiteral("3.0"));  // 225 sectors: slot 2 of the cycle, 226
    typedLater = CentreColour(map, 226);
    form5.StartEdit->setText(QStringLiteral("5.0"));  // 374: past the file's 300 sectors
    pastTheEnd = CentreColour(map, 374);
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_EQ(proposed, Colour(kProposalColour));
  EXPECT_EQ(typedColliding, Colour(kCollisionColour));
  EXPECT_EQ(typedLater, Colour(kProposalColour));
  EXPECT_EQ(pastTheEnd, Colour(kProposalColour));
  // Closed: no proposal left on the map.
  EXPECT_EQ(CentreColour(map, 1), Colour(kEmptyColour));
}

}  // namespace
}  // namespace sorvane::testing
