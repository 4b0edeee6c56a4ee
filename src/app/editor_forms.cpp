#include "app/editor_forms.h"

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "edit/workspace.h"

namespace sorvane::app {

EditorForms::EditorForms(Workspace& workspace, AudioOutput& audio)
    : Form1(workspace),
      Form2(Form1),
      Form3(&Form1),
      Form4(&Form1),
      Form5(&Form1),
      Prompter(Form1, Form2, Form3),
      Files(Form1) {
  Form1.Attach({Form2, audio, Prompter, Files, Form4, Form5});
}

namespace {

// Runs `run` once, when the window is first on screen where the window manager put it.
class FirstExposure : public QObject {
 public:
  FirstExposure(QWindow* window, std::function<void()> run)
      : QObject(window), run_(std::move(run)) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, watched, std::move(run_));  // once the exposure is handled
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void()> run_;
};

}  // namespace

void WhenOnScreen(QWidget& window, std::function<void()> run) {
  window.show();
  new FirstExposure(window.windowHandle(), std::move(run));
}

void OpenFromCommandLine(TForm1& form1, const Workspace& workspace, Prompter& prompter,
                         const QStringList& arguments) {
  if (arguments.size() < 2) return;
  if (form1.OpenByPath(QFile::encodeName(arguments.at(1)).toStdString()) < 0)
    prompter.NotifyUser(workspace.File.LastErrorText);
}

}  // namespace sorvane::app
