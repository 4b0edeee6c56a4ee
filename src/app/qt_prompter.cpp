#include "app/qt_prompter.h"

#include <QApplication>
#include <QWidget>

#include "app/length_dialog.h"
#include "app/message_boxes.h"

namespace sorvane::app {

QWidget* QtPrompter::Owner() const {
  // A dialog waiting for its answer (the append dialog refusing what was typed) owns the
  // boxes it causes, so that they centre on it.
  if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog->isVisible())
    return dialog;
  return progressWindow_.isVisible() ? &progressWindow_ : &mainWindow_;
}

void QtPrompter::NotifyUser(const char* text) { ShowNotice(Owner(), text); }

bool QtPrompter::AskOkCancel(const char* text) { return AskOkCancelBox(Owner(), text); }

LengthChoice QtPrompter::ChooseLength(const char* message, const char* secondChoice) {
  return lengthDialog_.Choose(message, secondChoice);
}

}  // namespace sorvane::app
