#include "app/append_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <algorithm>

#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

constexpr int kLabelX = 8;
constexpr int kFieldX = 80;
constexpr int kFieldWidth = 124;
constexpr int kRowHeight = 20;
constexpr int kReadingX = kFieldX + kFieldWidth + 6;
constexpr int kReadingWidth = 150;
constexpr int kDesignedSlots = 32;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 60;

void AddRow(QWidget* form, const char* label, QWidget* field, const char* name, int y) {
  field->setObjectName(QString::fromLatin1(name));
  field->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  auto* caption = new QLabel(QText(label), form);
  caption->setGeometry(kLabelX, y, kFieldX - kLabelX - 4, kRowHeight);
  caption->setBuddy(field);
}

// A button of the bottom row at `x`, 60 pixels wide or as wide as its caption needs to
// stay clear of its edges.
QPushButton* AddButton(QWidget* form, const char* caption, const char* name, int x) {
  auto* button = new QPushButton(QText(caption), form);
  button->setObjectName(QString::fromLatin1(name));
  const int width =
      std::max(kButtonWidth, button->fontMetrics().horizontalAdvance(button->text()) + 16);
  button->setGeometry(x, 136, width, 21);
  button->setAutoDefault(false);
  return button;
}

int RightOf(const QWidget* widget) { return widget->geometry().right() + 1 + kMargin; }

void FillSlots(QComboBox* box, int count) {
  box->clear();
  for (int slot = 0; slot < count; ++slot) box->addItem(QString::number(slot));
}

bool ItemsDiffer(const QComboBox* box, const std::vector<std::string>& items) {
  if (box->count() != static_cast<int>(items.size())) return true;
  for (int i = 0; i < box->count(); ++i)
    if (box->itemText(i) != QString::fromStdString(items[i])) return true;
  return false;
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
  StartReading = new QLabel(this);
  StartReading->setObjectName(QStringLiteral("StartReading"));
  StartReading->setGeometry(kReadingX, 34, kReadingWidth, kRowHeight);
  ChannelReading = new QLabel(this);
  ChannelReading->setObjectName(QStringLiteral("ChannelReading"));
  ChannelReading->setGeometry(kReadingX, 86, kReadingWidth, kRowHeight);

  FindButton = AddButton(this, text::kFind, "FindButton", kMargin);
  OKButton = AddButton(this, text::kOk, "OKButton", RightOf(FindButton));
  OKButton->setDefault(true);
  CancelButton = AddButton(this, text::kCancel, "CancelButton", RightOf(OKButton));
  setFixedSize(std::max(kReadingX + kReadingWidth + kMargin, RightOf(CancelButton)), height());
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(FindButton, &QPushButton::clicked, this, &TForm5::FindButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &TForm5::OKButtonClick);

  connect(QualitySel, &QComboBox::currentIndexChanged, this, &TForm5::QualitySelChange);
  connect(SpeedSel, &QComboBox::currentIndexChanged, this, &TForm5::QualitySelChange);
  connect(TrackSel, &QComboBox::currentIndexChanged, this, &TForm5::ShowProposal);
  connect(StartEdit, &QLineEdit::textChanged, this, &TForm5::ShowProposal);
  connect(ChEdit, &QLineEdit::textChanged, this, &TForm5::ShowProposal);

  QWidget* order[] = {TrackSel,   StartEdit,  SpeedSel, ChEdit,
                      QualitySel, FindButton, OKButton, CancelButton};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

bool TForm5::Edit(const XaFile& xa, FrameSource& wave, ChannelRecord& record, Prompter& prompt) {
  lent_.emplace(Lent{xa, wave, record, prompt});
  const bool accepted = exec() == QDialog::Accepted;
  lent_.reset();
  emit ProposalEnded();
  return accepted;
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  PlaceBesideOwner();
  FormShow();
}

// To the right of the main window, else to its left, else where the screen has room.
void TForm5::PlaceBesideOwner() {
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (!owner) return;
  const QRect main = owner->frameGeometry();
  const QRect screen = owner->screen()->availableGeometry();
  const QSize frame = frameGeometry().size();
  int x = main.right() + 1 + kMargin;
  if (x + frame.width() > screen.right() + 1) x = main.left() - kMargin - frame.width();
  x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - frame.width()));
  const int y = std::clamp(main.top(), screen.top(),
                           std::max(screen.top(), screen.bottom() + 1 - frame.height()));
  move(x, y);
}

void TForm5::FormShow() {
  if (!lent_) return;
  ShowParams(lent_->NewChannel, State);
  ShowControls();
}

void TForm5::QualitySelChange() {
  ReadControls();
  sorvane::QualitySelChange(State);
  ShowControls();
}

void TForm5::FindButtonClick() {
  if (!lent_) return;
  ReadControls();
  sorvane::FindButtonClick(lent_->File, State, lent_->Wave, lent_->NewChannel);
  ShowControls();
}

void TForm5::OKButtonClick() {
  if (!lent_) return;
  ReadControls();
  const char* refusal = sorvane::OKButtonClick(lent_->File, State, lent_->Wave, lent_->NewChannel);
  ShowControls();
  if (refusal) {
    lent_->Prompt.NotifyUser(refusal);
    return;
  }
  accept();
}

void TForm5::ReadControls() {
  State.TrackItem = TrackSel->currentIndex();
  State.StartText = StartEdit->text().toStdString();
  State.SpeedItem = SpeedSel->currentIndex();
  State.ChannelText = ChEdit->text().toStdString();
  State.QualityItem = QualitySel->currentIndex();
}

void TForm5::ShowControls() {
  // Setting the lists here must not run their change handler again.
  const QSignalBlocker quality(QualitySel);
  const QSignalBlocker speed(SpeedSel);
  const QSignalBlocker track(TrackSel);
  if (ItemsDiffer(TrackSel, State.TrackItems)) {
    TrackSel->clear();
    for (const std::string& item : State.TrackItems)
      TrackSel->addItem(QString::fromStdString(item));
  }
  TrackSel->setCurrentIndex(State.TrackItem);
  StartEdit->setText(QString::fromStdString(State.StartText));
  SpeedSel->setCurrentIndex(State.SpeedItem);
  ChEdit->setText(QString::fromStdString(State.ChannelText));
  QualitySel->setCurrentIndex(State.QualityItem);
  ShowProposal();
}

void TForm5::ShowProposal() {
  if (!lent_) return;
  const AppendDialogState kept = State;
  ReadControls();
  ChannelRecord proposal = lent_->NewChannel;
  ReadParams(State, lent_->Wave, proposal);
  State = kept;
  StartReading->setText(QText(text::kStartReading)
                            .arg(proposal.FirstSector)
                            .arg(QString::fromStdString(FormatPlayingTime(proposal.FirstSector))));
  ChannelReading->setText(QText(text::kChannelReading).arg(proposal.Channel));
  emit ProposalChanged(proposal);
}

}  // namespace sorvane::app
