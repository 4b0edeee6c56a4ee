// The main window's status bar: one field per fact about the open file (whether it can be
// changed, layout, sector count, post-gaps, whether only the first sectors were scanned),
// each a label named for tests, then a note of what the last command did. A new field is
// one text function and one row of the table in the .cpp. The access field comes first and
// is never cut; the others give up room by eliding, their full text the tooltip.
#pragma once

#include <QStatusBar>
#include <vector>

class QLabel;
class QString;
class QWidget;

namespace sorvane {
struct XaFile;
}

namespace sorvane::app {

// What the fields are made from.
struct FileFacts {
  const XaFile& File;
  bool Open;  // a file is open in the window
  int Unit;   // the list's unit, which the post-gaps follow
};

class FileStatusBar : public QStatusBar {
 public:
  explicit FileStatusBar(QWidget* parent);
  // Every field's text; a field without text (no file open, nothing to say) is hidden.
  void Show(const FileFacts& facts);
  // What the last command did or why a command is unavailable; empty hides it.
  void SetNote(const QString& text);

 private:
  std::vector<QLabel*> fields_;
  QLabel* note_;
};

}  // namespace sorvane::app
