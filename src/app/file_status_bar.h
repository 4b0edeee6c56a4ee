// The main window's status bar: one field per fact about the open file (layout, sector
// count, post-gaps, whether only the first sectors were scanned, whether it can be changed),
// each a label named for
// tests. A new field is one text function and one row of the table in the .cpp.
#pragma once

#include <vector>

class QLabel;
class QStatusBar;

namespace sorvane {
struct XaFile;
}

namespace sorvane::app {

// What the fields are made from.
struct FileFacts {
  const XaFile& File;
  bool Open;  // a file is open in the window
};

class FileStatusBar {
 public:
  explicit FileStatusBar(QStatusBar& bar);
  // Every field's text; a field without text (no file open, nothing to say) is hidden.
  void Show(const FileFacts& facts);

 private:
  std::vector<QLabel*> fields_;
};

}  // namespace sorvane::app
