// The interleave map under the channel list: the file's sectors by period (left to right)
// and slot (top to bottom) in the channels' colours, with a legend, zoom (Ctrl+wheel around
// the pointer) and scrolling (wheel, scroll bar). Hovering names a sector and its owner;
// clicking a channel's sector asks for its row. While the append dialog is open it shows
// the proposed channel, its collisions in red.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "app/map_painter.h"
#include "edit/interleave_map.h"

class QScrollBar;

namespace sorvane::app {

class InterleaveMapView : public QWidget {
  Q_OBJECT

 public:
  explicit InterleaveMapView(const XaFile& xa, QWidget* parent = nullptr);

  // The tables or the file changed: draw them again, keeping the zoom where it fits.
  void Refresh();
  // Whether the window shows an open file; without one the map shows no sectors.
  void SetFileShown(bool shown);
  // The list's unit, for the positions that hovering shows.
  void SetUnit(int unit);
  // The channel table entry drawn highlighted; -1 for none.
  void SetSelectedRecord(int record);
  // Sectors marked from the waveform: under its pointer, and being played; -1 for none.
  void SetWaveformMarks(std::int64_t hovered, std::int64_t played);
  const MapMarks& Marks() const { return marks_; }
  void SetProposal(const ChannelRecord& proposal);
  void ClearProposal();

  // Zooms by `factor` keeping the period under pixel column x of the map where it is.
  void ZoomAround(int x, double factor);
  // Shows the whole file in the map's width.
  void ZoomToFit();
  const MapViewport& Viewport() const { return view_; }
  // Where the map is drawn inside the widget (below the legend, above the scroll bar).
  QRect MapArea() const;
  // The widget as it is painted.
  QImage Picture();
  // The sector under a point of the widget; -1 outside the file's sectors.
  std::int64_t SectorAt(QPoint at) const;
  // A point of the widget inside the sector's cell (the map zoomed to a pixel or more per
  // period); outside the map when the sector is not in view.
  QPoint CentreOf(std::int64_t sector) const;
  // What hovering over a point shows: the sector, its position in the list's unit, its owner.
  QString HoverText(QPoint at);
  QSize sizeHint() const override { return {400, 200}; }

 signals:
  void RecordClicked(int record);
  // The sector under the pointer; -1 when it leaves the file's sectors.
  void SectorHovered(std::int64_t sector);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  double FitPixelsPerPeriod() const;
  double VisiblePeriods() const;
  double LastFirstPeriod() const;  // the first period shown when scrolled to the end
  void ScrollTo(double firstPeriod);
  void UpdateScrollBar();
  void PaintLegend(QImage& image);
  QString OwnerText(const SectorOwner& owner) const;

  const XaFile& xa_;
  InterleaveMap map_;
  MapViewport view_;
  bool fitted_ = true;  // follows the width and the file until zoomed in
  bool fileShown_ = true;
  int unit_ = 1;
  MapMarks marks_;
  QScrollBar* scroll_;
};

}  // namespace sorvane::app
