#include "app/waveform_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "edit/list_position.h"
#include "format/quality.h"

namespace sorvane::app {
namespace {

constexpr double kZoomStep = 1.25;         // per notch of the wheel
constexpr std::int32_t kDetailMargin = 8;  // channel sectors decoded beyond the view

}  // namespace

WaveformView::WaveformView(const XaFile& xa, QWidget* parent) : QWidget(parent), xa_(xa) {
  setObjectName(QStringLiteral("Waveform"));
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setMinimumHeight(70);
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setObjectName(QStringLiteral("WaveformScroll"));
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (std::lround(view_.FirstSector - ChannelStart()) != value) ScrollTo(ChannelStart() + value);
  });
  // The one seam between the worker threads and the window.
  connect(this, &WaveformView::Delivered, this, &WaveformView::Take, Qt::QueuedConnection);
}

WaveformView::~WaveformView() {
  StopDetail();
  job_.reset();
}

const WaveformSummary* WaveformView::Summary() const {
  if (!record_) return nullptr;
  const auto found = cache_.find(record_->Channel);
  return found == cache_.end() ? nullptr : &found->second;
}

void WaveformView::ShowChannel(const std::optional<ChannelRecord>& record) {
  const auto same = [](const ChannelRecord& a, const ChannelRecord& b) {
    return a.Channel == b.Channel && a.FirstSector == b.FirstSector &&
           a.SectorCount == b.SectorCount && a.Interleave == b.Interleave && a.Stereo == b.Stereo &&
           a.HighRate == b.HighRate;
  };
  if (record.has_value() == record_.has_value() && (!record || same(*record, *record_))) return;
  StopDetail();
  if (jobChannel_ >= 0 && (!record || record->Channel != jobChannel_)) StopSummary();
  ++generation_;
  record_ = record;
  marks_ = WaveformMarks{};
  point_ = -1;
  emit SelectionChanged();
  if (record_) {
    const auto cached = cache_.find(record_->Channel);
    if (cached != cache_.end() && !same(cached->second.Record(), *record_)) cache_.erase(cached);
    if (!cache_.count(record_->Channel)) StartSummary();
  }
  ZoomToFit();
}

void WaveformView::DropCache() {
  StopDetail();
  StopSummary();
  cache_.clear();
  ++generation_;
  marks_.SelectionFirst = marks_.SelectionEnd = -1;
  emit SelectionChanged();
  if (record_) StartSummary();
  update();
}

void WaveformView::StartSummary() {
  const ChannelRecord record = *record_;
  cache_[record.Channel].Reset(record);
  const quint64 generation = generation_;
  const int channel = record.Channel;
  job_ = std::make_unique<WaveformJob>(
      SourceOf(xa_), record, [this, generation, channel](WaveformPiece&& piece) {
        emit Delivered({generation, channel,
                        std::make_shared<const WaveformPiece>(std::move(piece)), nullptr});
      });
  jobChannel_ = channel;
}

void WaveformView::StopSummary() {
  job_.reset();  // cancels and waits for the threads' current sector
  const auto partial = cache_.find(jobChannel_);
  if (partial != cache_.end() && !partial->second.Complete()) cache_.erase(partial);
  jobChannel_ = -1;
}

void WaveformView::Take(const WaveformDelivery& delivery) {
  if (delivery.Generation != generation_ || !record_ || delivery.Channel != record_->Channel)
    return;
  if (delivery.Piece) {
    WaveformSummary& summary = cache_[delivery.Channel];
    summary.Add(*delivery.Piece);
    if (summary.Complete()) jobChannel_ = -1;  // kept: the job's threads end by themselves
  }
  if (delivery.Detail) detail_ = *delivery.Detail;
  RequestDetail();
  update();
}

