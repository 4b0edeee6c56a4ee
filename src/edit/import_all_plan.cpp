// The planning half of import_all.h: which sound goes into which channel, measured.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>

#include "common/fixed_texts.h"
#include "container/placement.h"
#include "edit/import_all.h"
#include "input/audio_file.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

using SoundKey = std::pair<std::string, int>;  // the WAV base export-all would use, channel
using SoundMap = std::map<SoundKey, std::vector<std::string>>;

// "<stem>_ch<NNN>.<ext>" with exactly three digits: the stem and the channel.
bool ParseSoundName(const std::string& name, std::string& stem, int& channel) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < 6 || dot + 1 == name.size()) return false;
  if (name.compare(dot - 6, 3, "_ch") != 0) return false;
  channel = 0;
  for (std::size_t k = dot - 3; k < dot; ++k) {
    if (!std::isdigit(static_cast<unsigned char>(name[k]))) return false;
    channel = channel * 10 + (name[k] - '0');
  }
  stem = name.substr(0, dot - 6);
  return channel <= 255;
}

std::string BaseKey(const fs::path& base) { return base.lexically_normal().string(); }

// Every file below `folder` named as a channel's sound, by base and channel.
SoundMap SoundsBelow(const fs::path& folder) {
  SoundMap sounds;
  std::error_code error;
  fs::recursive_directory_iterator entry(folder, error);
  for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    std::error_code ignored;
    std::string stem;
    int channel = 0;
    if (!entry->is_regular_file(ignored) ||
        !ParseSoundName(entry->path().filename().string(), stem, channel))
      continue;
    sounds[{BaseKey(entry->path().parent_path() / stem), channel}].push_back(
        entry->path().string());
  }
  for (auto& [key, paths] : sounds) std::sort(paths.begin(), paths.end());
  return sounds;
}

// The lengths of `sound` against the channel's, and the question its import asks.
void Measure(const XaFile& xa, const ChannelRecord& r, PlannedImport& p) {
  AudioFile reader;
  if (reader.Open(p.Sound) != 0) {
    p.Error = reader.LastErrorText;
    return;
  }
  const Quality quality = QualityOf(r);
  const std::int32_t need = SectorsNeeded(quality, reader.SetTargetRate(XaRate(quality)));
  reader.Close();
  p.SourceSpan = std::int64_t{need} * r.Interleave;
  p.ChannelSpan = std::int64_t{r.SectorCount} * r.Interleave;
  if (need < r.SectorCount) p.Question = text::kWavShorter;
  if (need <= r.SectorCount) return;
  ChannelRecord trial = r;
  trial.SectorCount = need;
  if (CheckCollisionExcept(xa, trial, &r) != 0) {
    p.Question = text::kFollowingOverlap;
  } else if (r.SectorCount > 0) {
    p.Question = text::kWavLonger;
  }
}

// The target's channels, in ascending order, that have a sound; the sounds they take are
// removed from `sounds`, and two for one channel go to the duplicates.
void MatchTarget(TargetPlan& target, SoundMap& sounds, ImportAllPlan& plan, ScanExtent extent) {
  auto xa = std::make_unique<XaFile>();
  SilentProgress silent;
  const ExportSource& source = target.Source;
  if (OpenAndScan(*xa, source.File, extent, silent, source.Entry) != Outcome::Done) {
    target.Error = xa->LastErrorText;
    return;
  }
  std::vector<const ChannelRecord*> channels;
  for (const ChannelRecord& r : xa->AudioChannelTable) channels.push_back(&r);
  std::stable_sort(channels.begin(), channels.end(),
                   [](const auto* a, const auto* b) { return a->Channel < b->Channel; });
  for (const ChannelRecord* r : channels) {
    const auto found = sounds.find({BaseKey(source.Base), r->Channel});
    if (found == sounds.end()) continue;
    if (found->second.size() > 1) {
      plan.Duplicates.insert(plan.Duplicates.end(), found->second.begin(), found->second.end());
    } else {
      PlannedImport p;
      p.Channel = r->Channel;
      p.Sound = found->second.front();
      Measure(*xa, *r, p);
      target.Imports.push_back(p);
    }
    sounds.erase(found);
  }
}

// The sounds below `folder` matched to the channels of the sources `places` gives.
ImportAllPlan PlanPlaces(const ExportPlan& places, const std::string& folder, ScanExtent extent) {
  ImportAllPlan plan;
  plan.Clash = places.Clash;
  for (const FileExport& unread : places.Unread) {
    TargetPlan target;
    target.Source.File = unread.File;
    target.Error = unread.Error;
    plan.Targets.push_back(target);
  }
  SoundMap sounds = SoundsBelow(folder);
  for (const ExportSource& source : places.Sources) {
    plan.Targets.push_back({source, {}, {}});
    MatchTarget(plan.Targets.back(), sounds, plan, extent);
  }
  for (const auto& [key, paths] : sounds)
    plan.Unmatched.insert(plan.Unmatched.end(), paths.begin(), paths.end());
  std::sort(plan.Unmatched.begin(), plan.Unmatched.end());
  return plan;
}

}  // namespace

ImportAllPlan PlanImportAll(const std::vector<std::string>& targets, const std::string& folder,
                            ScanExtent extent) {
  return PlanPlaces(PlanExportAll(targets, folder), folder, extent);
}

ImportAllPlan PlanImportAllOpen(const XaFile& xa, const std::string& folder, ScanExtent extent) {
  ExportPlan places;
  places.Sources.push_back({xa.Entry.Active ? xa.Entry.Image : xa.Path,
                            xa.Entry.Active ? xa.Entry.Name : std::string(),
                            WavBaseOfOpenFile(xa, folder)});
  return PlanPlaces(places, folder, extent);
}

}  // namespace sorvane
