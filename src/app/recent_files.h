// The files the editor opened last, newest first, remembered between runs.
#pragma once

#include <QStringList>

namespace sorvane::app {

class RecentFiles {
 public:
  static constexpr int kMaxFiles = 8;

  QStringList Paths() const;
  // Puts `path` first; an earlier entry of the same path goes, and the oldest beyond
  // kMaxFiles.
  void Add(const QString& path);
};

}  // namespace sorvane::app
