// Paints the interleave map into an image: sectors left to right by period, the 32 slots of
// a period top to bottom. Shared by the map view, its tests and its benchmark.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

#include "edit/interleave_map.h"

namespace sorvane::app {

// Which periods the map shows and how wide each is drawn.
struct MapViewport {
  double FirstPeriod = 0;      // the period at the left edge
  double PixelsPerPeriod = 1;  // below 1, a pixel column sums up several periods
};

// What the map marks beyond the owners.
struct MapMarks {
  int SelectedRecord = -1;  // the channel table entry drawn highlighted
  // Sectors marked from the waveform: under its pointer, and being played; -1 for none.
  std::int64_t HoverSector = -1;
  std::int64_t PlayedSector = -1;
};

inline constexpr QRgb kMapHoverMark = 0xff202020;
inline constexpr QRgb kMapPlayedMark = 0xffd00000;

inline constexpr QRgb kOutsideColour = 0xffe0e0e8;  // past the last sector

QRgb ToQRgb(const MapRgb& c);
// The selected channel's colour: the same hue, darker.
QRgb Highlighted(const MapRgb& c);
// Post-gaps are hatched: their channel's colour on these diagonal lines, white between.
inline bool OnHatchLine(int x, int y) { return (x + y) % 4 < 2; }

// The periods that pixel column x (from the area's left) shows.
PeriodSpan PeriodsAtPixel(const MapViewport& view, int x);
// The slot that pixel row y (from the area's top) shows in an area `height` high.
int SlotAtPixel(int y, int height);
// The pixels of the slot's row and of the period's column.
int RowTop(int slot, int height);
int PeriodLeft(const MapViewport& view, std::int64_t period);

// Paints `area` of `image` (Format_RGB32) with the map of `map`'s file.
void PaintMap(QImage& image, const QRect& area, const XaFile& xa, InterleaveMap& map,
              const MapViewport& view, const MapMarks& marks);

}  // namespace sorvane::app
