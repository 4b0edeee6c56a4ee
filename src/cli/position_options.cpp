#include "cli/position_options.h"

#include <cstdio>

#include "edit/channel_list_format.h"
#include "edit/list_position.h"

namespace sorvane::cli {
namespace {

std::optional<int> GivenUnit(const CommandRun& run) {
  int unit = UnitTime;
  if (auto text = run.Args.Value("--units"); text && UnitFromText(*text, unit)) return unit;
  return std::nullopt;
}

}  // namespace

bool UnitFromText(const std::string& text, int& unit) {
  if (text == "time")
    unit = UnitTime;
  else if (text == "sectors")
    unit = UnitSectors;
  else if (text == "hex")
    unit = UnitHexSectors;
  else
    return false;
  return true;
}

int CheckPositionUnits(CommandRun& run) {
  int unit = UnitTime;
  if (auto text = run.Args.Value("--units"); text && !UnitFromText(*text, unit))
    return run.UsageError("--units takes time, sectors or hex");
  return ExitDone;
}

int FrameOption(CommandRun& run, const char* name, std::int64_t fallback, std::int64_t& frame) {
  const std::optional<std::string> text = run.Args.Value(name);
  if (!text) {
    frame = fallback;
    return ExitDone;
  }
  const char* error = nullptr;
  if (ChannelFrameOf(*run.Channel, *text, GivenUnit(run), frame, error)) return ExitDone;
  std::fprintf(run.Io.Err, "%s\n", error);
  return ExitFailed;
}

}  // namespace sorvane::cli
