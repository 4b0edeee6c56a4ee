// Saves pictures of the editor's windows for the documentation: the main window in each
// unit, its popup menu, the progress window during a WAV export, the settings dialog, the
// length dialog asking a real import question, the append dialog with a real proposal (and
// the main window's map showing it), Qt's open dialog, the waveform strip with a selected
// range and, given a disc image, the chooser of its files, in the language that SORVANE_LANG
// or the system chooses.
//   sorvane-screenshots OUTDIR FILE.xa [IMAGE.cue]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/disc_entry_dialog.h"
#include "app/editor_forms.h"
#include "app/no_sound_output.h"
#include "app/translations.h"
#include "app/ui_text.h"
#include "app/waveform_view.h"
#include "edit/channel_append.h"
#include "edit/channel_export.h"
#include "edit/channel_import.h"
#include "edit/workspace.h"
#include "input/audio_file.h"

namespace sorvane::app {
namespace {

// Lets the waveform of the selected channel arrive before a picture of the main window.
void WaitForWaveform(const TForm1& form1) {
  QElapsedTimer waited;
  waited.start();
  while (form1.Wave->Summary() != nullptr && !form1.Wave->Summary()->Complete() &&
         waited.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
}

void Save(QWidget& window, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!window.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void ShowAndSave(QWidget& window, const QDir& dir, const char* name) {
  window.show();
  Save(window, dir, name);
  window.hide();
}

// The progress window, saved once from the operation's own progress report when the bar
// first reaches 40 %.
class SavingProgress : public ProgressMonitor {
 public:
  SavingProgress(TForm2& form2, const QDir& dir) : form2_(form2), dir_(dir) {}
  void Start() override { form2_.Start(); }
  void SetPosition(int percent) override {
    form2_.SetPosition(percent);
    if (saved_ || percent < 40) return;
    saved_ = true;
    Save(form2_, dir_, "progress.png");
  }
  bool PollCancel() override { return form2_.PollCancel(); }
  void Finish() override { form2_.Finish(); }
  void Notify(const char* text) override { form2_.Notify(text); }
  bool Saved() const { return saved_; }

 private:
  TForm2& form2_;
  const QDir& dir_;
  bool saved_ = false;
};

// Saves the modal dialog once it is on screen, then lets `close` end it.
class SaveWhenShown {
 public:
  SaveWhenShown(QDialog& dialog, const QDir& dir, const char* name, std::function<void()> close) {
    QObject::connect(&watch_, &QTimer::timeout, [this, &dialog, &dir, name, close] {
      if (saved_ || !dialog.isVisible()) return;
      saved_ = true;
      Save(dialog, dir, name);
      close();
    });
    watch_.start(10);
  }
  ~SaveWhenShown() {
    if (!saved_) std::fprintf(stderr, "a dialog was not shown\n");
  }

 private:
  QTimer watch_;
  bool saved_ = false;
};

// Exports the channel of the last row, showing the progress window.
bool ExportLastChannel(EditorForms& forms, Workspace& workspace, const QDir& dir,
                       const std::string& wav) {
  XaFile& xa = workspace.File;
  if (xa.AudioChannelTable.Count == 0) return false;
  SavingProgress progress(forms.Form2, dir);
  const ChannelRecord last = xa.AudioChannelTable.Records[xa.AudioChannelTable.Count - 1];
  if (ExportChannel(workspace, last, wav, progress) != Outcome::Done) {
    std::fprintf(stderr, "export: %s\n", xa.LastErrorText);
    return false;
  }
  if (!progress.Saved()) std::fprintf(stderr, "the progress window was not shown\n");
  return true;
}

// Imports the WAV into the first channel, whose length differs, and saves the length
// question; its "キャンセル" leaves the file as it was (a scanned file already has the
// length the size adjustment after the import wants).
void SaveLengthQuestion(EditorForms& forms, Workspace& workspace, const QDir& dir,
                        const std::string& wav) {
  const SaveWhenShown watch(forms.Form3, dir, "length.png",
                            [&forms] { forms.Form3.Button2->click(); });
  SilentProgress quiet;
  if (ImportChannel(workspace, 0, wav, quiet, forms.Prompter) == Outcome::Failed)
    std::fprintf(stderr, "import: %s\n", workspace.File.LastErrorText);
}

// The append dialog with the proposal for the WAV, closed with "キャンセル".
void SaveAppendProposal(EditorForms& forms, Workspace& workspace, const QDir& dir,
                        const std::string& wav) {
  AudioFile wave;
  if (wave.Open(wav) != 0) {
    std::fprintf(stderr, "append: %s\n", wave.LastErrorText);
    return;
  }
  ChannelRecord record = ProposeNewChannel(workspace.File, wave);
  // The main window behind it shows the proposal on the interleave map.
  const SaveWhenShown watch(forms.Form5, dir, "append.png", [&forms, &dir] {
    Save(forms.Form1, dir, "append-preview.png");
    forms.Form5.CancelButton->click();
  });
  forms.Form5.Edit(workspace.File, wave, record, forms.Prompter);
}

void SaveMainWindow(EditorForms& forms, const QDir& dir) {
  TForm1& form1 = forms.Form1;
  form1.G->setCurrentCell(1, 1);
  WaitForWaveform(form1);
  form1.MenuSpSClick();
  Save(form1, dir, "main-sectors.png");
  form1.MenuSpHClick();
  Save(form1, dir, "main-hex.png");
  form1.MenuSp1Click();
  Save(form1, dir, "main-time.png");
  // Enter on the list, as the person at the keyboard would press it.
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form1.G, &enter);
  Save(*form1.PopupMenu, dir, "popup.png");
  form1.PopupMenu->hide();
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, keys);
  QApplication::sendEvent(widget, &event);
}

// The main window, wider, with the waveform of the first channel zoomed in a little, a range
// shift-dragged on it and the pointer over it (its sector marked on the map).
void SaveWaveform(EditorForms& forms, const QDir& dir) {
  TForm1& form1 = forms.Form1;
  const QSize designed = form1.size();
  form1.resize(760, 560);
  form1.G->setCurrentCell(0, 1);
  WaitForWaveform(form1);
  QApplication::processEvents();
  WaveformView* wave = form1.Wave;
  const int y = wave->StripArea().center().y();
  const int width = wave->width();
  SendMouse(wave, QEvent::MouseButtonPress, QPoint(width * 3 / 10, y), Qt::ShiftModifier);
  SendMouse(wave, QEvent::MouseMove, QPoint(width / 2, y), Qt::ShiftModifier);
  SendMouse(wave, QEvent::MouseButtonRelease, QPoint(width / 2, y), Qt::ShiftModifier);
  SendMouse(wave, QEvent::MouseMove, QPoint(width * 7 / 10, y), Qt::NoModifier);
  Save(form1, dir, "waveform.png");
  form1.resize(designed);
}

// Qt's own open dialog as the editor shows it, in the folder of the open file.
void SaveFileDialog(EditorForms& forms, const QDir& dir, const QString& folder) {
  QDir::setCurrent(folder);
  QTimer watch;
  bool saved = false;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (saved || !modal || !modal->isVisible()) return;
    saved = true;
    Save(*modal, dir, "file-dialog.png");
    modal->close();
  });
  watch.start(50);
  forms.Files.Choose(FileDialogKind::OpenDialog);
  if (!saved) std::fprintf(stderr, "the file dialog was not shown\n");
}

