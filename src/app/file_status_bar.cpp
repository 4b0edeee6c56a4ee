#include "app/file_status_bar.h"

#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <iterator>

#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/xa_file.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

// A label that shows as much of its text as fits, ending in "…", so that the status bar
// never pushes its other fields out; the tooltip has the whole text.
class ElidingLabel : public QLabel {
 public:
  ElidingLabel(QString tip, QWidget* parent) : QLabel(parent), tip_(std::move(tip)) {}
  void SetFull(const QString& text) {
    setText(text);
    setToolTip(tip_.isEmpty() ? text : QStringLiteral("%1\n%2").arg(text, tip_));
  }
  QSize minimumSizeHint() const override {
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) * 3,
            QLabel::minimumSizeHint().height()};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
  }

 private:
  QString tip_;
};

// A gap in the list's unit: a playing time, or sectors in decimal or hexadecimal.
QString GapText(std::int32_t sectors, int unit) {
  if (unit == UnitTime) return QString::fromStdString(FormatPlayingTime(sectors));
  return QString::number(sectors, unit == UnitHexSectors ? 16 : 10).toUpper();
}

QString FileLayoutText(const FileFacts& facts) {
  switch (facts.File.Layout) {
    case XaLayout::Plain2336:
      return QText(text::kStatusPlain2336);
    case XaLayout::Raw2352:
      return QText(text::kStatusRaw2352);
    case XaLayout::Riff2352:
      break;
  }
  return QText(text::kStatusRiff2352);
}

// An entry of a disc image says so after its layout.
QString LayoutText(const FileFacts& facts) {
  const ImageEntry& entry = facts.File.Entry;
  if (!entry.Active) return FileLayoutText(facts);
  return QText(text::kStatusImageEntry)
      .arg(FileLayoutText(facts), QString::fromStdString(entry.Name));
}

QString SectorsText(const FileFacts& facts) {
  return QText(text::kStatusSectors).arg(facts.File.SectorCount);
}

QString PostGapsText(const FileFacts& facts) {
  return QText(text::kStatusPostGaps)
      .arg(GapText(facts.File.ChannelPostGap, facts.Unit),
           GapText(facts.File.EndPostGap, facts.Unit));
}

QString ScanText(const FileFacts& facts) {
  if (facts.File.ScannedToEnd || facts.File.SectorCount <= kWalkLimitOpen) return {};
  return QText(text::kStatusFirstSectorsOnly);
}

QString AccessText(const FileFacts& facts) {
  if (facts.File.ReadOnly) return QText(text::kStatusReadOnly);
  // The window takes the lock whenever it can: without it, another program has it.
  if (!facts.File.Locked) return QText(text::kStatusInUse);
  return {};
}

struct Field {
  const char* name;
  QString (*text)(const FileFacts&);  // empty: the field is hidden
  QString (*tip)();                   // what the field means
  bool elides = false;                // gives up room first, its whole text in the tooltip
};

QString LayoutTip() { return QText(text::kStatusLayoutTip); }
QString NoTip() { return {}; }
QString PostGapsTip() {
  return QStringLiteral("%1 / %2").arg(QText(text::kLabelChannelGap), QText(text::kLabelEndGap));
}
QString ScanTip() { return QText(text::kStatusFirstSectorsTip); }

// The access notice first: it is what a person must not miss.
constexpr Field kFields[] = {{"StatusAccess", AccessText, NoTip},
                             {"StatusLayout", LayoutText, LayoutTip, true},
                             {"StatusSectors", SectorsText, NoTip},
                             {"StatusPostGaps", PostGapsText, PostGapsTip},
                             {"StatusScan", ScanText, ScanTip, true}};

}  // namespace

FileStatusBar::FileStatusBar(QStatusBar& bar) {
  bar.setObjectName(QStringLiteral("StatusBar"));
  for (const Field& field : kFields) {
    QLabel* label = field.elides ? new ElidingLabel(field.tip(), &bar) : new QLabel(&bar);
    if (!field.elides) label->setToolTip(field.tip());
    label->setObjectName(QString::fromLatin1(field.name));
    bar.addWidget(label);
    label->hide();
    fields_.push_back(label);
  }
  note_ = new ElidingLabel({}, &bar);
  note_->setObjectName(QStringLiteral("StatusNote"));
  bar.addWidget(note_, 1);
  note_->hide();
}

void FileStatusBar::Show(const FileFacts& facts) {
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const QString text = facts.Open ? kFields[i].text(facts) : QString();
    if (auto* eliding = dynamic_cast<ElidingLabel*>(fields_[i]))
      eliding->SetFull(text);
    else
      fields_[i]->setText(text);
    fields_[i]->setVisible(!text.isEmpty());
  }
}

void FileStatusBar::SetNote(const QString& text) {
  static_cast<ElidingLabel*>(note_)->SetFull(text);
  note_->setVisible(!text.isEmpty());
}

}  // namespace sorvane::app
