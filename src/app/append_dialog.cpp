#include "app/append_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "container/channel_scan.h"

namespace sorvane::app {
namespace {

constexpr int kLabelX = 8;
constexpr int kFieldX = 80;
constexpr int kFieldWidth = 124;
constexpr int kRowHeight = 20;
constexpr int kDesignedSlots = 32;

void AddRow(QWidget* form, const char* label, QWidget* field, const char* name, int y) {
  field->setObjectName(QString::fromLatin1(name));
  field->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  auto* caption = new QLabel(QText(label), form);
  caption->setGeometry(kLabelX, y, kFieldX - kLabelX - 4, kRowHeight);
  caption->setBuddy(field);
}

QPushButton* AddButton(QWidget* form, const char* caption, const char* name, int x) {
  auto* button = new QPushButton(QText(caption), form);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(x, 136, 60, 21);
  button->setAutoDefault(false);
  return button;
}

void FillSlots(QComboBox* box, int count) {
  box->clear();
  for (int slot = 0; slot < count; ++slot) box->addItem(QString::number(slot));
}

}  // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QText(text::kAppendCaption));
  setFont(UiFont());
  setFixedSize(212, 161);

  TrackSel = new QComboBox(this);
  FillSlots(TrackSel, kDesignedSlots);
  AddRow(this, text::kLabelTrack, TrackSel, "TrackSel", 8);
  StartEdit = new QLineEdit(this);
  AddRow(this, text::kLabelStart, StartEdit, "StartEdit", 34);
  SpeedSel = new QComboBox(this);
  SpeedSel->addItems({QText(text::kSpeedNormal), QText(text::kSpeedDouble)});
  AddRow(this, text::kLabelSpeed, SpeedSel, "SpeedSel", 60);
  ChEdit = new QLineEdit(this);
  AddRow(this, text::kLabelChannel, ChEdit, "ChEdit", 86);
  QualitySel = new QComboBox(this);
  QualitySel->addItems({QText(text::kQuality189Mono), QText(text::kQuality189Stereo),
                        QText(text::kQuality378Mono), QText(text::kQuality378Stereo)});
  AddRow(this, text::kLabelQuality, QualitySel, "QualitySel", 112);

  FindButton = AddButton(this, text::kFind, "FindButton", 8);
  OKButton = AddButton(this, text::kOk, "OKButton", 76);
  OKButton->setDefault(true);
  CancelButton = AddButton(this, text::kCancel, "CancelButton", 144);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // TODO(append): FormShow (ShowParams), FindButtonClick and OKButtonClick come with the
  // append logic of the core; until then "検索" and OK do nothing.

  connect(QualitySel, &QComboBox::currentIndexChanged, this, &TForm5::QualitySelChange);
  connect(SpeedSel, &QComboBox::currentIndexChanged, this, &TForm5::QualitySelChange);

  QWidget* order[] = {TrackSel,   StartEdit,  SpeedSel, ChEdit,
                      QualitySel, FindButton, OKButton, CancelButton};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TForm5::QualitySelChange() {
  const int quality = QualitySel->currentIndex();
  if (quality < 0) return;
  int n = NominalInterleave(quality / 2 != 0, quality % 2 != 0);
  if (SpeedSel->currentIndex() > 0) n *= 2;
  const int selected = TrackSel->currentIndex();
  FillSlots(TrackSel, n);
  // -1 (nothing selected) stays -1.
  TrackSel->setCurrentIndex(selected % n);
}

}  // namespace sorvane::app
