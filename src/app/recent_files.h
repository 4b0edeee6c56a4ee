// The files the editor opened last, newest first, remembered between runs. An entry of a disc
// image is remembered as the image and the entry, and reopens without the chooser.
#pragma once

#include <QList>
#include <QString>

namespace sorvane::app {

struct RecentFile {
  QString Path;   // the file, or the disc image as the person opened it
  QString Entry;  // the image's entry ("/XA/VOICE.XA;1"); empty for a file

  bool operator==(const RecentFile&) const = default;
};

class RecentFiles {
 public:
  static constexpr int kMaxFiles = 8;

  QList<RecentFile> Items() const;
  // Puts `file` first; an earlier item of the same file (and entry) goes, and the oldest
  // beyond kMaxFiles.
  void Add(const RecentFile& file);
};

}  // namespace sorvane::app
