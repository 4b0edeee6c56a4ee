#include "app/interleave_map_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

constexpr double kWidestPeriod = 16;  // pixels per period at the closest zoom
constexpr double kZoomStep = 1.25;    // per notch of the wheel
// A file that fits the view at the widest zoom still zooms in this far past the whole file.
constexpr double kPastWholeFile = 8;
constexpr int kLegendPadding = 3;
constexpr int kSwatch = 10;
constexpr QRgb kLegendBackground = 0xfff4f4f4;

QString Trimmed(const std::string& text) { return QText(text.c_str()).trimmed(); }

// A legend entry: a swatch (hatched for post-gaps) and its caption; returns the next x.
int LegendEntry(QPainter& painter, int x, int height, QRgb colour, bool hatched,
                const QString& caption) {
  const QRect swatch(x, (height - kSwatch) / 2, kSwatch, kSwatch);
  painter.fillRect(swatch, hatched ? QColor(Qt::white) : QColor(colour));
  if (hatched) painter.fillRect(swatch, QBrush(QColor(colour), Qt::BDiagPattern));
  painter.setPen(Qt::darkGray);
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::black);
  const int textX = x + kSwatch + 2;
  painter.drawText(QRect(textX, 0, 1000, height), Qt::AlignLeft | Qt::AlignVCenter, caption);
  return textX + painter.fontMetrics().horizontalAdvance(caption) + 6;
}

}  // namespace

InterleaveMapView::InterleaveMapView(const XaFile& xa, QWidget* parent)
    : QWidget(parent), xa_(xa), map_(xa) {
  setObjectName(QStringLiteral("InterleaveMap"));
  setMouseTracking(true);
  setMinimumHeight(80);
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setObjectName(QStringLiteral("InterleaveMapScroll"));
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (std::lround(view_.FirstPeriod) != value) ScrollTo(value);
  });
  Refresh();
}

QRect InterleaveMapView::MapArea() const {
  const int legend = fontMetrics().height() + 2 * kLegendPadding;
  const int bottom = height() - scroll_->sizeHint().height();
  return QRect(0, legend, width(), std::max(bottom - legend, kMapRows));
}

double InterleaveMapView::FitPixelsPerPeriod() const {
  const std::int64_t periods = std::max<std::int64_t>(map_.PeriodsShown(), 1);
  return std::max(1.0, static_cast<double>(MapArea().width())) / static_cast<double>(periods);
}

double InterleaveMapView::VisiblePeriods() const {
  return MapArea().width() / view_.PixelsPerPeriod;
}

void InterleaveMapView::Refresh() {
  if (fitted_ || view_.PixelsPerPeriod < FitPixelsPerPeriod()) ZoomToFit();
  ScrollTo(view_.FirstPeriod);
}

void InterleaveMapView::SetFileShown(bool shown) {
  fileShown_ = shown;
  update();
}

void InterleaveMapView::SetUnit(int unit) {
  unit_ = unit;
  update();
}

void InterleaveMapView::SetSelectedRecord(int record) {
  marks_.SelectedRecord = record;
  update();
}

void InterleaveMapView::SetWaveformMarks(std::int64_t hovered, std::int64_t played) {
  if (marks_.HoverSector == hovered && marks_.PlayedSector == played) return;
  marks_.HoverSector = hovered;
  marks_.PlayedSector = played;
  update();
}

void InterleaveMapView::SetProposal(const ChannelRecord& proposal) {
  map_.Propose(proposal);
  Refresh();
}

void InterleaveMapView::ClearProposal() {
  map_.ClearProposal();
  Refresh();
}

void InterleaveMapView::ZoomToFit() {
  fitted_ = true;
  view_.PixelsPerPeriod = FitPixelsPerPeriod();
  ScrollTo(0);
}

void InterleaveMapView::ZoomAround(int x, double factor) {
  const double fit = FitPixelsPerPeriod();
  const double wanted = std::clamp(view_.PixelsPerPeriod * factor, fit,
                                   std::max(fit * kPastWholeFile, kWidestPeriod));
  if (wanted <= fit) return ZoomToFit();
  const double anchor = view_.FirstPeriod + x / view_.PixelsPerPeriod;
  fitted_ = false;
  view_.PixelsPerPeriod = wanted;
  ScrollTo(anchor - x / wanted);
}

double InterleaveMapView::LastFirstPeriod() const {
  return std::max(0.0, static_cast<double>(map_.PeriodsShown()) - VisiblePeriods());
}

void InterleaveMapView::ScrollTo(double firstPeriod) {
  view_.FirstPeriod = std::clamp(firstPeriod, 0.0, LastFirstPeriod());
  UpdateScrollBar();
  update();
}

void InterleaveMapView::UpdateScrollBar() {
  const QSignalBlocker quiet(scroll_);
  // The last value shows the file's end, however little of a period is left.
  const int visible = std::max(1, static_cast<int>(VisiblePeriods()));
  scroll_->setRange(0, static_cast<int>(std::ceil(LastFirstPeriod())));
  scroll_->setPageStep(visible);
  scroll_->setSingleStep(std::max(1, visible / 10));
  scroll_->setValue(static_cast<int>(std::lround(view_.FirstPeriod)));
}

