#include "app/recent_files.h"

#include "app/editor_settings.h"

namespace sorvane::app {
namespace {

constexpr char kRecentFilesKey[] = "RecentFiles";

}  // namespace

QStringList RecentFiles::Paths() const {
  return EditorSettings().value(kRecentFilesKey).toStringList();
}

void RecentFiles::Add(const QString& path) {
  QStringList paths = Paths();
  paths.removeAll(path);
  paths.prepend(path);
  while (paths.size() > kMaxFiles) paths.removeLast();
  EditorSettings().setValue(kRecentFilesKey, paths);
}

}  // namespace sorvane::app
