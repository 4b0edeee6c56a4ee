// The running half of export_all.h: files handed out to Jobs threads, while the calling
// thread keeps the one progress display and passes a cancel on to all of them.
#include "edit/export_all.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

constexpr int kScanShare = 10;  // percent of a file's progress given to its scan
constexpr auto kPollInterval = std::chrono::milliseconds(20);

// What the threads of one run share.
struct RunState {
  explicit RunState(std::size_t files) : Percent(files) {}

  std::vector<std::atomic<int>> Percent;  // of each file, 0..100
  std::atomic<std::size_t> Next{0};       // the next file to hand out
  std::atomic<bool> Cancel{false};
  std::mutex Lock;  // guards Finished, with Changed
  std::condition_variable Changed;
  std::size_t Finished = 0;

  int WholePercent() const {
    long long sum = 0;
    for (const std::atomic<int>& p : Percent) sum += p.load();
    return Percent.empty() ? 0 : static_cast<int>(sum / static_cast<long long>(Percent.size()));
  }
  void MarkFinished(std::size_t file) {
    Percent[file] = 100;
    const std::lock_guard<std::mutex> hold(Lock);
    ++Finished;
    Changed.notify_one();
  }
};

// One file's monitor on a worker thread: its progress lands in the file's share of the run
// (between `low` and `high` percent of the file), its cancel is the run's, its notices are
// kept with the file.
class FileProgress : public ProgressMonitor {
 public:
  FileProgress(RunState& run, std::size_t file, int low, int high, FileExport& result)
      : run_(run), file_(file), low_(low), high_(high), result_(result) {}

  void Start() override { SetPosition(0); }
  void SetPosition(int percent) override {
    run_.Percent[file_] = low_ + percent * (high_ - low_) / 100;
  }
  bool PollCancel() override { return run_.Cancel.load(); }
  void Finish() override {}
  void Notify(const char* text) override { result_.Notices.emplace_back(text); }

 private:
  RunState& run_;
  std::size_t file_;
  int low_;
  int high_;
  FileExport& result_;
};

void ExportOneFile(const ExportSource& source, const ExportAllOptions& options, RunState& run,
                   std::size_t file, FileExport& result) {
  result.File = SourceName(source.File, source.Entry);
  // One XaFile per thread: each keeps its own descriptor and read-ahead.
  auto xa = std::make_unique<XaFile>();
  xa->Io = options.Io;
  FileProgress scanning(run, file, 0, kScanShare, result);
  Outcome outcome = OpenAndScan(*xa, source.File, options.Extent, scanning, source.Entry);
  if (outcome == Outcome::Done) {
    FileProgress exporting(run, file, kScanShare, 100, result);
    outcome = ExportEveryChannel(*xa, source.Base, exporting, result.Channels);
  }
  result.Result = outcome;
  if (outcome == Outcome::Cancelled) result.Error = text::kCancelled;
  if (outcome == Outcome::Failed) result.Error = xa->LastErrorText;
}

void TakeFiles(const std::vector<ExportSource>& sources, const ExportAllOptions& options,
               RunState& run, std::vector<FileExport>& results) {
  for (;;) {
    const std::size_t file = run.Next++;
    if (file >= sources.size()) return;
    if (run.Cancel) {
      results[file] = {SourceName(sources[file].File, sources[file].Entry),
                       {},
                       Outcome::Cancelled,
                       text::kCancelled,
                       {}};
    } else {
      ExportOneFile(sources[file], options, run, file, results[file]);
    }
    run.MarkFinished(file);
  }
}

// Shows the run's progress until every file is finished, passing a cancel on.
void Watch(RunState& run, std::size_t files, ProgressMonitor& monitor) {
  std::unique_lock<std::mutex> hold(run.Lock);
  for (;;) {
    // Polled before the first wait, so that a cancel already pending reaches every file at
    // its first poll.
    hold.unlock();
    monitor.SetPosition(run.WholePercent());
    if (monitor.PollCancel()) run.Cancel = true;
    hold.lock();
    if (run.Finished == files) return;
    run.Changed.wait_for(hold, kPollInterval);
  }
}

}  // namespace

std::vector<FileExport> ExportAll(const std::vector<ExportSource>& sources,
                                  const ExportAllOptions& options, ProgressMonitor& monitor) {
  std::vector<FileExport> results(sources.size());
  RunState run(sources.size());
  // Started before the threads, so that they begin with what Start set up (the terminal's
  // Ctrl-C held back).
  monitor.Start();
  const std::size_t jobs = std::min<std::size_t>(std::max(options.Jobs, 1), sources.size());
  std::vector<std::thread> threads;
  for (std::size_t j = 0; j < jobs; ++j)
    threads.emplace_back([&] { TakeFiles(sources, options, run, results); });
  Watch(run, sources.size(), monitor);
  for (std::thread& thread : threads) thread.join();
  monitor.SetPosition(run.WholePercent());
  monitor.Finish();
  return results;
}

}  // namespace sorvane