QImage InterleaveMapView::Picture() {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(kLegendBackground);
  if (!fileShown_) {
    image.fill(kOutsideColour);
    return image;
  }
  PaintMap(image, MapArea(), xa_, map_, view_, marks_);
  PaintLegend(image);
  return image;
}

void InterleaveMapView::PaintLegend(QImage& image) {
  QPainter painter(&image);
  painter.setFont(font());
  const int height = MapArea().top();
  int x = kLegendPadding;
  for (int i = 0; i < xa_.AudioChannelTable.Count; ++i) {
    const ChannelRecord& r = xa_.AudioChannelTable.Records[i];
    const MapRgb rgb = ChannelColour(r.Channel);
    const QRgb colour = i == marks_.SelectedRecord ? Highlighted(rgb) : ToQRgb(rgb);
    x = LegendEntry(painter, x, height, colour, false, QText(text::kMapChannel).arg(r.Channel));
  }
  x = LegendEntry(painter, x, height, ToQRgb(kDataColour), false, QText(text::kMapData));
  x = LegendEntry(painter, x, height, qRgb(96, 96, 96), true, QText(text::kMapPostGap));
  x = LegendEntry(painter, x, height, ToQRgb(kEmptyColour), false, QText(text::kMapEmpty));
  if (!map_.Proposal()) return;
  x = LegendEntry(painter, x, height, ToQRgb(kProposalColour), false, QText(text::kMapProposal));
  LegendEntry(painter, x, height, ToQRgb(kCollisionColour), false, QText(text::kMapCollision));
}

void InterleaveMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Picture());
}

void InterleaveMapView::resizeEvent(QResizeEvent*) {
  scroll_->setGeometry(0, height() - scroll_->sizeHint().height(), width(),
                       scroll_->sizeHint().height());
  Refresh();
}

void InterleaveMapView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (event->modifiers() & Qt::ControlModifier) {
    const int x = static_cast<int>(event->position().x()) - MapArea().left();
    ZoomAround(x, std::pow(kZoomStep, notches));
  } else {
    ScrollTo(view_.FirstPeriod - notches * scroll_->singleStep());
  }
  event->accept();
}

std::int64_t InterleaveMapView::SectorAt(QPoint at) const {
  const QRect area = MapArea();
  if (!fileShown_ || !area.contains(at)) return -1;
  const PeriodSpan span = PeriodsAtPixel(view_, at.x() - area.left());
  const std::int64_t sector =
      span.First * kMapRows + SlotAtPixel(at.y() - area.top(), area.height());
  const bool exists = sector >= 0 && sector < xa_.SectorCount;
  return exists || map_.ProposalHolds(sector) ? sector : -1;
}

QPoint InterleaveMapView::CentreOf(std::int64_t sector) const {
  const QRect area = MapArea();
  const int slot = static_cast<int>(sector % kMapRows);
  const int x = PeriodLeft(view_, sector / kMapRows) + static_cast<int>(view_.PixelsPerPeriod / 2);
  const int y = (RowTop(slot, area.height()) + RowTop(slot + 1, area.height())) / 2;
  return area.topLeft() + QPoint(x, y);
}

QString InterleaveMapView::OwnerText(const SectorOwner& owner) const {
  switch (owner.Kind) {
    case OwnerKind::Audio:
      return QText(text::kMapHoverChannel).arg(xa_.AudioChannelTable.Records[owner.Record].Channel);
    case OwnerKind::AudioPostGap:
      return QText(text::kMapHoverChannelGap)
          .arg(xa_.AudioChannelTable.Records[owner.Record].Channel);
    case OwnerKind::Data:
      return QText(text::kMapData);
    case OwnerKind::DataPostGap:
      return QText(text::kMapHoverDataGap);
    case OwnerKind::Empty:
      break;
  }
  return QText(text::kMapEmpty);
}

QString InterleaveMapView::HoverText(QPoint at) {
  const std::int64_t sector = SectorAt(at);
  if (sector < 0) return {};
  map_.Forget();
  QString text = QText(text::kMapHoverSector)
                     .arg(sector)
                     .arg(Trimmed(FormatPosition(sector, unit_)))
                     .arg(OwnerText(map_.OwnerOf(sector)));
  if (map_.ProposalHolds(sector)) {
    text += map_.ProposalCollidesAt(sector) ? QText(text::kMapHoverCollision)
                                            : QText(text::kMapHoverProposal);
  }
  return text;
}

void InterleaveMapView::mouseMoveEvent(QMouseEvent* event) {
  emit SectorHovered(SectorAt(event->position().toPoint()));
  const QString text = HoverText(event->position().toPoint());
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
  }
}

void InterleaveMapView::leaveEvent(QEvent*) { emit SectorHovered(-1); }

void InterleaveMapView::mousePressEvent(QMouseEvent* event) {
  const std::int64_t sector = SectorAt(event->position().toPoint());
  if (sector < 0 || event->button() != Qt::LeftButton) return;
  map_.Forget();
  const SectorOwner owner = map_.OwnerOf(sector);
  if (owner.Kind == OwnerKind::Audio || owner.Kind == OwnerKind::AudioPostGap)
    emit RecordClicked(owner.Record);
}

}  // namespace sorvane::app
