#include <algorithm>
#include <cstdio>
#include <thread>

#include "cli/command_descriptor.h"
#include "cli/json_writer.h"
#include "common/fixed_texts.h"
#include "edit/export_all.h"

namespace sorvane::cli {
namespace {

constexpr long long kMostJobs = 256;

int JobsOf(const CommandRun& run) {
  long long jobs = std::max(1u, std::thread::hardware_concurrency());
  if (auto text = run.Args.Value("--jobs")) ParseInteger(*text, jobs);
  return static_cast<int>(jobs);
}

void PrintJson(std::FILE* out, const std::vector<FileExport>& files) {
  JsonWriter json;
  json.BeginArray();
  for (const FileExport& file : files) {
    json.BeginObject();
    json.Field("file", file.File);
    json.Key("channels");
    json.BeginArray();
    for (const ChannelWav& wav : file.Channels) {
      json.BeginObject();
      json.Field("channel", wav.Channel);
      json.Field("wav", wav.Wav);
      json.Field("bytes", wav.Bytes);
      json.EndObject();
    }
    json.EndArray();
    json.Key("error");
    if (file.Result == Outcome::Done) {
      json.Null();
    } else {
      json.String(file.Error);
    }
    json.EndObject();
  }
  json.EndArray();
  std::fprintf(out, "%s\n", json.Text().c_str());
}

// "PATH: message" for what each file's scan noticed and for each failure; one cancel message
// for the run. Returns the exit status.
int ReportOutcomes(std::FILE* err, const std::vector<FileExport>& files) {
  bool failed = false;
  bool cancelled = false;
  for (const FileExport& file : files) {
    for (const std::string& notice : file.Notices)
      std::fprintf(err, "%s: %s\n", file.File.c_str(), notice.c_str());
    failed = failed || file.Result == Outcome::Failed;
    cancelled = cancelled || file.Result == Outcome::Cancelled;
    if (file.Result == Outcome::Failed)
      std::fprintf(err, "%s: %s\n", file.File.c_str(), file.Error.c_str());
  }
  if (cancelled) {
    std::fprintf(err, "%s\n", text::kCancelled);
    return ExitCancelled;
  }
  return failed ? ExitFailed : ExitDone;
}

}  // namespace

int CheckExportAll(CommandRun& run) {
  long long jobs = 0;
  if (auto text = run.Args.Value("--jobs");
      text && (!ParseInteger(*text, jobs) || jobs < 1 || jobs > kMostJobs))
    return run.UsageError("--jobs takes a number from 1 to 256");
  return ExitDone;
}

int RunExportAll(CommandRun& run) {
  const ExportPlan plan = PlanExportAll(run.Args.Positional(), *run.Args.Value("--out"));
  if (!plan.Clash.empty()) {
    std::fprintf(run.Io.Err, "%s\n", plan.Clash.c_str());
    return ExitFailed;
  }
  ExportAllOptions options;
  options.Jobs = JobsOf(run);
  options.Extent = run.Args.Has("--quick") ? ScanExtent::FirstSectors : ScanExtent::WholeFile;
  options.Io = run.Io.Files;
  std::vector<FileExport> files = plan.Unread;
  for (FileExport& file : ExportAll(plan.Sources, options, run.Progress))
    files.push_back(std::move(file));
  if (run.Args.Has("--json")) PrintJson(run.Io.Out, files);
  return ReportOutcomes(run.Io.Err, files);
}

}  // namespace sorvane::cli
