#include "app/settings_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <initializer_list>

#include "app/message_boxes.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/file_settings.h"

namespace sorvane::app {
namespace {

constexpr int kLabelX = 8;
constexpr int kFieldX = 184;
constexpr int kFieldWidth = 99;
constexpr int kRowHeight = 20;
constexpr int kWidth = 291;
constexpr int kHeight = 124;

QLabel* AddRow(QWidget* form, const char* label, QWidget* field, int y) {
  auto* caption = new QLabel(QText(label), form);
  caption->setGeometry(kLabelX, y, kFieldX - kLabelX - 4, kRowHeight);
  caption->setBuddy(field);
  field->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  return caption;
}

}  // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QText(text::kSettingsCaption));
  setFont(UiFont());
  setFixedSize(kWidth, kHeight);

  Gap1 = new QLineEdit(this);
  Gap1->setObjectName(QStringLiteral("Gap1"));
  Label1 = AddRow(this, text::kLabelChannelGap, Gap1, 8);

  Gap2 = new QLineEdit(this);
  Gap2->setObjectName(QStringLiteral("Gap2"));
  Label2 = AddRow(this, text::kLabelEndGap, Gap2, 34);

  Modify = new QComboBox(this);
  Modify->setObjectName(QStringLiteral("Modify"));
  Modify->addItems(
      {QText(text::kModifyAsk), QText(text::kModifyAllowed), QText(text::kModifyForbidden)});
  Label3 = AddRow(this, text::kLabelModify, Modify, 60);

  Button1 = new QPushButton(QText(text::kOk), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(128, 94, 75, 21);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);

  Button2 = new QPushButton(QText(text::kCancel), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(208, 94, 75, 21);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  SizeFixedNote = new QLabel(QText(text::kImageSizeFixed), this);
  SizeFixedNote->setObjectName(QStringLiteral("SizeFixedNote"));
  // One line below the buttons, whole: the dialog widens for it rather than break a word.
  SizeFixedNote->move(kLabelX, kHeight - 2);
  SizeFixedNote->resize(SizeFixedNote->sizeHint());
  SizeFixedNote->hide();

  setTabOrder(Gap1, Gap2);
  setTabOrder(Gap2, Modify);
  setTabOrder(Modify, Button1);
  setTabOrder(Button1, Button2);
}

bool TForm4::Edit(FileSettings& settings, bool sizeFixed) {
  FixSize(sizeFixed);
  ChannelPostGap = settings.ChannelPostGap;
  EndPostGap = settings.EndPostGap;
  ResizePermission = settings.ResizePermission;
  if (exec() != QDialog::Accepted) return false;
  settings = {ChannelPostGap, EndPostGap, ResizePermission};
  return true;
}

void TForm4::FixSize(bool fixed) {
  Modify->setEnabled(!fixed);
  const QString reason = fixed ? QText(text::kImageSizeFixed) : QString();
  Modify->setToolTip(reason);
  Label3->setToolTip(reason);
  SizeFixedNote->setVisible(fixed);
  const QSize note = SizeFixedNote->size();
  const int width = fixed ? std::max(kWidth, note.width() + 2 * kLabelX) : kWidth;
  // The fields and buttons keep to the right edge.
  for (QWidget* right : std::initializer_list<QWidget*>{Gap1, Gap2, Modify})
    right->move(kFieldX + width - kWidth, right->y());
  Button1->move(128 + width - kWidth, Button1->y());
  Button2->move(208 + width - kWidth, Button2->y());
  setFixedSize(width, fixed ? kHeight + note.height() + 6 : kHeight);
}

void TForm4::FormShow() {
  ShowSettings({ChannelPostGap, EndPostGap, ResizePermission}, State);
  ShowControls();
  Gap1->setFocus();
}

void TForm4::Button1Click() {
  ReadControls();
  const FileSettings read = ReadSettings(State);
  ChannelPostGap = read.ChannelPostGap;
  EndPostGap = read.EndPostGap;
  ResizePermission = read.ResizePermission;
  if (const char* refusal = RefuseFileSettings(read)) {
    // The field at fault takes the focus before the box opens, so that it has it again
    // when the box closes and the dialog becomes active.
    (FieldAtFault(read) == SettingsField::EndGap ? Gap2 : Gap1)->setFocus();
    ShowErrorBox(this, refusal);
    return;
  }
  accept();
}

void TForm4::ReadControls() {
  State.ChannelGapText = Gap1->text().toStdString();
  State.EndGapText = Gap2->text().toStdString();
  State.ModifyItem = Modify->currentIndex();
}

void TForm4::ShowControls() {
  Gap1->setText(QString::fromStdString(State.ChannelGapText));
  Gap2->setText(QString::fromStdString(State.EndGapText));
  Modify->setCurrentIndex(State.ModifyItem);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

}  // namespace sorvane::app
