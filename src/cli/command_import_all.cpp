// `import-all`: a folder of sounds named as export-all names its WAVs put back into their
// channels, each file's imports one edit; `--plan` shows what would go where and changes
// nothing.
#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/json_writer.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"
#include "edit/import_all.h"

namespace sorvane::cli {
namespace {

// How the sound's length meets the channel's under --fit.
const char* Fitting(const PlannedImport& p, bool followWav) {
  if (p.SourceSpan == p.ChannelSpan) return "same length";
  if (followWav) return "channel follows the sound";
  return p.SourceSpan > p.ChannelSpan ? "cut" : "padded";
}

void PrintPlan(std::FILE* out, const ImportAllPlan& plan, bool followWav) {
  for (const TargetPlan& target : plan.Targets) {
    const std::string name = SourceName(target.Source.File, target.Source.Entry);
    if (!target.Error.empty()) std::fprintf(out, "%s: %s\n", name.c_str(), target.Error.c_str());
    for (const PlannedImport& p : target.Imports) {
      if (!p.Error.empty()) {
        std::fprintf(out, "%s ch %03d <- %s: %s\n", name.c_str(), p.Channel, p.Sound.c_str(),
                     p.Error.c_str());
        continue;
      }
      std::fprintf(out, "%s ch %03d <- %s: %s -> %s, %s%s%s\n", name.c_str(), p.Channel,
                   p.Sound.c_str(), FormatPlayingTime(p.SourceSpan).c_str(),
                   FormatPlayingTime(p.ChannelSpan).c_str(), Fitting(p, followWav),
                   p.Question != nullptr ? ", asks: " : "",
                   p.Question != nullptr ? p.Question : "");
    }
  }
  for (const std::string& path : plan.Unmatched) std::fprintf(out, "unmatched: %s\n", path.c_str());
  for (const std::string& path : plan.Duplicates)
    std::fprintf(out, "duplicate: %s\n", path.c_str());
}

void PrintJson(std::FILE* out, const ImportAllPlan& plan, const std::vector<TargetImport>& done) {
  JsonWriter json;
  json.BeginObject();
  json.Key("targets");
  json.BeginArray();
  for (const TargetImport& target : done) {
    json.BeginObject();
    json.Field("path", target.Path);
    json.Key("imported");
    json.BeginArray();
    for (const SoundImport& s : target.Sounds) {
      if (s.Result != Outcome::Done) continue;
      json.BeginObject();
      json.Field("channel", s.Channel);
      json.Field("sound", s.Sound);
      json.Field("source_length", FormatPlayingTime(s.Cut.SourceSpan));
      json.Field("written_length", FormatPlayingTime(std::max<std::int64_t>(s.Cut.WrittenSpan, 0)));
      json.Key("cut");
      json.Bool(s.Cut.Cut());
      json.EndObject();
    }
    json.EndArray();
    json.Key("failed");
    json.BeginArray();
    for (const SoundImport& s : target.Sounds) {
      if (s.Result == Outcome::Done) continue;
      json.BeginObject();
      json.Field("channel", s.Channel);
      json.Field("sound", s.Sound);
      json.Field("message", s.Message);
      json.EndObject();
    }
    if (target.Result == Outcome::Failed && target.Sounds.empty()) {
      json.BeginObject();
      json.Key("channel");
      json.Null();
      json.Key("sound");
      json.Null();
      json.Field("message", target.Message);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("unmatched");
  json.Strings(plan.Unmatched);
  json.Key("duplicates");
  json.Strings(plan.Duplicates);
  json.EndObject();
  std::fprintf(out, "%s\n", json.Text().c_str());
}

// One line per import and a summary on standard error; the exit status.
int Report(std::FILE* err, const ImportAllPlan& plan, const std::vector<TargetImport>& done,
           Outcome outcome) {
  for (const TargetImport& target : done) {
    if (target.Result == Outcome::Failed && target.Sounds.empty())
      std::fprintf(err, "%s: %s\n", target.Path.c_str(), target.Message.c_str());
    for (const SoundImport& s : target.Sounds) {
      if (s.Result == Outcome::Done) {
        std::fprintf(err, "%s ch %03d <- %s: %s -> %s%s\n", target.Path.c_str(), s.Channel,
                     s.Sound.c_str(), FormatPlayingTime(s.Cut.SourceSpan).c_str(),
                     FormatPlayingTime(std::max<std::int64_t>(s.Cut.WrittenSpan, 0)).c_str(),
                     s.Cut.Cut() ? " (cut)" : "");
      } else {
        std::fprintf(err, "%s ch %03d <- %s: %s\n", target.Path.c_str(), s.Channel, s.Sound.c_str(),
                     s.Message.c_str());
      }
    }
  }
  for (const std::string& path : plan.Unmatched) std::fprintf(err, "unmatched: %s\n", path.c_str());
  for (const std::string& path : plan.Duplicates)
    std::fprintf(err, "duplicate: %s\n", path.c_str());
  const ImportAllTally tally = TallyImportAll(plan, done);
  std::fprintf(err, "imported %d, cut %d, skipped %d, failed %d\n", tally.Imported, tally.Cut,
               tally.Skipped, tally.Failed);
  if (outcome == Outcome::Cancelled || outcome == Outcome::Declined) return ExitCancelled;
  return tally.Failed > 0 || outcome == Outcome::Failed ? ExitFailed : ExitDone;
}

}  // namespace

int RunImportAll(CommandRun& run) {
  const ScanExtent extent =
      run.Args.Has("--quick") ? ScanExtent::FirstSectors : ScanExtent::WholeFile;
  const ImportAllPlan plan =
      PlanImportAll(run.Args.Positional(), *run.Args.Value("--from"), extent);
  if (!plan.Clash.empty()) {
    std::fprintf(run.Io.Err, "%s\n", plan.Clash.c_str());
    return ExitFailed;
  }
  const bool followWav = run.Args.Value("--fit").value_or("keep") == "wav";
  if (run.Args.Has("--plan")) {
    PrintPlan(run.Io.Out, plan, followWav);
    return ExitDone;
  }
  ImportAllOptions options;
  options.HighQuality = run.Args.Has("--hq");
  options.Extent = extent;
  std::vector<TargetImport> done;
  const Outcome outcome = RunImportAll(plan, options, run.Progress, run.Prompter, done);
  if (run.Args.Has("--json")) PrintJson(run.Io.Out, plan, done);
  return Report(run.Io.Err, plan, done, outcome);
}

}  // namespace sorvane::cli
