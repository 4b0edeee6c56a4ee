#include "app/file_status_bar.h"

#include <QBoxLayout>
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

// A note of several sentences shows one to a line: at the window's default width most
// sentences fit whole, where the whole note on one line would not.
QStringList OneSentenceToALine(const QString& text) {
  QStringList lines(QString{});
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool last = i + 1 == text.size();
    const bool englishEnd = text[i] == u' ' && i > 0 && text[i - 1] == u'.';
    if (text[i] == u'\n' || (!last && englishEnd)) {
      lines.append(QString());
      continue;
    }
    lines.back() += text[i];
    if (!last && text[i] == u'。' && text[i + 1] != u'\n') lines.append(QString());
  }
  return lines;
}

// A label that shows as much of each line of its text as fits, ending in "…", so that the
// status bar never pushes its other fields out; the tooltip has the whole text.
class ElidingLabel : public QLabel {
  static constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter;

 public:
  ElidingLabel(QString tip, bool sentenceLines, QWidget* parent)
      : QLabel(parent), tip_(std::move(tip)), sentenceLines_(sentenceLines) {}
  void SetFull(const QString& text) {
    setText(text);
    setToolTip(tip_.isEmpty() ? text : QStringLiteral("%1\n%2").arg(text, tip_));
    updateGeometry();
  }
  QSize sizeHint() const override {
    // Measured as drawn: a line's height is that of the fonts its characters fall back to.
    const QSize text = fontMetrics()
                           .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), kFlags,
                                         Lines().join(u'\n'))
                           .size();
    return text.grownBy(contentsMargins());
  }
  QSize minimumSizeHint() const override {
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) * 3, sizeHint().height()};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const QRect area = contentsRect();
    QStringList lines = Lines();
    for (QString& line : lines) line = fontMetrics().elidedText(line, Qt::ElideRight, area.width());
    QPainter(this).drawText(area, kFlags, lines.join(u'\n'));
  }

 private:
  QStringList Lines() const {
    return sentenceLines_ ? OneSentenceToALine(text()) : QStringList{text()};
  }
  QString tip_;
  bool sentenceLines_;  // one sentence to a line, else one line
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

FileStatusBar::FileStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  // The note has a row of its own above the facts: it gets the whole width, and the facts
  // stay where they are when it comes and goes.
  auto* rows = new QWidget(this);
  auto* column = new QVBoxLayout(rows);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(4);
  note_ = new ElidingLabel({}, true, rows);
  note_->setObjectName(QStringLiteral("StatusNote"));
  note_->hide();
  column->addWidget(note_);
  auto* facts = new QHBoxLayout;
  facts->setSpacing(6);
  column->addLayout(facts);
  for (const Field& field : kFields) {
    QLabel* label = field.elides ? new ElidingLabel(field.tip(), false, rows) : new QLabel(rows);
    if (!field.elides) label->setToolTip(field.tip());
    label->setObjectName(QString::fromLatin1(field.name));
    facts->addWidget(label);
    label->hide();
    fields_.push_back(label);
  }
  facts->addStretch(1);
  addWidget(rows, 1);
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
  reformat();  // the bar's height follows the note's lines
}

}  // namespace sorvane::app
