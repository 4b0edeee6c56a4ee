#include "app/editor_forms.h"

#include <QFile>

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

void OpenFromCommandLine(TForm1& form1, const Workspace& workspace, Prompter& prompter,
                         const QStringList& arguments) {
  if (arguments.size() < 2) return;
  if (form1.OpenByPath(QFile::encodeName(arguments.at(1)).toStdString()) < 0)
    prompter.NotifyUser(workspace.File.LastErrorText);
}

}  // namespace sorvane::app
