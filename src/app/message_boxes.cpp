#include "app/message_boxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "app/ui_text.h"
#include "common/fixed_texts.h"

namespace sorvane::app {
namespace {

// Window managers draw the caption in a title bar beside their buttons, often in a larger
// font than the box's: a box sized for a short text would elide it ("メ…ジ").
void LeaveRoomForCaption(QMessageBox& box) {
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) * 2 + 120;
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// Answered with OK only when that button was clicked.
bool RunBox(QWidget* owner, const char* caption, const char* text, QMessageBox::Icon icon,
            bool withCancel) {
  QMessageBox box(owner);
  box.setFont(UiFont());
  box.setWindowTitle(QText(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(QText(text));
  box.setIcon(icon);
  LeaveRoomForCaption(box);
  QPushButton* ok = box.addButton(QText(text::kOk), QMessageBox::AcceptRole);
  QPushButton* cancel = nullptr;
  if (withCancel) cancel = box.addButton(QText(text::kCancel), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel ? cancel : ok);
  box.exec();
  return box.clickedButton() == ok;
}

}  // namespace

void ShowNotice(QWidget* owner, const char* text) {
  RunBox(owner, text::kMessageCaption, text, QMessageBox::NoIcon, false);
}

bool AskOkCancelBox(QWidget* owner, const char* text) {
  return RunBox(owner, text::kMessageCaption, text, QMessageBox::NoIcon, true);
}

void ShowErrorBox(QWidget* owner, const char* text) {
  RunBox(owner, text::kErrorCaption, text, QMessageBox::Critical, false);
}

}  // namespace sorvane::app
