// The editor's five windows, created in order at start-up and living until the program
// ends, with the message boxes and file dialogs they share.
#pragma once

#include <QStringList>
#include <functional>

#include "app/append_dialog.h"
#include "app/file_chooser.h"
#include "app/length_dialog.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_prompter.h"
#include "app/settings_dialog.h"

namespace sorvane::app {

struct EditorForms {
  EditorForms(Workspace& workspace, AudioOutput& audio);

  TForm1 Form1;  // main window
  TForm2 Form2;  // progress
  TForm3 Form3;  // WAV length
  TForm4 Form4;  // file settings
  TForm5 Form5;  // channel append
  QtPrompter Prompter;
  QtFileChooser Files;
};

// Shows the window and runs `run` once it is on screen, placed by the window manager, so
// that what `run` shows centres on the window where it stays.
void WhenOnScreen(QWidget& window, std::function<void()> run);

// Opens the file that the first argument after the program names, with the message that
// 開く shows when that fails (call it with the window shown); further arguments are ignored.
void OpenFromCommandLine(TForm1& form1, const Workspace& workspace, Prompter& prompter,
                         const QStringList& arguments);

}  // namespace sorvane::app