void WaveformView::RequestDetail() {
  const WaveformSummary* summary = Summary();
  if (summary == nullptr) return;
  const double d = std::max(record_->Interleave, 1);
  if (view_.SectorsPerPixel / d * kPairsPerSector >= 1) return;
  const double t0 = (view_.FirstSector - record_->FirstSector) / d;
  const double t1 = t0 + StripArea().width() * view_.SectorsPerPixel / d;
  const auto first = std::clamp<std::int32_t>(static_cast<std::int32_t>(t0), 0, summary->Sectors());
  const auto end =
      std::clamp<std::int32_t>(static_cast<std::int32_t>(std::ceil(t1)) + 1, 0, summary->Sectors());
  if (first >= end || detail_.Holds(first, end) || (first >= askedFirst_ && end <= askedEnd_))
    return;
  const std::int32_t from = std::max(first - kDetailMargin, 0);
  const std::int32_t to = std::min(end + kDetailMargin, summary->Sectors());
  SideCheckpoint starts[2];
  std::int32_t at[2] = {0, 0};
  for (int side = 0; side < summary->Sides(); ++side)
    if (!summary->CheckpointBefore(side, from, starts[side], at[side]))
      return;  // asked again later
  StopDetail();
  askedFirst_ = from;
  askedEnd_ = to;
  detailCancelled_ = false;
  const ReaderSource source = SourceOf(xa_);
  const ChannelRecord record = *record_;
  const int sides = summary->Sides();
  const quint64 generation = generation_;
  detailThread_ = std::thread([=, this] {
    auto detail = std::make_shared<WaveformDetail>();
    detail->First = from;
    detail->Count = to - from;
    detail->PerSector = FramesPerSector(QualityOf(record));
    for (int side = 0; side < sides; ++side) {
      if (!DecodeSideValues(source, record, side, starts[side], at[side], from, to - from,
                            detailCancelled_, detail->Values[side]))
        return;
    }
    emit Delivered({generation, record.Channel, nullptr, detail});
  });
}

void WaveformView::StopDetail() {
  detailCancelled_ = true;
  if (detailThread_.joinable()) detailThread_.join();
  askedFirst_ = askedEnd_ = 0;
}

void WaveformView::SetUnit(int unit) {
  unit_ = unit;
  update();
}

void WaveformView::SetHoverSector(std::int64_t sector) {
  const double shown = record_ && sector >= ChannelStart() && sector < ChannelEnd()
                           ? static_cast<double>(sector)
                           : -1;
  if (shown == marks_.HoverSector) return;
  marks_.HoverSector = shown;
  update();
}

void WaveformView::SetPlayheadFrame(std::int64_t frame) {
  marks_.PlayheadSector = frame < 0 || !record_ ? -1 : SectorOfFrame(frame);
  update();
}

std::optional<FrameSpan> WaveformView::Selection() const {
  if (!record_ || marks_.SelectionFirst < 0 || marks_.SelectionEnd <= marks_.SelectionFirst)
    return std::nullopt;
  return FrameSpan{FrameOfSector(marks_.SelectionFirst), FrameOfSector(marks_.SelectionEnd)};
}

double WaveformView::ChannelStart() const { return record_ ? record_->FirstSector : 0; }

double WaveformView::ChannelEnd() const {
  return record_ ? static_cast<double>(RecordEnd(*record_)) : 1;
}

std::int64_t WaveformView::FrameOfSector(double sector) const {
  if (!record_) return -1;
  const double clamped = std::clamp(sector, ChannelStart(), ChannelEnd());
  return static_cast<std::int64_t>((clamped - ChannelStart()) *
                                   static_cast<double>(ExportFramesPerSector(*record_)) /
                                   std::max(record_->Interleave, 1));
}

double WaveformView::SectorOfFrame(std::int64_t frame) const {
  return ChannelStart() + static_cast<double>(frame) * std::max(record_->Interleave, 1) /
                              static_cast<double>(ExportFramesPerSector(*record_));
}

QRect WaveformView::StripArea() const {
  return QRect(0, 0, width(), std::max(height() - scroll_->sizeHint().height(), 1));
}

double WaveformView::SectorAtColumn(int x) const {
  if (!record_) return -1;
  return view_.FirstSector + (x - StripArea().left()) * view_.SectorsPerPixel;
}

std::int64_t WaveformView::FrameAtColumn(int x) const { return FrameOfSector(SectorAtColumn(x)); }

int WaveformView::ColumnOfSector(double sector) const {
  return StripArea().left() +
         static_cast<int>(std::floor((sector - view_.FirstSector) / view_.SectorsPerPixel));
}

double WaveformView::FitSectorsPerPixel() const {
  return (ChannelEnd() - ChannelStart()) / std::max(StripArea().width(), 1);
}

void WaveformView::ZoomToFit() {
  fitted_ = true;
  view_.SectorsPerPixel = FitSectorsPerPixel();
  ScrollTo(ChannelStart());
}

