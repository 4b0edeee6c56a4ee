// Driving the editor's real windows in tests: modal windows answered from a timer, a file
// chooser that answers from a script, and the main window wired to scripted stand-ins.
#pragma once

#include <gtest/gtest.h>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/append_dialog.h"
#include "app/file_chooser.h"
#include "app/length_dialog.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_prompter.h"
#include "app/settings_dialog.h"
#include "edit/workspace.h"
#include "support/scripted_audio_output.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

class QAbstractButton;

namespace sorvane::testing {

// Answers the modal windows that the code under test opens, one step per window, from a
// timer of the event loop that the window runs. A step must not block: it fills in fields
// and presses buttons with ClickLater. A modal window left without a step is closed after
// a while and reported in Unexpected, so a test fails instead of hanging.
class ModalScript {
 public:
  using Step = std::function<void(QWidget* modal)>;

  ModalScript();
  ModalScript& Then(Step step);
  bool Done() const { return steps_.empty(); }

  std::vector<QString> Titles;      // window titles of the modal windows handed to steps
  std::vector<QString> Unexpected;  // titles of modal windows that no step answered

 private:
  void Tick();

  QTimer timer_;
  std::deque<Step> steps_;
  QPointer<QWidget> last_;  // the window of the last step, until it goes away
  int idleTicks_ = 0;
};

// The delete confirmation as the window asks it: the described text, then the channel.
QString DeleteQuestion(int channel);

// Presses the button from the event loop, after the current step has returned.
void ClickLater(QAbstractButton* button);
// A step that checks a message box's caption, text and buttons, then presses `press`.
ModalScript::Step AnswerBox(QString caption, QString text, QStringList buttons, QString press);

class ScriptedFileChooser : public app::FileChooser {
 public:
  std::deque<std::string> Answers;  // "" answers as a cancel; used up: cancel
  std::vector<app::FileDialogKind> Asked;

  std::string Choose(app::FileDialogKind kind) override;
};

// Channel 2, 18.9k mono, 5 sectors from 0; channel 1, 37.8k stereo, 6 sectors from 1, in a
// file of 100 sectors: the list shows channel 2 first.
void WriteTwoChannels(const std::string& path);

// What the status bar's note says now.
QString Note(const app::TForm1& form);

// The cells of one row of the channel list, as shown.
std::vector<std::string> RowTexts(const app::TForm1& form, int row);
std::string HeaderText(const app::TForm1& form, int column);

// The main window with the real progress window and dialogs, and scripted prompts and
// file dialogs.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest();
  ~MainWindowTest() override;

  // Opens the file in the window; the test fails when it does not open.
  void Open(const std::string& path);

  TempDir dir;
  Workspace workspace;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  ScriptedAudioOutput audio;
  app::TForm1 form1{workspace};
  app::TForm2 form2{form1};
  app::TForm4 form4{&form1};
  app::TForm5 form5{&form1};
};

// The main window with every real window: the editor's prompter with its message boxes and
// Form3, the progress window and the dialogs, all answered from a ModalScript. Only the
// file dialogs are scripted.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest();
  ~EditorTest() override;

  // Opens the file in the window; the test fails when it does not open.
  void Open(const std::string& path);
  // Runs `command` with its modal windows answered by `script`; every step must be used and
  // no window may be left unanswered.
  void Run(ModalScript& script, const std::function<void()>& command);

  TempDir dir;
  Workspace workspace;
  ScriptedFileChooser files;
  ScriptedAudioOutput audio;
  app::TForm1 form1{workspace};
  app::TForm2 form2{form1};
  app::TForm3 form3{&form1};
  app::TForm4 form4{&form1};
  app::TForm5 form5{&form1};
  app::QtPrompter prompter{form1, form2, form3};
};

// Looks at the progress window from a timer each time a long operation lets events run:
// how often it was on screen, whether the main window was disabled every time, and the
// bar positions. With `cancel`, presses "キャンセル" the first time it is seen.
class ProgressWatch {
 public:
  ProgressWatch(const app::TForm1& form1, app::TForm2& form2, bool cancel = false);

  int VisibleTicks = 0;
  bool MainDisabled = true;
  bool Pressed = false;
  std::vector<int> Positions;

 private:
  void Look();

  const app::TForm1& form1_;
  app::TForm2& form2_;
  bool cancel_;
  QTimer timer_;
};

}  // namespace sorvane::testing
