// TForm1, the editor's main window: the menus, the channel list G with its keys and popup
// menu, files dropped on the window, and the commands. Each command forwards to the core;
// the window only shows the results.
#pragma once

#include <QMainWindow>
#include <cassert>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/recent_files.h"
#include "app/window_history.h"
#include "common/outcome.h"
#include "edit/channel_list_format.h"

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QTableWidget;

namespace sorvane {
class AudioOutput;
class ProgressMonitor;
class Prompter;
struct Workspace;
}  // namespace sorvane

namespace sorvane::app {

class FileChooser;
class FileStatusBar;
class InterleaveMapView;
class WaveformView;
class TForm4;
class TForm5;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // What the main window works with that is created after it.
  struct Services {
    ProgressMonitor& Progress;  // the progress window
    AudioOutput& Audio;         // the sound card, open only while a channel plays
    Prompter& Prompt;           // notices and questions
    FileChooser& Files;         // the file dialogs
    TForm4& Settings;
    TForm5& Append;
  };

  explicit TForm1(Workspace& workspace);
  // Closes the file when one is open.
  ~TForm1() override;

  // Must be called once, before the window is shown.
  void Attach(const Services& services);

  QMenuBar* MainMenu;
  QMenu* MenuFile;
  QAction* MenuNew;
  QAction* MenuOpen;
  QAction* MenuFind;
  QAction* MenuGap;
  QAction* MenuExportAll;
  QAction* MenuHighQuality;  // checkable, remembered between runs
  QMenu* MenuRecent;         // the files opened last, newest first
  QAction* MenuExit;
  QMenu* MenuShow;
  QAction* MenuSp1;
  QAction* MenuSpS;
  QAction* MenuSpH;
  QMenu* MenuEdit;
  QAction* MenuUndo;        // Ctrl+Z
  QAction* MenuRedo;        // Ctrl+Y
  QAction* MenuExportPart;  // the range selected on the waveform to a WAV file
  QAction* MenuPlay;
  QAction* MenuWavI;
  QAction* MenuWavO;
  QAction* ChAppend;
  QAction* ChDelete;
  QAction* MenuImportAll;  // enabled when the open file may be changed
  QMenu* PopupMenu;
  QAction* PopPlay;
  QAction* PopWavI;
  QAction* PopWavO;
  QAction* PopAppend;
  QAction* PopDelete;
  // Row 0 of the list is the horizontal header; table row r shows channel entry r.
  QTableWidget* G;
  // Under the list: where the channels lie in the file's sectors.
  InterleaveMapView* Map;
  // Between the list and the map: the selected channel's waveform.
  WaveformView* Wave;

  int DisplayUnit = UnitTime;
  // Closes the open file, opens `path` and scans its first sectors; refreshes the list
  // either way. 0 when the file is open, -1 with the file's LastErrorText otherwise. A disc
  // image opens its `entry`; without one, the person chooses it from the image's audio
  // files first, and 1 means they cancelled: the window keeps what it had.
  int OpenByPath(const std::string& path, const std::string& entry = {});
  // Rewrites the list from the channel table and sets the menus that need an open file.
  void RefreshList();

  void MenuNewClick();
  void MenuOpenClick();
  void MenuFindClick();
  void MenuGapClick();
  // Every channel of the open file to "<name>_chNNN.wav" in a chosen folder.
  void MenuExportAllClick();
  void MenuExitClick();
  void MenuSp1Click();
  void MenuSpSClick();
  void MenuSpHClick();
  void MenuPlayClick();
  void MenuWavIClick();
  void MenuWavOClick();
  void ChAppendClick();
  void ChDeleteClick();
  void MenuUndoClick();
  void MenuRedoClick();
  void MenuExportPartClick();
  // Plays the selected channel from frame `frame` of its sound, the playhead following.
  void PlayFromFrame(std::int64_t frame);
  // A folder of sounds named as MenuExportAllClick names its WAVs, each into its channel of
  // the open file (or of every entry of its disc image), after the plan was shown and
  // accepted; the batch is one edit. The status bar says what was imported.
  void MenuImportAllClick();

