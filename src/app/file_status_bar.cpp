#include "app/file_status_bar.h"

#include <QLabel>
#include <QStatusBar>
#include <iterator>

#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/xa_file.h"
#include "edit/position_text.h"

namespace sorvane::app {
namespace {

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
      .arg(QString::fromStdString(FormatGapText(facts.File.ChannelPostGap)),
           QString::fromStdString(FormatGapText(facts.File.EndPostGap)));
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
  bool yields = false;  // takes only the room the others leave, so that they are not cut
};

QString LayoutTip() { return QText(text::kStatusLayoutTip); }
QString NoTip() { return {}; }
QString PostGapsTip() {
  return QStringLiteral("%1 / %2").arg(QText(text::kLabelChannelGap), QText(text::kLabelEndGap));
}
QString ScanTip() { return QText(text::kStatusFirstSectorsTip); }

constexpr Field kFields[] = {{"StatusLayout", LayoutText, LayoutTip},
                             {"StatusSectors", SectorsText, NoTip},
                             {"StatusPostGaps", PostGapsText, PostGapsTip},
                             {"StatusScan", ScanText, ScanTip, true},
                             {"StatusAccess", AccessText, NoTip}};

}  // namespace

FileStatusBar::FileStatusBar(QStatusBar& bar) {
  bar.setObjectName(QStringLiteral("StatusBar"));
  for (const Field& field : kFields) {
    auto* label = new QLabel(&bar);
    label->setObjectName(QString::fromLatin1(field.name));
    label->setToolTip(field.tip());
    if (field.yields) label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.addWidget(label, field.yields ? 1 : 0);
    label->hide();
    fields_.push_back(label);
  }
}

void FileStatusBar::Show(const FileFacts& facts) {
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const QString text = facts.Open ? kFields[i].text(facts) : QString();
    fields_[i]->setText(text);
    fields_[i]->setVisible(!text.isEmpty());
  }
}

}  // namespace sorvane::app
