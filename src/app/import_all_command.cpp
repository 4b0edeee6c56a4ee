// 編集 > "フォルダから一括入力": the sounds of a chosen folder, named as 全チャンネルをWAV出力
// names them, each into its channel of the open file (or of every entry of its disc image),
// after the plan was shown; the batch is one edit that one 元に戻す takes back.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "app/added_line.h"
#include "app/file_chooser.h"
#include "app/import_all_dialog.h"
#include "app/length_dialog.h"
#include "app/main_window.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/import_all.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

// The progress window kept on screen for the whole batch: each scan and import starts it
// again (the bar and the cancel request begin anew) but only the batch's end hides it.
class BatchProgress : public ProgressMonitor {
 public:
  explicit BatchProgress(ProgressMonitor& window) : window_(window) {}
  ~BatchProgress() override { Pause(); }

  void Start() override {
    shown_ = true;
    window_.Start();
  }
  void SetPosition(int percent) override { window_.SetPosition(percent); }
  bool PollCancel() override { return window_.PollCancel(); }
  void Finish() override {}
  void Notify(const char* text) override { window_.Notify(text); }

  // Hides the window while the length dialog, which the main window owns, is asked; the
  // main window is enabled meanwhile, as for a lone import.
  bool Pause() {
    const bool was = shown_;
    if (shown_) window_.Finish();
    shown_ = false;
    return was;
  }
  void Resume(bool was) {
    if (was) Start();
  }

 private:
  ProgressMonitor& window_;
  bool shown_ = false;
};

// The editor's questions, the length dialog asked with the progress window out of its way.
class BatchPrompter : public Prompter {
 public:
  BatchPrompter(Prompter& inner, BatchProgress& progress) : inner_(inner), progress_(progress) {}

  void NotifyUser(const char* text) override { inner_.NotifyUser(text); }
  bool AskOkCancel(const char* text) override { return inner_.AskOkCancel(text); }
  LengthChoice ChooseLength(const char* message, const char* secondChoice) override {
    const bool was = progress_.Pause();
    const LengthChoice choice = inner_.ChooseLength(message, secondChoice);
    progress_.Resume(was);
    return choice;
  }

 private:
  Prompter& inner_;
  BatchProgress& progress_;
};

// The plan of the open file's target; measuring every sound may take a moment.
ImportAllPlan PlanWithWaitCursor(const XaFile& xa, const std::string& folder) {
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  ImportAllPlan plan = PlanImportAllOpen(xa, folder, ScanExtent::WholeFile);
  QApplication::restoreOverrideCursor();
  return plan;
}

// The plan run with one progress window for the whole batch; the length dialog names the
// sound it asks about, its channel and both lengths.
Outcome RunBatch(Workspace& workspace, const ImportAllPlan& plan, bool highQuality,
                 const TForm1::Services& services, std::vector<TargetImport>& done) {
  AddedLine named(services.Prompt, {text::kWavLonger, text::kWavShorter}, {});
  ImportAllOptions options;
  options.HighQuality = highQuality;
  options.Starting = [&named](const std::string& sound, const ChannelRecord& record) {
    named.SetLine(QText(text::kBatchSoundLine)
                      .arg(QFileInfo(QFile::decodeName(sound.c_str())).fileName())
                      .arg(record.Channel) +
                  u'\n' + BothLengths(sound, record));
  };
  BatchProgress progress(services.Progress);
  BatchPrompter prompter(named, progress);
  return RunImportAllOpen(workspace, plan, options, progress, prompter, done);
}

}  // namespace

bool TForm1::MayImportAll() const {
  const XaFile& xa = workspace_.File;
  return FileOpen && xa.IsOpen() && !xa.ReadOnly && xa.Locked;
}

void TForm1::MenuImportAllClick() {
  if (!FileOpen) return;
  XaFile& xa = workspace_.File;
  if (!MayImportAll()) {
    S().Prompt.NotifyUser(xa.ReadOnly ? text::kReadOnlyFile : text::kFileInUse);
    return;
  }
  const std::string folder = S().Files.Choose(FileDialogKind::WavFolder);
  if (folder.empty()) return;
  const ImportAllPlan plan = PlanWithWaitCursor(xa, folder);
  if (!plan.Clash.empty()) {
    S().Prompt.NotifyUser(plan.Clash.c_str());
    return;
  }
  if (!ConfirmImportAll(*this, plan, folder)) return;
  std::vector<TargetImport> done;
  const Outcome outcome = RunBatch(workspace_, plan, MenuHighQuality->isChecked(), S(), done);
  FileOpen = xa.IsOpen();  // a failed scan after the batch closed the file
  const ImportAllTally tally = TallyImportAll(plan, done);
  if (!FileOpen || (outcome == Outcome::Failed && tally.FirstFailure.empty()))
    S().Prompt.NotifyUser(xa.LastErrorText);
  else if (!tally.FirstFailure.empty())
    S().Prompt.NotifyUser(tally.FirstFailure.c_str());
  RefreshList();
  Note(QText(text::kImportAllDone)
           .arg(tally.Imported)
           .arg(tally.Cut)
           .arg(tally.Skipped)
           .arg(tally.Failed));
}

}  // namespace sorvane::app
