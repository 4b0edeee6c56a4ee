// The way back from export-all: a folder of sounds named as export-all names its WAVs
// (`<stem>_ch<NNN>.<ext>`, any audio format) imported into the channels their names give, in
// ascending channel order, each with an encoder state of its own starting at zero as a
// separate import has, all the imports into one file (or one disc image) as one undoable edit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/export_all.h"
#include "edit/import_passes.h"
#include "edit/workspace.h"

namespace sorvane {

// One sound and the channel it goes into, with both lengths as spans of the file's sectors
// (sector count times interleave, as the list shows a playing time).
struct PlannedImport {
  int Channel = 0;
  std::string Sound;
  std::int64_t SourceSpan = 0;     // what the sound needs; 0 when it cannot be read
  std::int64_t ChannelSpan = 0;    // what the channel holds now
  const char* Question = nullptr;  // the length question the import asks, or nullptr
  std::string Error;               // the sound cannot be read: it is reported, not imported
};

// One XA file, or one entry of a disc image, and its sounds in ascending channel order.
struct TargetPlan {
  ExportSource Source;  // File and Entry; Base is where its sounds are looked for
  std::vector<PlannedImport> Imports;
  std::string Error;  // the target does not open or scan: its sounds are not imported
};

struct ImportAllPlan {
  std::vector<TargetPlan> Targets;
  std::vector<std::string> Unmatched;   // sounds whose name gives no listed channel
  std::vector<std::string> Duplicates;  // two or more sounds for one channel: none imported
  std::string Clash;                    // two targets would read the same names: nothing runs
};

// Finds the sounds below `folder` for every target (an XA file, a folder of them, a disc
// image, as export-all takes them) and opens each target and sound to measure them. Changes
// nothing.
ImportAllPlan PlanImportAll(const std::vector<std::string>& targets, const std::string& folder,
                            ScanExtent extent);

// The plan for the open file alone, its sounds looked for where the editor's 全チャンネルを
// WAV出力 writes the open file's WAVs (WavBaseOfOpenFile): for an entry of a disc image, in
// `folder` under the entry's name.
ImportAllPlan PlanImportAllOpen(const XaFile& xa, const std::string& folder, ScanExtent extent);

// What one import did.
struct SoundImport {
  int Channel = 0;
  std::string Sound;
  SoundCut Cut;
  Outcome Result = Outcome::Done;
  std::string Message;  // when Result is not Done
};

struct TargetImport {
  std::string Path;  // as SourceName gives it
  std::vector<SoundImport> Sounds;
  Outcome Result = Outcome::Done;  // Failed: a write, the journal or the opening failed
  std::string Message;
};

struct ImportAllOptions {
  bool HighQuality = false;
  ScanExtent Extent = ScanExtent::WholeFile;
  // Told of each sound before its import, with its channel's record in the open file, so
  // that a front end can name the sound in the questions that its import asks.
  std::function<void(const std::string& sound, const ChannelRecord& record)> Starting;
};

// Runs the plan: each file (all entries of one image together) opened, its imports made as
// one edit of its undo journal, the file's size brought in step after each as a lone import
// does. A sound that cannot be read to its end is reported and left out before anything of
// it is written; a failed write stops that file's imports. A cancel, or a question answered
// "キャンセル", stops the run there (Cancelled or Declined) and no later file is started.
Outcome RunImportAll(const ImportAllPlan& plan, const ImportAllOptions& options,
                     ProgressMonitor& progress, Prompter& prompter,
                     std::vector<TargetImport>& results);

// What import-all takes as the target for the file open in `xa`: its disc image when it is an
// entry of one (all of the image's entries), else the file itself.
std::string ImportAllTargetOf(const XaFile& xa);

// RunImportAll on the file already open in `workspace` (the editor's, which holds its lock)
// instead of opening it again; `plan` is PlanImportAll of ImportAllTargetOf(workspace.File)
// alone. All its imports are one edit of the workspace's journal, made with the file settings
// the workspace has. The workspace's encoder state is neither used nor changed. Afterwards the
// entry that was open is open again, scanned to its end, with the file settings it had.
// Failed with LastErrorText when the file could not be scanned again (it is then closed).
Outcome RunImportAllOpen(Workspace& workspace, const ImportAllPlan& plan,
                         const ImportAllOptions& options, ProgressMonitor& progress,
                         Prompter& prompter, std::vector<TargetImport>& results);

// What a run did, as both front ends sum it up: sounds imported (and of them cut), sounds
// the plan left alone (unmatched and duplicate), sounds failed, and the message of the first
// sound or file that failed.
struct ImportAllTally {
  int Imported = 0;
  int Cut = 0;
  int Skipped = 0;
  int Failed = 0;
  std::string FirstFailure;
};
ImportAllTally TallyImportAll(const ImportAllPlan& plan, const std::vector<TargetImport>& done);

}  // namespace sorvane
