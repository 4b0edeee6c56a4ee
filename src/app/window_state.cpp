// The main window's title, status bar and recent files menu, which follow the open file.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "app/file_status_bar.h"
#include "app/main_window.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "common/prompter.h"
#include "edit/workspace.h"

namespace sorvane::app {

void TForm1::ShowFileState() {
  const QString caption = QText(text::kAppCaption);
  const QString name = QFileInfo(QFile::decodeName(workspace_.File.Path.c_str())).fileName();
  setWindowTitle(FileOpen ? QStringLiteral("%1 - %2").arg(name, caption) : caption);
  status_->Show({workspace_.File, FileOpen});
}

void TForm1::RememberFile() {
  recent_.Add(QFile::decodeName(workspace_.File.Path.c_str()));
  ShowRecentFiles();
}

void TForm1::ShowRecentFiles() {
  MenuRecent->clear();
  const QStringList paths = recent_.Paths();
  for (int i = 0; i < paths.size(); ++i) {
    const QString path = paths[i];
    QAction* item = MenuRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
    connect(item, &QAction::triggered, this, [this, path] {
      RunCommand([&] {
        if (OpenByPath(QFile::encodeName(path).toStdString()) != 0)
          S().Prompt.NotifyUser(workspace_.File.LastErrorText);
      });
    });
  }
  MenuRecent->menuAction()->setEnabled(!paths.isEmpty());
}

}  // namespace sorvane::app
