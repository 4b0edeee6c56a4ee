// TForm2, the progress window of long operations: a bar and a "キャンセル" button. While it
// is shown the main window is disabled, so no second command can start. It opens centred
// on the main window and stays above it.
#pragma once

#include <QWidget>

#include "app/form_widgets.h"
#include "common/progress_monitor.h"

namespace sorvane::app {

class TForm2 : public QWidget, public ProgressMonitor {
  Q_OBJECT

 public:
  // mainWindow: the window that owns this one, disabled from Start to Finish. Closing it
  // while this window is shown cancels as the button does.
  explicit TForm2(QWidget& mainWindow);

  QProgressBar* Bar;
  QPushButton* Button1;

  // Set by Button1Click, cleared only by Start.
  bool Cancelled = false;

  void Start() override;
  void SetPosition(int percent) override;
  // Handles the pending events without waiting for more, then reports the cancel request.
  bool PollCancel() override;
  void Finish() override;
  void Notify(const char* text) override;

  void Button1Click();

 protected:
  // A close asked for by the window system, and Escape, press "キャンセル"; only Finish
  // hides the window.
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& mainWindow_;
};

}  // namespace sorvane::app
