// The waveform strip between the channel list and the map: the selected channel's sound as a
// min/max envelope per pixel column (a lane per side), a time ruler in the list's unit, zoom
// (Ctrl+wheel around the pointer) and scrolling as the map has. The summary is computed by
// worker threads (edit/waveform_job.h) that hand their pieces over through one queued signal;
// it is cached per channel until DropCache. Hovering reports the sector under the pointer; a
// click (or Space) asks to play from that point; a shift-drag selects a range.
#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "app/waveform_painter.h"
#include "edit/channel_part.h"
#include "edit/waveform_job.h"

class QScrollBar;

namespace sorvane::app {

// What a worker hands to the window: a piece of a summary or the values of a close zoom,
// stamped with the generation it was asked for.
struct WaveformDelivery {
  quint64 Generation = 0;
  int Channel = -1;
  std::shared_ptr<const WaveformPiece> Piece;
  std::shared_ptr<const WaveformDetail> Detail;
};

class WaveformView : public QWidget {
  Q_OBJECT

 public:
  explicit WaveformView(const XaFile& xa, QWidget* parent = nullptr);
  ~WaveformView() override;

  // The channel shown (a record of the open file's table), or none; its summary is taken
  // from the cache or started.
  void ShowChannel(const std::optional<ChannelRecord>& record);
  // Forgets every summary and selection (after an edit, undo, redo or rescan), and starts the
  // shown channel's summary again.
  void DropCache();
  void SetUnit(int unit);
  // Marks a sector of the file (hovered on the map); -1 for none.
  void SetHoverSector(std::int64_t sector);
  // The playhead at frame `frame` of the shown channel's exported sound; -1 hides it.
  void SetPlayheadFrame(std::int64_t frame);

  void ZoomAround(int x, double factor);
  void ZoomToFit();
  const WaveformViewport& Viewport() const { return view_; }
  const WaveformMarks& Marks() const { return marks_; }
  // The shown channel's summary as far as it has arrived; nullptr without a channel.
  const WaveformSummary* Summary() const;
  int CachedChannels() const { return static_cast<int>(cache_.size()); }
  // The shift-dragged range as frames of the shown channel's sound, when there is one.
  std::optional<FrameSpan> Selection() const;
  // Where the strip is drawn inside the widget (above the scroll bar).
  QRect StripArea() const;
  // The file sector under pixel column x of the widget, and the frame of the shown channel
  // there (clamped to the channel); -1 without a channel.
  double SectorAtColumn(int x) const;
  std::int64_t FrameAtColumn(int x) const;
  // The widget's column of a file sector.
  int ColumnOfSector(double sector) const;
  QImage Picture();
  QSize sizeHint() const override { return {400, 110}; }

 signals:
  // Emitted by the worker threads; connected queued to the window's thread.
  void Delivered(const sorvane::app::WaveformDelivery& delivery);
  void SectorHovered(std::int64_t sector);  // -1 when the pointer leaves the channel
  void PlayRequested(std::int64_t frame);
  void SelectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Take(const WaveformDelivery& delivery);
  void StartSummary();
  void StopSummary();
  void RequestDetail();
  void StopDetail();
  double ChannelStart() const;
  double ChannelEnd() const;
  double FitSectorsPerPixel() const;
  void ScrollTo(double firstSector);
  void UpdateScrollBar();
  std::int64_t FrameOfSector(double sector) const;
  double SectorOfFrame(std::int64_t frame) const;

  const XaFile& xa_;
  std::optional<ChannelRecord> record_;
  std::map<int, WaveformSummary> cache_;  // by channel number
  quint64 generation_ = 1;
  std::unique_ptr<WaveformJob> job_;
  int jobChannel_ = -1;
  std::thread detailThread_;
  std::atomic<bool> detailCancelled_{false};
  WaveformDetail detail_;
  std::int32_t askedFirst_ = 0;  // the channel sectors of the running or last detail request
  std::int32_t askedEnd_ = 0;
  WaveformViewport view_;
  bool fitted_ = true;
  WaveformMarks marks_;
  int unit_ = 1;
  double dragFrom_ = -1;
  double point_ = -1;  // the last clicked sector, where Space plays from
  QScrollBar* scroll_;
};

}  // namespace sorvane::app

Q_DECLARE_METATYPE(sorvane::app::WaveformDelivery)
