// The file dialogs of the main window, behind a small interface so that tests can choose
// the files themselves.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace sorvane::app {

enum class FileDialogKind {
  OpenDialog,  // an existing XA file or disc image
  SaveDialog,  // a new XA file; asks before overwriting
  OpenWav,     // an existing audio file to import or append (WAV or any format read)
  SaveWav,     // a WAV file to write; asks before overwriting
  WavFolder,   // an existing folder to write WAVs into, or to import them from
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen path (local encoding), or an empty string when the person cancelled.
  virtual std::string Choose(FileDialogKind kind) = 0;
};

// Qt's form of a filter written as "description|pattern|description|pattern": entries
// "description (pattern)" joined by ";;", with "*.*" (every file) written as "*".
QString QtNameFilters(const char* filter);

class QtFileChooser : public FileChooser {
 public:
  explicit QtFileChooser(QWidget& owner) : owner_(owner) {}
  std::string Choose(FileDialogKind kind) override;

 private:
  QWidget& owner_;
};

}  // namespace sorvane::app
