// Painting the interleave map of a 74-minute file (333,000 sectors) into a 1600 x 400 image
// at every zoom, from the whole file in the width to 16 pixels a period; offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <string>

#include "app/interleave_map_view.h"
#include "app/map_painter.h"
#include "bench_xa.h"
#include "common/progress_monitor.h"
#include "container/channel_scan.h"

namespace {

constexpr int kSectors = 333000;
constexpr int kWidth = 1600;
constexpr int kHeight = 400;

// The file opened and scanned whole once for all benchmarks.
sorvane::XaFile& ScannedFile() {
  static sorvane::XaFile xa;
  if (!xa.IsOpen()) {
    const std::string path = "/tmp/sorvane-bench-map.xa";
    sorvane::SilentProgress progress;
    if (!sorvane::bench::WriteBigXaFile(path, kSectors, false) ||
        sorvane::OpenXaFile(xa, path) != 0 ||
        sorvane::ScanChannels(xa, sorvane::kWalkLimitFull, progress) != 0)
      std::abort();
  }
  return xa;
}

// Pixels per period: 0 stands for the whole file in the width.
double Zoom(std::int64_t arg, const sorvane::XaFile& xa) {
  return arg == 0 ? static_cast<double>(kWidth) / sorvane::PeriodCount(xa) : arg / 4.0;
}

void BM_PaintMap(benchmark::State& state) {
  sorvane::XaFile& xa = ScannedFile();
  sorvane::InterleaveMap map(xa);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  sorvane::app::MapViewport view;
  view.PixelsPerPeriod = Zoom(state.range(0), xa);
  // Zoomed in, the view shows the middle of the file.
  if (state.range(0) != 0) view.FirstPeriod = sorvane::PeriodCount(xa) / 2.0;
  for (auto _ : state) {
    sorvane::app::PaintMap(image, image.rect(), xa, map, view, {0});
    benchmark::DoNotOptimize(image.bits());
  }
  state.counters["periods_shown"] = kWidth / view.PixelsPerPeriod;
}
// Whole file, 1/4, 1, 4 and 16 pixels a period.
BENCHMARK(BM_PaintMap)->Arg(0)->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

// The widget's whole picture (the legend too) at 1600 x 400, with a proposal drawn over it.
void BM_MapViewPicture(benchmark::State& state) {
  sorvane::XaFile& xa = ScannedFile();
  sorvane::app::InterleaveMapView view(xa);
  view.resize(kWidth, kHeight);
  sorvane::ChannelRecord proposal;
  proposal.FirstSector = 7;
  proposal.SectorCount = 40000;
  proposal.Interleave = 8;
  view.SetProposal(proposal);
  for (auto _ : state) benchmark::DoNotOptimize(view.Picture().bits());
}
BENCHMARK(BM_MapViewPicture)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
