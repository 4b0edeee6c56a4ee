#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>

#include "app/message_boxes.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"

namespace sorvane::app {

namespace {

void CentreOn(QWidget& window, const QWidget& owner) {
  const QRect frame = window.frameGeometry();
  window.move(owner.frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
}

}  // namespace

// A dialog-type child window of the main window: the window system is told that it
// belongs to that window (on X11 only dialog types are), and keeps it above it.
TForm2::TForm2(QWidget& mainWindow)
    : QWidget(&mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QText(text::kProgressCaption));
  setFont(UiFont());
  setFixedSize(303, 45);

  Bar = new QProgressBar(this);
  Bar->setObjectName(QStringLiteral("Bar"));
  Bar->setGeometry(0, 0, 303, 16);
  Bar->setRange(0, 100);
  Bar->setValue(0);
  Bar->setTextVisible(false);

  Button1 = new QPushButton(QText(text::kCancel), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(224, 21, 75, 21);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  mainWindow_.installEventFilter(this);
}

void TForm2::Start() {
  Cancelled = false;
  Bar->setValue(0);
  CentreOn(*this, mainWindow_);
  show();
  CentreOn(*this, mainWindow_);  // again, with the frame that the window system has given it
  raise();
  mainWindow_.setEnabled(false);
  setEnabled(true);  // a child window would follow its disabled owner
}

void TForm2::SetPosition(int percent) { Bar->setValue(percent); }

bool TForm2::PollCancel() {
  QCoreApplication::processEvents();
  return Cancelled;
}

void TForm2::Finish() {
  mainWindow_.setEnabled(true);
  hide();
}

void TForm2::Notify(const char* text) { ShowNotice(isVisible() ? this : &mainWindow_, text); }

void TForm2::Button1Click() { Cancelled = true; }

// A close request of the window manager (its close button, Alt+F4) and Escape act as
// "キャンセル": the window goes when the operation has stopped.
void TForm2::closeEvent(QCloseEvent* event) {
  event->ignore();
  Button1Click();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) Button1Click();
  QWidget::keyPressEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &mainWindow_ && event->type() == QEvent::Close && isVisible()) Button1Click();
  return QWidget::eventFilter(watched, event);
}

}  // namespace sorvane::app
