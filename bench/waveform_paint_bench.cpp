// waveform_paint_bench FILE CH: the waveform strip of channel CH offscreen, 1600 x 160 pixels.
// While the worker threads compute the summary it measures the longest gap between two turns
// of the event loop (a zero timer), then the time Picture() takes at zooms from the whole
// channel down to one decoded value a column (median of 15 paints each).
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/waveform_view.h"
#include "edit/file_open.h"
#include "edit/workspace.h"

namespace {

double MedianMs(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) / 2];
}

// Lets events run for `ms` milliseconds, so that a close zoom's decoding arrives.
void Settle(int ms) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The summary as the window gets it, with the longest gap between two event-loop turns.
void MeasureSummary(sorvane::app::WaveformView& view, const sorvane::ChannelRecord& record) {
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest = 0;
  QTimer turn;
  QObject::connect(&turn, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  turn.start(0);
  clock.start();
  view.ShowChannel(record);
  while (!view.Summary()->Complete()) QApplication::processEvents(QEventLoop::AllEvents, 5);
  const qint64 total = clock.elapsed();
  turn.stop();
  std::printf("summary in the window %.3f s; longest gap between event-loop turns %lld ms\n",
              total / 1000.0, static_cast<long long>(longest));
  std::printf("summary memory %.2f MB\n", view.Summary()->MemoryBytes() / 1e6);
}

// Picture() at zooms from the whole channel to one decoded value a column.
void MeasurePaints(sorvane::app::WaveformView& view) {
  for (const double factor : {1.0, 4.0, 16.0, 64.0, 256.0, 1024.0, 4096.0, 16384.0, 65536.0}) {
    view.ZoomToFit();
    view.ZoomAround(800, factor);
    Settle(150);
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
      QElapsedTimer paint;
      paint.start();
      const QImage picture = view.Picture();
      times.push_back(paint.nsecsElapsed() / 1e6);
    }
    std::printf("zoom x%-6.0f %9.3f sectors a column: paint %.2f ms\n", factor,
                view.Viewport().SectorsPerPixel, MedianMs(times));
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: waveform_paint_bench FILE CH\n");
    return 2;
  }
  auto work = std::make_unique<sorvane::Workspace>();
  sorvane::SilentProgress silent;
  if (sorvane::OpenAndScan(work->File, argv[1], sorvane::ScanExtent::FirstSectors, silent) ==
      sorvane::Outcome::Failed)
    return 1;
  std::optional<sorvane::ChannelRecord> record;
  for (const sorvane::ChannelRecord& r : work->File.AudioChannelTable)
    if (r.Channel == std::atoi(argv[2])) record = r;
  if (!record) return 1;

  sorvane::app::WaveformView view(work->File);
  view.resize(1600, 160 + view.findChild<QScrollBar*>()->sizeHint().height());
  MeasureSummary(view, *record);
  MeasurePaints(view);
  return 0;
}
