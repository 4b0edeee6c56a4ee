#include "app/recent_files.h"

#include <QStringList>

#include "app/editor_settings.h"

namespace sorvane::app {
namespace {

constexpr char kRecentFilesKey[] = "RecentFiles";
// The entry of each item of RecentFiles, at the same index; "" for a file. Kept apart so
// that the list of paths reads as it did before images could be opened.
constexpr char kRecentEntriesKey[] = "RecentEntries";

}  // namespace

QList<RecentFile> RecentFiles::Items() const {
  const QStringList paths = EditorSettings().value(kRecentFilesKey).toStringList();
  const QStringList entries = EditorSettings().value(kRecentEntriesKey).toStringList();
  QList<RecentFile> items;
  for (int i = 0; i < paths.size(); ++i)
    items.append({paths[i], i < entries.size() ? entries[i] : QString()});
  return items;
}

void RecentFiles::Add(const RecentFile& file) {
  QList<RecentFile> items = Items();
  items.removeAll(file);
  items.prepend(file);
  while (items.size() > kMaxFiles) items.removeLast();
  QStringList paths, entries;
  for (const RecentFile& item : items) {
    paths << item.Path;
    entries << item.Entry;
  }
  EditorSettings().setValue(kRecentFilesKey, paths);
  EditorSettings().setValue(kRecentEntriesKey, entries);
}

}  // namespace sorvane::app
