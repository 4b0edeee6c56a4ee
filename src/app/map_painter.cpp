#include "app/map_painter.h"

#include <algorithm>
#include <cmath>

namespace sorvane::app {
namespace {

constexpr QRgb kWhite = 0xffffffff;

// How one cell is filled: a plain colour, or a colour on the hatch lines.
struct CellFill {
  QRgb Colour;
  bool Hatched = false;
};

CellFill FillOf(const XaFile& xa, const MapColumn& column, int row, const MapMarks& marks) {
  const std::uint32_t bit = 1u << row;
  if (column.Colliding & bit) return {ToQRgb(kCollisionColour)};
  if (column.Proposed & bit) return {ToQRgb(kProposalColour)};
  if (!(column.Present & bit)) return {kOutsideColour};
  const SectorOwner& owner = column.Owner[row];
  const MapRgb rgb = OwnerColour(xa, owner);
  const bool selected = owner.Record == marks.SelectedRecord &&
                        (owner.Kind == OwnerKind::Audio || owner.Kind == OwnerKind::AudioPostGap);
  return {selected ? Highlighted(rgb) : ToQRgb(rgb), owner.IsPostGap()};
}

void FillCell(QImage& image, const QRect& area, int x0, int x1, int y0, int y1, CellFill fill) {
  for (int y = area.top() + y0; y < area.top() + y1; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left() + x0; x < area.left() + x1; ++x)
      line[x] = !fill.Hatched || OnHatchLine(x, y) ? fill.Colour : kWhite;
  }
}

}  // namespace

QRgb ToQRgb(const MapRgb& c) { return qRgb(c.R, c.G, c.B); }

QRgb Highlighted(const MapRgb& c) { return qRgb(c.R * 7 / 10, c.G * 7 / 10, c.B * 7 / 10); }

PeriodSpan PeriodsAtPixel(const MapViewport& view, int x) {
  const double ppp = view.PixelsPerPeriod;
  PeriodSpan span{static_cast<std::int64_t>(std::floor(view.FirstPeriod + x / ppp)), 0};
  span.End = ppp >= 1 ? span.First + 1
                      : static_cast<std::int64_t>(std::floor(view.FirstPeriod + (x + 1) / ppp));
  span.End = std::max(span.End, span.First + 1);
  return span;
}

int RowTop(int slot, int height) { return slot * height / kMapRows; }

int SlotAtPixel(int y, int height) {
  int slot = 0;
  while (slot + 1 < kMapRows && RowTop(slot + 1, height) <= y) ++slot;
  return slot;
}

int PeriodLeft(const MapViewport& view, std::int64_t period) {
  return static_cast<int>(std::ceil((period - view.FirstPeriod) * view.PixelsPerPeriod));
}

namespace {

// A sector marked from the waveform: its cell in `colour` and a line along its period's
// column, so that it is seen at any zoom.
void PaintSectorMark(QImage& image, const QRect& area, const MapViewport& view, std::int64_t sector,
                     QRgb colour) {
  if (sector < 0) return;
  const std::int64_t period = sector / kMapRows;
  const int slot = static_cast<int>(sector % kMapRows);
  const int left = PeriodLeft(view, period);
  const int right = std::max(left + 1, PeriodLeft(view, period + 1));
  if (right <= 0 || left >= area.width()) return;
  const int x0 = area.left() + std::max(left, 0);
  const int x1 = area.left() + std::min(right, area.width());
  for (int y = area.top(); y <= area.bottom(); ++y) image.setPixel(x0, y, colour);
  for (int y = RowTop(slot, area.height()); y < RowTop(slot + 1, area.height()); ++y)
    for (int x = x0; x < x1; ++x) image.setPixel(x, area.top() + y, colour);
}

}  // namespace

void PaintMap(QImage& image, const QRect& area, const XaFile& xa, InterleaveMap& map,
              const MapViewport& view, const MapMarks& marks) {
  const std::int64_t periods = map.PeriodsShown();
  map.Forget();
  MapColumn column;
  PeriodSpan shown{-1, -1};
  for (int x = 0; x < area.width(); ++x) {
    const PeriodSpan span = PeriodsAtPixel(view, x);
    if (span.First != shown.First || span.End != shown.End) {
      column = span.First >= 0 && span.First < periods ? map.Summarize(span) : MapColumn{};
      shown = span;
    }
    for (int row = 0; row < kMapRows; ++row) {
      FillCell(image, area, x, x + 1, RowTop(row, area.height()), RowTop(row + 1, area.height()),
               FillOf(xa, column, row, marks));
    }
  }
  PaintSectorMark(image, area, view, marks.HoverSector, kMapHoverMark);
  PaintSectorMark(image, area, view, marks.PlayedSector, kMapPlayedMark);
}

}  // namespace sorvane::app
