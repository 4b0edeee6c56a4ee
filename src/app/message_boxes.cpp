#include "app/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/ui_text.h"
#include "common/fixed_texts.h"

namespace sorvane::app {
namespace {

// Answered with OK only when that button was clicked.
bool RunBox(QWidget* owner, const char* caption, const char* text, QMessageBox::Icon icon,
            bool withCancel) {
  QMessageBox box(owner);
  box.setFont(UiFont());
  box.setWindowTitle(QText(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(QText(text));
  box.setIcon(icon);
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
