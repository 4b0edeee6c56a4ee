// `disc`: the files of a disc image that can hold audio (or, with --all, every file), as
// lines or as JSON.
#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/json_writer.h"
#include "edit/disc_listing.h"

namespace sorvane::cli {
namespace {

void PrintJson(std::FILE* out, const DiscContents& contents) {
  JsonWriter json;
  json.BeginObject();
  json.Key("files");
  json.BeginArray();
  for (const DiscListing& listing : contents.Files) {
    const DiscFile& f = listing.File;
    json.BeginObject();
    json.Field("path", f.Path);
    json.Field("first_sector", f.FirstSector);
    json.Field("sector_count", f.SectorCount);
    json.Field("data_length", f.DataLength);
    json.Field("attributes", f.Attributes);
    json.Field("file_number", f.FileNumber);
    json.Field("form", f.Form());
    json.Key("interleaved");
    json.Bool(f.Interleaved());
    json.Field("channels", listing.Channels);
    json.EndObject();
  }
  json.EndArray();
  json.Key("warnings");
  json.Strings(contents.Warnings);
  json.EndObject();
  std::fprintf(out, "%s\n", json.Text().c_str());
}

// One line per file: path, first sector, sectors, form, "interleaved", channels.
void PrintLines(std::FILE* out, const DiscContents& contents) {
  for (const DiscListing& listing : contents.Files) {
    const DiscFile& f = listing.File;
    std::fprintf(out, "%-32s %8d %8d  form %d%s  %d ch\n", f.Path.c_str(), f.FirstSector,
                 f.SectorCount, f.Form(), f.Interleaved() ? "  interleaved" : "", listing.Channels);
  }
}

}  // namespace

int RunDisc(CommandRun& run) {
  DiscContents contents;
  if (const char* refused = ListDiscFiles(run.Argument(0), run.Args.Has("--all"), contents)) {
    std::fprintf(run.Io.Err, "%s\n", refused);
    return ExitFailed;
  }
  if (run.Args.Has("--json")) {
    PrintJson(run.Io.Out, contents);
    return ExitDone;
  }
  PrintLines(run.Io.Out, contents);
  for (const std::string& warning : contents.Warnings)
    std::fprintf(run.Io.Err, "%s\n", warning.c_str());
  return ExitDone;
}

}  // namespace sorvane::cli
