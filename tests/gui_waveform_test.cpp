// The waveform strip between the list and the map: the envelope's pixels of built channels
// (tones, silence, two different sides), the cache dropped after an edit and an undo, the
// hover links with the map, playback from a clicked point and the export of a selected range.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTest>

#include "app/interleave_map_view.h"
#include "app/waveform_view.h"
#include "edit/channel_export.h"
#include "edit/list_position.h"
#include "gui_support.h"
#include "support/sound_channel.h"
#include "support/tone_channel.h"

namespace sorvane::testing {
namespace {

// The strip's lane of a side, as the painter lays it out.
QRect LaneOf(const app::WaveformView& wave, int side, int sides) {
  return app::WaveformLane(wave.StripArea(), app::WaveformRulerHeight(wave.font()), side, sides);
}

class WaveformTest : public MainWindowTest {
 protected:
  WaveformTest() { form1.resize(900, 640); }

  // Lets events run until the shown channel's summary is complete; false after 10 s.
  bool SummaryArrives() {
    const auto complete = [&] {
      return form1.Wave->Summary() != nullptr && form1.Wave->Summary()->Complete();
    };
    QElapsedTimer waited;
    waited.start();
    while (!complete() && waited.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return complete();
  }
  void MoveOver(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }

  std::string path = dir.File("wave.xa");
};

struct EnvelopeCase {
  const char* Name;
  bool Stereo;
  Tone Left;
  Tone Right;
  int Peak[2];  // the largest magnitude of each lane's sound
};

class WaveformEnvelope : public WaveformTest, public ::testing::WithParamInterface<EnvelopeCase> {};

TEST_P(WaveformEnvelope, EachColumnSpansItsSoundsMinimumToMaximum) {
  const EnvelopeCase& c = GetParam();
  // 37.8 kHz at its normal interleave: 4 for stereo, 8 for mono.
  const ChannelRecord record = SoundRecord(4, true, c.Stereo, 2, c.Stereo ? 4 : 8, 300);
  ToneChannelFile(2500, record, c.Left, c.Right).Write(path);
  Open(path);
  ASSERT_TRUE(SummaryArrives());
  const app::WaveformView& wave = *form1.Wave;
  const QImage picture = form1.Wave->Picture();
  const QRgb colour = app::ToQRgb(ChannelColour(4));
  const int sides = c.Stereo ? 2 : 1;
  for (int side = 0; side < sides; ++side) {
    const QRect lane = LaneOf(wave, side, sides);
    for (const int x : {lane.width() / 4, lane.width() / 2, lane.width() - 5}) {
      const int px = lane.left() + x;
      const auto at = [&](int value) { return picture.pixel(px, app::WaveformRow(lane, value)); };
      EXPECT_EQ(at(0), colour) << side << " " << x;
      if (c.Peak[side] == 0) {
        // Silence: the axis alone, nothing a pixel away from it.
        EXPECT_NE(picture.pixel(px, app::WaveformRow(lane, 0) - 1), colour) << side;
        EXPECT_NE(picture.pixel(px, app::WaveformRow(lane, 0) + 1), colour) << side;
        continue;
      }
      // Within the encoder's error of 2 % of full scale around each peak.
      EXPECT_EQ(at(c.Peak[side] - 700), colour) << side << " " << x;
      EXPECT_EQ(at(-(c.Peak[side] - 700)), colour) << side << " " << x;
      EXPECT_NE(at(c.Peak[side] + 1500), colour) << side << " " << x;
      EXPECT_NE(at(-(c.Peak[side] + 1500)), colour) << side << " " << x;
    }
  }
}

const EnvelopeCase kEnvelopes[] = {
    {"ToneMono", false, {20000}, {20000}, {20000, 0}},
    {"SilenceMono", false, {0}, {0}, {0, 0}},
    {"StereoDifferentSides", true, {26000}, {6000}, {26000, 6000}},
    {"StereoSilentLeft", true, {0}, {16000}, {0, 16000}},
};

INSTANTIATE_TEST_SUITE_P(Gui, WaveformEnvelope, ::testing::ValuesIn(kEnvelopes),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WaveformTest, TheCacheIsDroppedAfterAnEditAndAnUndo) {
  // Channel 4 a tone, channel 6 silent sectors between its sectors.
  ToneChannelFile(1300, SoundRecord(4, true, true, 2, 4, 200), {20000}, {20000})
      .Channel(6, true, false, 3, 8, 30)
      .Write(path);
  Open(path);
  ASSERT_TRUE(SummaryArrives());
  form1.G->setCurrentCell(1, 1);
  ASSERT_TRUE(SummaryArrives());
  EXPECT_EQ(form1.Wave->Summary()->Record().Channel, 6);
  form1.G->setCurrentCell(0, 1);
  ASSERT_EQ(form1.Wave->CachedChannels(), 2);
  // Kept per channel: showing channel 4 again computes nothing.
  EXPECT_TRUE(form1.Wave->Summary()->Complete());

  prompter.Answers = {true};
  form1.G->setCurrentCell(1, 1);
  form1.ChDeleteClick();  // channel 6
  ASSERT_EQ(workspace.File.AudioChannelTable.Count, 1);
  EXPECT_EQ(form1.Wave->CachedChannels(), 1);  // only the shown channel, started afresh
  EXPECT_EQ(form1.Wave->Summary()->Received(0), 0);
  ASSERT_TRUE(SummaryArrives());

  form1.MenuUndoClick();
  ASSERT_EQ(workspace.File.AudioChannelTable.Count, 2);
  EXPECT_EQ(form1.Wave->CachedChannels(), 1);
  EXPECT_EQ(form1.Wave->Summary()->Received(0), 0);
  ASSERT_TRUE(SummaryArrives());
}

TEST_F(WaveformTest, HoveringEitherMarksTheOther) {
  const ChannelRecord record = SoundRecord(4, true, true, 2, 4, 300);
  ToneChannelFile(1300, record, {20000}, {3000}).Write(path);
  Open(path);
  ASSERT_TRUE(SummaryArrives());
  app::WaveformView* wave = form1.Wave;
  // The waveform's pointer marks its channel's sector on the map.
  const int x = wave->width() / 3;
  const double sector = wave->SectorAtColumn(x);
  MoveOver(wave, QPoint(x, wave->height() / 2));
  const std::int64_t channelSector = 2 + static_cast<std::int64_t>((sector - 2) / 4) * 4;
  EXPECT_EQ(form1.Map->Marks().HoverSector, channelSector);
  EXPECT_EQ(form1.Map->Picture().pixel(form1.Map->CentreOf(channelSector)), app::kMapHoverMark);
  // The map's pointer marks the sector's time on the waveform.
  form1.Map->ZoomAround(0, 20);
  MoveOver(form1.Map, form1.Map->CentreOf(42));
  EXPECT_EQ(wave->Marks().HoverSector, 42);
  const QRect lane = LaneOf(*wave, 1, 2);
  EXPECT_EQ(wave->Picture().pixel(wave->ColumnOfSector(42), lane.top() + 1), app::kWaveHover);
  // Outside the file's sectors nothing is marked.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(form1.Map, &leave);
  EXPECT_EQ(wave->Marks().HoverSector, -1);
}

TEST_F(WaveformTest, AClickPlaysFromThatPointAndThePlayheadIsDrawn) {
  const ChannelRecord record = SoundRecord(4, true, true, 2, 4, 40);
  SoundChannelFile(200, record).Write(path);
  Open(path);
  ASSERT_TRUE(SummaryArrives());
  const int x = form1.Wave->width() * 2 / 5;
  const std::int64_t frame = form1.Wave->FrameAtColumn(x);
  ASSERT_GT(frame, 0);
  QTest::mouseClick(form1.Wave, Qt::LeftButton, {}, QPoint(x, form1.Wave->height() / 2));
  std::string played;
  for (const auto& write : audio.Writes) played += write.Bytes;
  std::string whole;
  for (const std::string& block : ReferenceBlocks(workspace.File, record)) whole += block;
  EXPECT_TRUE(played == whole.substr(frame * 4)) << played.size() << " " << whole.size();
  // The playhead stands at a frame's column.
  form1.Wave->SetPlayheadFrame(frame);
  const QRect lane = LaneOf(*form1.Wave, 0, 2);
  EXPECT_EQ(form1.Wave->Picture().pixel(form1.Wave->ColumnOfSector(SectorOfFrame(record, frame)),
                                        lane.top() + 1),
            app::kWavePlayhead);
}

TEST_F(WaveformTest, AShiftDraggedRangeIsExportedAsTheSliceOfTheWholeExport) {
  const ChannelRecord record = SoundRecord(4, false, false, 1, 16, 20);
  SoundChannelFile(400, record).Write(path);
  Open(path);
  ASSERT_TRUE(SummaryArrives());
  app::WaveformView* wave = form1.Wave;
  EXPECT_FALSE(form1.MenuExportPart->isEnabled());
  const int y = wave->height() / 2;
  const int x0 = wave->width() / 5;
  const int x1 = wave->width() * 3 / 4;
  QTest::mousePress(wave, Qt::LeftButton, Qt::ShiftModifier, QPoint(x0, y));
  MoveOver(wave, QPoint(x1, y));
  QTest::mouseRelease(wave, Qt::LeftButton, Qt::ShiftModifier, QPoint(x1, y));
  ASSERT_TRUE(form1.MenuExportPart->isEnabled());
  const FrameSpan span = *wave->Selection();
  EXPECT_EQ(span.From, wave->FrameAtColumn(x0));
  EXPECT_EQ(span.To, wave->FrameAtColumn(x1));
  EXPECT_TRUE(audio.Writes.empty());  // a shift-press selects, it does not play

  const std::string part = dir.File("part.wav");
  const std::string whole = dir.File("whole.wav");
  files.Answers = {part};
  form1.MenuExportPart->trigger();
  Workspace fresh;
  ASSERT_EQ(OpenXaFile(fresh.File, path), 0);
  SilentProgress silent;
  ASSERT_EQ(ExportChannel(fresh, record, whole, silent), Outcome::Done);
  const std::string all = ReadFileBytes(whole);
  const std::string got = ReadFileBytes(part);
  const std::size_t bytes = (span.To - span.From) * 2;
  ASSERT_EQ(got.size(), 44 + bytes);
  EXPECT_TRUE(got.substr(44) == all.substr(44 + span.From * 2, bytes));
  EXPECT_EQ(static_cast<unsigned char>(got[40]) | static_cast<unsigned char>(got[41]) << 8 |
                static_cast<unsigned char>(got[42]) << 16,
            static_cast<int>(bytes));
}

}  // namespace
}  // namespace sorvane::testing
