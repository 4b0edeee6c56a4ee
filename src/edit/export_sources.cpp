// The planning half of export_all.h: which files a run exports and where their WAVs go.
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "common/fixed_texts.h"
#include "edit/export_all.h"
#include "edit/image_open.h"

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
    plan.Sources.push_back({file.string(), {}, WavBaseIn((out / below).string(), file.string())});
  }
}

// The WAV base of an image's file: <out>/<image's name>/<its folders>/<its name without
// version and extension>, each part spelled safely.
std::string ImageFileBase(const fs::path& out, const fs::path& image, const std::string& isoPath) {
  fs::path base = out / SafeImageName(image.stem().string());
  std::string rest = isoPath.substr(isoPath.starts_with('/') ? 1 : 0);
  for (std::size_t slash; (slash = rest.find('/')) != std::string::npos;) {
    base /= SafeImageName(rest.substr(0, slash));
    rest.erase(0, slash + 1);
  }
  const std::string name = rest.substr(0, rest.rfind(';'));
  const std::size_t dot = name.rfind('.');
  return (base / SafeImageName(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)))
      .string();
}

void AddImage(const std::string& path, const fs::path& out, ExportPlan& plan) {
  DiscImage image;
  if (const char* refused = ReadDiscImage(path, image)) {
    plan.Unread.push_back({path, {}, Outcome::Failed, refused, {}});
    return;
  }
  for (const DiscFile& file : image.Files) {
    if (file.MayHoldAudio())
      plan.Sources.push_back({path, file.Path, ImageFileBase(out, path, file.Path)});
  }
}

// The first two sources that would write the same names, as the refusal's text.
std::string FindClash(const std::vector<ExportSource>& sources) {
  std::map<std::string, const ExportSource*> byBase;
  for (const ExportSource& source : sources) {
    const std::string base = fs::path(source.Base).lexically_normal().string();
    const auto [at, added] = byBase.emplace(base, &source);
    if (!added)
      return std::string(text::kExportNameClash) + "\n" +
             SourceName(at->second->File, at->second->Entry) + "\n" +
             SourceName(source.File, source.Entry);
  }
  return {};
}

}  // namespace

std::string SafeImageName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return "_" + name;
  std::string safe = name;
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) c = '_';
  }
  return safe;
}

std::string WavBaseOfOpenFile(const XaFile& xa, const std::string& folder) {
  if (!xa.Entry.Active) return WavBaseIn(folder, xa.Path);
  const std::string& entry = xa.Entry.Name;
  std::string name = entry.substr(entry.rfind('/') + 1);  // all of it when there is no '/'
  name = name.substr(0, name.rfind(';'));
  return WavBaseIn(folder, SafeImageName(name));
}

std::string SourceName(const std::string& file, const std::string& entry) {
  return entry.empty() ? file : file + ":" + entry;
}

ExportPlan PlanExportAll(const std::vector<std::string>& paths, const std::string& outFolder) {
  ExportPlan plan;
  for (const std::string& path : paths) {
    std::error_code ignored;  // what cannot be looked at is taken as a file, and fails to open
    if (fs::is_directory(path, ignored)) {
      AddFolder(path, outFolder, plan);
    } else if (IsDiscImage(path)) {
      AddImage(path, outFolder, plan);
    } else {
      plan.Sources.push_back({path, {}, WavBaseIn(outFolder, path)});
    }
  }
  plan.Clash = FindClash(plan.Sources);
  return plan;
}

}  // namespace sorvane
