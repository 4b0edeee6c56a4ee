#include "app/length_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <algorithm>

#include "app/channel_grid.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "container/xa_file.h"
#include "edit/channel_append.h"
#include "edit/channel_list_format.h"
#include "input/audio_file.h"

namespace sorvane::app {

QString ListedPlayingTime(const ChannelRecord& record) {
  return QText(FormatChannelRow(record, UnitTime)[kPlayTimeColumn].c_str()).trimmed();
}

QString BothLengths(const std::string& wav, const ChannelRecord& record) {
  AudioFile wave;
  if (wave.Open(wav) != 0) return {};
  ChannelRecord fromWav = record;
  fromWav.SectorCount = SectorsForSound(wave, record);
  return QText(text::kLengthBoth).arg(ListedPlayingTime(fromWav), ListedPlayingTime(record));
}

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QText(text::kMessageCaption));
  setFont(UiFont());
  setFixedSize(231, 112);

  Msg = new QLabel(QText(text::kWavLonger), this);
  Msg->setObjectName(QStringLiteral("Msg"));
  Msg->move(16, 8);
  Msg->setFixedWidth(231 - 16);

  Sel1 = new QRadioButton(QText(text::kKeepOriginal), this);
  Sel1->setObjectName(QStringLiteral("Sel1"));
  Sel1->move(40, 32);
  Sel1->setFixedWidth(231 - 40);

  Sel2 = new QRadioButton(QText(text::kFollowWav), this);
  Sel2->setObjectName(QStringLiteral("Sel2"));
  Sel2->move(40, 56);
  Sel2->setFixedWidth(231 - 40);

  Button1 = new QPushButton(QText(text::kOk), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(56, 84, 75, 21);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

  Button2 = new QPushButton(QText(text::kCancel), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(136, 84, 75, 21);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  connect(Sel1, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) Choice = LengthChoice::KeepOriginal;
  });
  connect(Sel2, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) Choice = LengthChoice::SecondChoice;
  });

  setTabOrder(Button1, Sel1);
  setTabOrder(Sel1, Sel2);
  setTabOrder(Sel2, Button2);
}

LengthChoice TForm3::Choose(const char* message, const char* secondChoice) {
  Msg->setText(QText(message));
  Sel2->setText(QText(secondChoice));
  FitMessage();
  return exec() == QDialog::Accepted ? Choice : LengthChoice::Cancel;
}

void TForm3::FitMessage() {
  // The designed size holds one line; lines added after it (the two lengths) move the
  // choices and buttons down, and a wider line widens the dialog.
  const auto measured = [this](const QString& text) {
    return Msg->fontMetrics().boundingRect(QRect(0, 0, 4096, 4096), Qt::AlignLeft, text).size();
  };
  const QSize text = measured(Msg->text());
  const int line = measured(Msg->text().section(u'\n', 0, 0)).height();
  const int below = std::max(0, text.height() - line);
  const int width = std::max(231, 16 + text.width() + 16);
  Msg->setFixedSize(width - 16, line + below);
  Sel1->move(40, 32 + below);
  Sel2->move(40, 56 + below);
  const int centre = (width - 231) / 2;  // the buttons stay centred
  Button1->move(56 + centre, 84 + below);
  Button2->move(136 + centre, 84 + below);
  setFixedSize(width, 112 + below);
}

void TForm3::FormShow() {
  Choice = LengthChoice::KeepOriginal;
  ShowControls();
  Button1->setFocus();
}

void TForm3::ShowControls() {
  // The choices exclude each other: checking one unchecks the other.
  QRadioButton* checked = Choice == LengthChoice::SecondChoice ? Sel2 : Sel1;
  checked->setChecked(true);
  // Tab enters the choices at the checked one. Qt moves that stop to the choice that last
  // had the focus, which a later showing would otherwise inherit from an earlier one.
  for (QRadioButton* choice : {Sel1, Sel2})
    choice->setFocusPolicy(choice == checked ? Qt::StrongFocus
                                             : Qt::FocusPolicy(Qt::StrongFocus & ~Qt::TabFocus));
}

void TForm3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

}  // namespace sorvane::app
