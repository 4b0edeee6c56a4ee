// Paints the waveform strip of one channel into an image: a time ruler in the list's unit
// above one lane per side, each pixel column the min/max envelope of the file sectors it
// shows. Shared by the waveform view, its tests and its benchmark.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

#include "edit/waveform_summary.h"

class QFont;

namespace sorvane::app {

// Which file sectors the strip shows: column x shows sectors
// FirstSector + x * SectorsPerPixel up to the next column's.
struct WaveformViewport {
  double FirstSector = 0;
  double SectorsPerPixel = 1;
};

// Decoded values of a few channel sectors for a zoom closer than the summary's pairs.
struct WaveformDetail {
  std::int32_t First = 0;  // channel sector index
  std::int32_t Count = 0;
  int PerSector = 0;                    // values per sector and side
  std::vector<std::int16_t> Values[2];  // per side, Count x PerSector
  bool Holds(std::int32_t first, std::int32_t end) const {
    return Count > 0 && first >= First && end <= First + Count;
  }
};

// What the strip marks beyond the sound; -1 (or an empty range) for none.
struct WaveformMarks {
  double HoverSector = -1;     // the sector under the pointer here or on the map
  double PlayheadSector = -1;  // where the output plays
  double SelectionFirst = -1;  // a shift-dragged range of file sectors
  double SelectionEnd = -1;
};

inline constexpr QRgb kWaveBackground = 0xffffffff;
inline constexpr QRgb kWaveUnknown = 0xffe8e8ee;  // not yet summarised
inline constexpr QRgb kWaveAxis = 0xffc0c0c0;
inline constexpr QRgb kWavePlayhead = 0xffd00000;
inline constexpr QRgb kWaveHover = 0xff202020;
inline constexpr QRgb kWaveSelection = 0xffc8dcff;

// The height of the ruler for `font`.
int WaveformRulerHeight(const QFont& font);
// The lane of `side` (of `sides`) inside the area below the ruler.
QRect WaveformLane(const QRect& area, int rulerHeight, int side, int sides);
// The pixel row of a value (16-bit scale) inside a lane.
int WaveformRow(const QRect& lane, int value);

// Paints `area` of `image` (Format_RGB32): ruler, lanes and marks of `summary`'s channel;
// `detail` (may be null) is used where a column holds less than one pair.
void PaintWaveform(QImage& image, const QRect& area, const QFont& font,
                   const WaveformSummary& summary, const WaveformDetail* detail,
                   const WaveformViewport& view, const WaveformMarks& marks, int unit);

}  // namespace sorvane::app
