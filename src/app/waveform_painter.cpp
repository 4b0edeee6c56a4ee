#include "app/waveform_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/map_painter.h"
#include "edit/channel_list_format.h"
#include "edit/interleave_map.h"

namespace sorvane::app {
namespace {

constexpr int kLaneGap = 2;
constexpr int kLabelSpacing = 90;  // pixels at least between two labels of the ruler
// Steps of the ruler in sectors: whole sectors, then seconds and minutes at 75 a second.
constexpr std::int64_t kRulerSteps[] = {1,     2,     5,      10,     25,    75,   150,
                                        375,   750,   1500,   2250,   4500,  9000, 22500,
                                        45000, 90000, 225000, 450000, 900000};

double ChannelSectorOf(const ChannelRecord& r, double fileSector) {
  return (fileSector - r.FirstSector) / std::max(r.Interleave, 1);
}

// The envelope of column x of one side: from the detail when the column holds less than a
// pair and the detail has it, else from the summary.
bool ColumnEnvelope(const WaveformSummary& summary, const WaveformDetail* detail,
                    const WaveformViewport& view, int side, int x, EnvelopePair& out) {
  const ChannelRecord& r = summary.Record();
  const double t0 = ChannelSectorOf(r, view.FirstSector + x * view.SectorsPerPixel);
  const double t1 = ChannelSectorOf(r, view.FirstSector + (x + 1) * view.SectorsPerPixel);
  if (t1 <= 0 || t0 >= summary.Sectors()) return false;
  const bool close = (t1 - t0) * kPairsPerSector < 1;
  const auto s0 = static_cast<std::int32_t>(std::floor(std::max(t0, 0.0)));
  if (close && detail != nullptr && detail->Holds(s0, s0 + 1)) {
    const double per = detail->PerSector;
    const auto first =
        static_cast<std::int64_t>(std::floor((std::max(t0, 0.0) - detail->First) * per));
    const auto end =
        std::max(first + 1, static_cast<std::int64_t>(std::ceil((t1 - detail->First) * per)));
    const std::vector<std::int16_t>& v = detail->Values[side];
    const std::int64_t last = std::min<std::int64_t>(end, static_cast<std::int64_t>(v.size()));
    if (first >= last) return false;
    const auto [low, high] = std::minmax_element(v.begin() + first, v.begin() + last);
    out = {*low, *high};
    return true;
  }
  const auto p0 = static_cast<std::int64_t>(std::floor(t0 * kPairsPerSector));
  const auto p1 = std::max(p0 + 1, static_cast<std::int64_t>(std::ceil(t1 * kPairsPerSector)));
  return summary.Envelope(side, p0, p1, out);
}

void PaintLane(QImage& image, const QRect& lane, const WaveformSummary& summary,
               const WaveformDetail* detail, const WaveformViewport& view, int side) {
  const QRgb colour = ToQRgb(ChannelColour(summary.Record().Channel));
  const int mid = WaveformRow(lane, 0);
  for (int x = 0; x < lane.width(); ++x) {
    EnvelopePair e;
    const int px = lane.left() + x;
    if (!ColumnEnvelope(summary, detail, view, side, x, e)) {
      const double t =
          ChannelSectorOf(summary.Record(), view.FirstSector + x * view.SectorsPerPixel);
      if (t >= 0 && t < summary.Sectors())
        for (int y = lane.top(); y <= lane.bottom(); ++y) image.setPixel(px, y, kWaveUnknown);
      continue;
    }
    image.setPixel(px, mid, kWaveAxis);
    const int top = WaveformRow(lane, e.Max);
    const int bottom = WaveformRow(lane, e.Min);
    for (int y = top; y <= bottom; ++y) reinterpret_cast<QRgb*>(image.scanLine(y))[px] = colour;
  }
}

std::int64_t RulerStep(const WaveformViewport& view) {
  for (const std::int64_t step : kRulerSteps)
    if (step / view.SectorsPerPixel >= kLabelSpacing) return step;
  return kRulerSteps[std::size(kRulerSteps) - 1];
}

void PaintRuler(QPainter& painter, const QRect& ruler, const WaveformViewport& view, int unit) {
  painter.fillRect(ruler, QColor(0xf4, 0xf4, 0xf4));
  painter.setPen(Qt::darkGray);
  painter.drawLine(ruler.bottomLeft(), ruler.bottomRight());
  const std::int64_t step = RulerStep(view);
  const double last = view.FirstSector + ruler.width() * view.SectorsPerPixel;
  for (auto s = static_cast<std::int64_t>(std::ceil(view.FirstSector / step)) * step; s <= last;
       s += step) {
    const int x =
        ruler.left() + static_cast<int>(std::lround((s - view.FirstSector) / view.SectorsPerPixel));
    painter.setPen(Qt::darkGray);
    painter.drawLine(x, ruler.bottom() - 3, x, ruler.bottom());
    painter.setPen(Qt::black);
    const QString label = QString::fromStdString(FormatPosition(s, unit)).trimmed();
    // A label that would be cut at the right edge is left out; its tick stays.
    if (x + 2 + painter.fontMetrics().horizontalAdvance(label) > ruler.right()) continue;
    painter.drawText(QRect(x + 2, ruler.top(), kLabelSpacing, ruler.height() - 2),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
  }
}

int ColumnOf(const QRect& area, const WaveformViewport& view, double sector) {
  return area.left() +
         static_cast<int>(std::floor((sector - view.FirstSector) / view.SectorsPerPixel));
}

void PaintMarks(QImage& image, const QRect& area, int rulerHeight, const WaveformViewport& view,
                const WaveformMarks& marks) {
  const int top = area.top() + rulerHeight;
  auto line = [&](double sector, QRgb colour) {
    const int x = ColumnOf(area, view, sector);
    if (sector < 0 || x < area.left() || x > area.right()) return;
    for (int y = top; y <= area.bottom(); ++y) image.setPixel(x, y, colour);
  };
  line(marks.HoverSector, kWaveHover);
  line(marks.PlayheadSector, kWavePlayhead);
}

void PaintSelection(QImage& image, const QRect& area, int rulerHeight, const WaveformViewport& view,
                    const WaveformMarks& marks) {
  if (marks.SelectionFirst < 0 || marks.SelectionEnd <= marks.SelectionFirst) return;
  const int x0 = std::max(area.left(), ColumnOf(area, view, marks.SelectionFirst));
  const int x1 = std::min(area.right(), ColumnOf(area, view, marks.SelectionEnd));
  for (int y = area.top() + rulerHeight; y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = x0; x <= x1; ++x) row[x] = kWaveSelection;
  }
}

}  // namespace

int WaveformRulerHeight(const QFont& font) { return QFontMetrics(font).height() + 4; }

QRect WaveformLane(const QRect& area, int rulerHeight, int side, int sides) {
  const int top = area.top() + rulerHeight + kLaneGap;
  const int height = std::max(2, (area.bottom() - top + 1 - (sides - 1) * kLaneGap) / sides);
  return QRect(area.left(), top + side * (height + kLaneGap), area.width(), height);
}

int WaveformRow(const QRect& lane, int value) {
  const double half = (lane.height() - 1) / 2.0;
  const double y = lane.top() + half - value * half / 32768.0;
  return std::clamp(static_cast<int>(std::lround(y)), lane.top(), lane.bottom());
}

void PaintWaveform(QImage& image, const QRect& area, const QFont& font,
                   const WaveformSummary& summary, const WaveformDetail* detail,
                   const WaveformViewport& view, const WaveformMarks& marks, int unit) {
  const int ruler = WaveformRulerHeight(font);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + area.left(), row + area.right() + 1, kWaveBackground);
  }
  PaintSelection(image, area, ruler, view, marks);
  for (int side = 0; side < summary.Sides(); ++side)
    PaintLane(image, WaveformLane(area, ruler, side, summary.Sides()), summary, detail, view, side);
  PaintMarks(image, area, ruler, view, marks);
  QPainter painter(&image);
  painter.setFont(font);
  PaintRuler(painter, QRect(area.left(), area.top(), area.width(), ruler), view, unit);
}

}  // namespace sorvane::app