// The chooser that opening the disc image shows, saved, then closed with its first file
// chosen.
void SaveDiscChooser(EditorForms& forms, const Workspace& workspace, const QDir& dir,
                     const std::string& image) {
  QTimer watch;
  bool saved = false;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* chooser = qobject_cast<DiscEntryDialog*>(QApplication::activeModalWidget());
    if (saved || !chooser || !chooser->isVisible()) return;
    saved = true;
    Save(*chooser, dir, "disc-chooser.png");
    chooser->OkButton->click();
  });
  watch.start(50);
  if (forms.Form1.OpenByPath(image) != 0)
    std::fprintf(stderr, "%s: %s\n", image.c_str(), workspace.File.LastErrorText);
  if (!saved) std::fprintf(stderr, "the disc image chooser was not shown\n");
}

void SaveSettings(EditorForms& forms, const QDir& dir, const XaFile& xa) {
  forms.Form4.ChannelPostGap = xa.ChannelPostGap;
  forms.Form4.EndPostGap = xa.EndPostGap;
  forms.Form4.ResizePermission = xa.ResizePermission;
  ShowAndSave(forms.Form4, dir, "settings.png");
}

}  // namespace
}  // namespace sorvane::app

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  sorvane::app::InstallTranslations(sorvane::app::ChooseUiLanguage());
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: sorvane-screenshots OUTDIR FILE.xa [IMAGE.cue]\n");
    return 2;
  }
  sorvane::app::InstallFontSubstitutes();
  QApplication::setFont(sorvane::app::UiFont());
  // Absolute: the file dialog changes the current folder.
  const QDir dir(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
  sorvane::Workspace workspace;
  const auto audio = sorvane::app::CreateNoSoundOutput();  // nothing is played
  sorvane::app::EditorForms forms(workspace, *audio);
  if (forms.Form1.OpenByPath(argv[2]) != 0) {
    std::fprintf(stderr, "%s: %s\n", argv[2], workspace.File.LastErrorText);
    return 1;
  }
  forms.Form1.show();
  QApplication::processEvents();
  forms.Form1.MenuFindClick();
  sorvane::app::SaveMainWindow(forms, dir);
  sorvane::app::SaveSettings(forms, dir, workspace.File);
  sorvane::app::SaveFileDialog(forms, dir,
                               QFileInfo(QString::fromLocal8Bit(argv[2])).absolutePath());
  const QTemporaryDir work;
  const std::string wav =
      QFile::encodeName(work.filePath(QStringLiteral("last.wav"))).toStdString();
  if (!sorvane::app::ExportLastChannel(forms, workspace, dir, wav)) return 1;
  sorvane::app::SaveLengthQuestion(forms, workspace, dir, wav);
  sorvane::app::SaveAppendProposal(forms, workspace, dir, wav);
  sorvane::app::SaveWaveform(forms, dir);
  if (argc == 4) sorvane::app::SaveDiscChooser(forms, workspace, dir, argv[3]);
  return 0;
}
