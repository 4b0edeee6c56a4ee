#include <cstdio>
#include <string>

#include "cli/command_descriptor.h"
#include "cli/json_writer.h"
#include "cli/position_options.h"
#include "container/xa_file.h"
#include "edit/channel_list_format.h"

namespace sorvane::cli {
namespace {

const char* UnitName(int unit) {
  return unit == UnitTime ? "time" : unit == UnitSectors ? "sectors" : "hex";
}

const char* LayoutName(const XaFile& xa) {
  switch (xa.Layout) {
    case XaLayout::Plain2336:
      return "plain-2336";
    case XaLayout::Raw2352:
      return "raw-2352";
    case XaLayout::Riff2352:
      break;
  }
  return "riff-2352";
}

std::string JoinCells(const ChannelRow& row) {
  std::string line;
  for (const std::string& cell : row) line += (line.empty() ? "" : " ") + cell;
  return line;
}

void PrintText(std::FILE* out, const XaFile& xa, int unit) {
  std::fprintf(out, "%s\n", JoinCells(ListHeader(unit)).c_str());
  for (const ChannelRecord& r : xa.AudioChannelTable)
    std::fprintf(out, "%s\n", JoinCells(FormatChannelRow(r, unit)).c_str());
}

void WriteRecord(JsonWriter& json, const ChannelRecord& r, bool audio, int unit) {
  json.BeginObject();
  if (audio) {
    json.Field("channel", r.Channel);
    json.Field("high_rate", r.HighRate);
    json.Field("stereo", r.Stereo);
    json.Field("double_speed", r.DoubleSpeed);
  }
  json.Field("first_sector", r.FirstSector);
  json.Field("sector_count", r.SectorCount);
  json.Field("interleave", r.Interleave);
  if (audio) {
    json.Key("cells");
    json.Strings(FormatChannelRow(r, unit));
  }
  json.EndObject();
}

void PrintJson(std::FILE* out, const XaFile& xa, int unit,
               const std::vector<std::string>& warnings) {
  JsonWriter json;
  json.BeginObject();
  json.Field("path", xa.Path);
  json.Field("layout", LayoutName(xa));
  json.Field("sector_count", xa.SectorCount);
  json.Field("channel_post_gap", xa.ChannelPostGap);
  json.Field("end_post_gap", xa.EndPostGap);
  json.Field("resize_permission", xa.ResizePermission);
  json.Field("units", UnitName(unit));
  json.Key("header");
  json.Strings(ListHeader(unit));
  json.Key("channels");
  json.BeginArray();
  for (const ChannelRecord& r : xa.AudioChannelTable) WriteRecord(json, r, true, unit);
  json.EndArray();
  json.Key("data_runs");
  json.BeginArray();
  for (const ChannelRecord& r : xa.DataRunTable) WriteRecord(json, r, false, unit);
  json.EndArray();
  json.Key("warnings");
  json.Strings(warnings);
  json.EndObject();
  std::fprintf(out, "%s\n", json.Text().c_str());
}

}  // namespace

int CheckList(CommandRun& run) {
  int unit = UnitTime;
  if (auto text = run.Args.Value("--units"); text && !UnitFromText(*text, unit))
    return run.UsageError("--units takes time, sectors or hex");
  // Warnings of the scan go into the JSON instead of standard error.
  if (run.Args.Has("--json")) run.Progress.CollectNotices();
  return ExitDone;
}

int RunList(CommandRun& run) {
  int unit = UnitTime;
  if (auto text = run.Args.Value("--units")) UnitFromText(*text, unit);
  if (run.Args.Has("--json")) {
    PrintJson(run.Io.Out, run.Work.File, unit, run.Progress.Notices());
  } else {
    PrintText(run.Io.Out, run.Work.File, unit);
  }
  return run.OpenStatus;
}

}  // namespace sorvane::cli
