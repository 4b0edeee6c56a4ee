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
#include "format/sector.h"

namespace sorvane::app {

namespace {

// What the title and the recent files call the open file: the file, or the image and the
// entry ("IMAGE.CUE:/XA/VOICE.XA;1").
RecentFile OpenedAs(const XaFile& xa) {
  if (!xa.Entry.Active) return {QFile::decodeName(xa.Path.c_str()), {}};
  QString entry = QString::fromStdString(xa.Entry.Name);
  // A name whose bytes are not UTF-8 is remembered by its sectors, which reopen the same.
  if (entry.toStdString() != xa.Entry.Name) {
    entry = QStringLiteral("@%1:%2").arg(xa.Entry.Offset / kRawSectorBytes).arg(xa.Entry.Sectors);
  }
  return {QFile::decodeName(xa.Entry.Image.c_str()), entry};
}

QString ItemName(const RecentFile& item, const QString& path) {
  return item.Entry.isEmpty() ? path : QStringLiteral("%1:%2").arg(path, item.Entry);
}

}  // namespace

void TForm1::ShowFileState() {
  const QString caption = QText(text::kAppCaption);
  const RecentFile opened = OpenedAs(workspace_.File);
  const QString name = ItemName(opened, QFileInfo(opened.Path).fileName());
  setWindowTitle(FileOpen ? QStringLiteral("%1 - %2").arg(name, caption) : caption);
  status_->Show({workspace_.File, FileOpen, DisplayUnit});
}

void TForm1::Note(const QString& text) { status_->SetNote(text); }

const char* TForm1::RefuseChange() {
  const XaFile& xa = workspace_.File;
  // The window takes the lock whenever it can: without it, another program has it.
  const char* reason = !FileOpen     ? nullptr
                       : xa.ReadOnly ? text::kNoteReadOnly
                       : !xa.Locked  ? text::kNoteInUse
                                     : nullptr;
  if (reason) Note(QText(reason));
  return reason;
}

void TForm1::RememberFile() {
  recent_.Add(OpenedAs(workspace_.File));
  ShowRecentFiles();
}

void TForm1::ShowRecentFiles() {
  MenuRecent->clear();
  const QList<RecentFile> items = recent_.Items();
  for (int i = 0; i < items.size(); ++i) {
    const RecentFile file = items[i];
    QAction* item =
        MenuRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(ItemName(file, file.Path)));
    connect(item, &QAction::triggered, this, [this, file] {
      RunCommand([&] {
        // An entry reopens directly, without the chooser.
        if (OpenByPath(QFile::encodeName(file.Path).toStdString(), file.Entry.toStdString()) < 0)
          S().Prompt.NotifyUser(workspace_.File.LastErrorText);
      });
    });
  }
  MenuRecent->menuAction()->setEnabled(!items.isEmpty());
}

}  // namespace sorvane::app