void WaveformView::ZoomAround(int x, double factor) {
  if (!record_) return;
  const double fit = FitSectorsPerPixel();
  // At the closest zoom a pixel column shows one decoded value.
  const double closest =
      std::max(record_->Interleave, 1) / static_cast<double>(FramesPerSector(QualityOf(*record_)));
  const double wanted = std::clamp(view_.SectorsPerPixel / factor, std::min(closest, fit), fit);
  if (wanted >= fit) return ZoomToFit();
  const double anchor = SectorAtColumn(x);
  fitted_ = false;
  view_.SectorsPerPixel = wanted;
  ScrollTo(anchor - (x - StripArea().left()) * wanted);
}

void WaveformView::ScrollTo(double firstSector) {
  const double visible = StripArea().width() * view_.SectorsPerPixel;
  const double last = std::max(ChannelStart(), ChannelEnd() - visible);
  view_.FirstSector = std::clamp(firstSector, ChannelStart(), last);
  UpdateScrollBar();
  RequestDetail();
  update();
}

void WaveformView::UpdateScrollBar() {
  const QSignalBlocker quiet(scroll_);
  const double visible = StripArea().width() * view_.SectorsPerPixel;
  const double span = ChannelEnd() - ChannelStart();
  scroll_->setRange(0, static_cast<int>(std::ceil(std::max(0.0, span - visible))));
  scroll_->setPageStep(std::max(1, static_cast<int>(visible)));
  scroll_->setSingleStep(std::max(1, static_cast<int>(visible / 10)));
  scroll_->setValue(static_cast<int>(std::lround(view_.FirstSector - ChannelStart())));
}

QImage WaveformView::Picture() {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(kWaveUnknown);
  if (const WaveformSummary* summary = Summary()) {
    PaintWaveform(image, StripArea(), font(), *summary, detail_.Count > 0 ? &detail_ : nullptr,
                  view_, marks_, unit_);
  }
  return image;
}

void WaveformView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Picture());
}

void WaveformView::resizeEvent(QResizeEvent*) {
  scroll_->setGeometry(0, height() - scroll_->sizeHint().height(), width(),
                       scroll_->sizeHint().height());
  if (fitted_ || view_.SectorsPerPixel > FitSectorsPerPixel()) return ZoomToFit();
  ScrollTo(view_.FirstSector);
}

void WaveformView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (event->modifiers() & Qt::ControlModifier) {
    ZoomAround(static_cast<int>(event->position().x()), std::pow(kZoomStep, notches));
  } else {
    ScrollTo(view_.FirstSector - notches * scroll_->singleStep());
  }
  event->accept();
}

void WaveformView::mouseMoveEvent(QMouseEvent* event) {
  const double sector = SectorAtColumn(static_cast<int>(event->position().x()));
  if (dragFrom_ >= 0) {
    marks_.SelectionFirst = std::clamp(std::min(dragFrom_, sector), ChannelStart(), ChannelEnd());
    marks_.SelectionEnd = std::clamp(std::max(dragFrom_, sector), ChannelStart(), ChannelEnd());
  }
  const bool inside = record_ && sector >= ChannelStart() && sector < ChannelEnd();
  marks_.HoverSector = inside ? sector : -1;
  // The map marks the channel's own sector under the pointer.
  const double d = record_ ? std::max(record_->Interleave, 1) : 1;
  emit SectorHovered(inside ? static_cast<std::int64_t>(
                                  ChannelStart() + std::floor((sector - ChannelStart()) / d) * d)
                            : -1);
  update();
}

void WaveformView::mousePressEvent(QMouseEvent* event) {
  const double sector = SectorAtColumn(static_cast<int>(event->position().x()));
  if (!record_ || event->button() != Qt::LeftButton || sector < ChannelStart() ||
      sector >= ChannelEnd())
    return;
  if (event->modifiers() & Qt::ShiftModifier) {
    dragFrom_ = sector;
    marks_.SelectionFirst = marks_.SelectionEnd = sector;
    update();
    return;
  }
  point_ = sector;
  emit PlayRequested(FrameOfSector(sector));
}

void WaveformView::mouseReleaseEvent(QMouseEvent*) {
  if (dragFrom_ < 0) return;
  dragFrom_ = -1;
  emit SelectionChanged();
}

void WaveformView::leaveEvent(QEvent*) {
  marks_.HoverSector = -1;
  emit SectorHovered(-1);
  update();
}

void WaveformView::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space || !record_) return QWidget::keyPressEvent(event);
  emit PlayRequested(FrameOfSector(point_ >= 0 ? point_ : ChannelStart()));
}

}  // namespace sorvane::app
