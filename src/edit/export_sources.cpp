// The planning half of export_all.h: which files a run exports and where their WAVs go.
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "common/fixed_texts.h"
#include "edit/export_all.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

bool EndsInXa(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".xa";
}

// The ".xa" files at any depth below `folder`, sorted so that runs are repeatable; false when
// the folder or one below it could not be listed.
bool XaFilesBelow(const fs::path& folder, std::vector<fs::path>& found) {
  std::error_code error;
  fs::recursive_directory_iterator entry(folder, error);
  for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    std::error_code ignored;  // an entry that vanished or cannot be looked at is no XA file
    if (EndsInXa(entry->path()) && entry->is_regular_file(ignored)) found.push_back(entry->path());
  }
  std::sort(found.begin(), found.end());
  return !error;
}

void AddFolder(const fs::path& folder, const fs::path& out, ExportPlan& plan) {
  std::vector<fs::path> found;
  if (!XaFilesBelow(folder, found))
    plan.Unread.push_back({folder.string(), {}, Outcome::Failed, text::kFolderCannotRead, {}});
  for (const fs::path& file : found) {
    // The named folder's own name is not a level of the output.
    const fs::path below = file.lexically_relative(folder).parent_path();
    plan.Sources.push_back({file.string(), WavBaseIn((out / below).string(), file.string())});
  }
}

// The first two sources that would write the same names, as the refusal's text.
std::string FindClash(const std::vector<ExportSource>& sources) {
  std::map<std::string, const ExportSource*> byBase;
  for (const ExportSource& source : sources) {
    const std::string base = fs::path(source.Base).lexically_normal().string();
    const auto [at, added] = byBase.emplace(base, &source);
    if (!added)
      return std::string(text::kExportNameClash) + "\n" + at->second->File + "\n" + source.File;
  }
  return {};
}

}  // namespace

ExportPlan PlanExportAll(const std::vector<std::string>& paths, const std::string& outFolder) {
  ExportPlan plan;
  for (const std::string& path : paths) {
    std::error_code ignored;  // what cannot be looked at is taken as a file, and fails to open
    if (fs::is_directory(path, ignored)) {
      AddFolder(path, outFolder, plan);
    } else {
      plan.Sources.push_back({path, WavBaseIn(outFolder, path)});
    }
  }
  plan.Clash = FindClash(plan.Sources);
  return plan;
}

}  // namespace sorvane
