#include "app/qt_prompter.h"

#include <QWidget>

#include "app/length_dialog.h"
#include "app/message_boxes.h"

namespace sorvane::app {

QWidget* QtPrompter::Owner() const {
  return progressWindow_.isVisible() ? &progressWindow_ : &mainWindow_;
}

void QtPrompter::NotifyUser(const char* text) { ShowNotice(Owner(), text); }

bool QtPrompter::AskOkCancel(const char* text) { return AskOkCancelBox(Owner(), text); }

LengthChoice QtPrompter::ChooseLength(const char* message, const char* secondChoice) {
  return lengthDialog_.Choose(message, secondChoice);
}

}  // namespace sorvane::app