 protected:
  // A close asked for while a command runs waits for the command: the progress window
  // cancels its operation, and the window closes when the command has returned. Closing
  // closes the open file.
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  // A dropped file whose name ends in ".wav" (any case) is imported into the channel row
  // it lands on, or appended as a new channel elsewhere; any other file is opened as
  // described (only the first one counts, a failure shows no message).
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMainMenu();
  void BuildFileMenu();
  void BuildPopupMenu();
  // The waveform's menu item and its links to the list, the map and playback.
  void ConnectWaveform();
  void ShowSelectedWaveform();
  // Plays `record` from `frame`, the playhead on the waveform and the map following the
  // output's play position.
  Outcome PlayFollowed(const ChannelRecord& record, std::int64_t frame);
  QAction* AddCommand(QMenu* menu, const char* name, const char* caption,
                      void (TForm1::*handler)());
  // Runs one command of the menus, keys or drops, then closes the window when a close was
  // asked for while it ran.
  void RunCommand(const std::function<void()>& command);
  bool GKeyDown(QKeyEvent* event);
  bool GKeyPress(QKeyEvent* event);
  void SetUnit(int unit);
  void ImportInto(int entry, const std::string& wav);
  // Shows the refusal when no channel can be added.
  bool AppendRefused();
  void AppendFrom(const std::string& wav);
  void DropFile(const std::string& path, int row);
  // The window title and the status bar, from the open file.
  void ShowFileState();
  void RememberFile();
  void ShowRecentFiles();
  void FillRow(int row, const ChannelRow& cells);
  // The channel table entry of the selected row, or -1 when no channel is selected.
  int SelectedEntry() const;
  void CloseFile();
  // Lists the image's audio files and lets the person choose one (`entry`): 0 chosen, 1
  // cancelled, -1 when the image cannot be read (the window's file closed, LastErrorText).
  int ChooseImageEntry(const std::string& path, std::string& entry);
  // Takes the open file's lock for the window and asks about an unfinished edit; false when
  // that failed and closed the file (LastErrorText says why).
  bool HoldFile();
  // A file is open and this window may change it: not read-only, its lock held.
  bool MayImportAll() const;
  // Undo or redo of the newest step, a settings change kept in memory or a journal entry
  // (then the list reloaded with the file settings as they were).
  void TakeBack(bool redo);
  // The number of the journal's newest undo entry, 0 when it has none.
  std::uint64_t NewestEntry();
  // Tells the window's history what the journal's newest entry is now; a new one is a new
  // edit. Called after every command, before any decision on the history.
  void NoticeJournal();
  // 元に戻す and やり直し as the history and the journal allow.
  void ShowHistoryMenus();
  // After an import, append or delete: when its progress was cancelled, the file scanned
  // again to what it holds and the cancel noted; else `done` noted, with the report of a
  // sound that was cut after it. True when the edit was not cancelled.
  bool NoteEdit(bool cancelled, const QString& done);
  // Adds the report of a sound that the last import or append cut to the note `done`.
  void NoteCut(const QString& done);
  // What the last command did, or why one is unavailable, in the status bar.
  void Note(const QString& text);
  // Null when the open file can be changed, else why not (read-only, or locked by another
  // program), noted in the status bar.
  const char* RefuseChange();
  const Services& S() const {
    assert(services_ && "Attach before use");
    return *services_;
  }

  Workspace& workspace_;
  std::optional<Services> services_;
  FileStatusBar* status_;
  RecentFiles recent_;
  // The order of the journal's entries and of the settings changes that did not resize the
  // file, for 元に戻す and やり直し.
  WindowHistory history_;
  // Whether a file is open in the window, set by the file commands. A failed resize may
  // leave the file's descriptor closed while the window still shows the file.
  bool FileOpen = false;
  int runningCommands_ = 0;
  bool closeWhenIdle_ = false;
};

}  // namespace sorvane::app
