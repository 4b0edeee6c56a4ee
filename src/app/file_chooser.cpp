#include "app/file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "app/ui_text.h"
#include "common/fixed_texts.h"

namespace sorvane::app {
namespace {

struct DialogDesign {
  bool save;
  const char* filter;
  const char* defaultSuffix;
};

DialogDesign DesignOf(FileDialogKind kind) {
  switch (kind) {
    case FileDialogKind::OpenDialog:
      return {false, text::kOpenFilter, "xa"};
    case FileDialogKind::SaveDialog:
      return {true, text::kXaFilter, "xa"};
    case FileDialogKind::OpenWav:
      return {false, text::kAudioFilter, "wav"};
    case FileDialogKind::SaveWav:
    case FileDialogKind::WavFolder:
      return {true, text::kWavFilter, "wav"};
  }
  return {false, text::kXaFilter, "xa"};
}

}  // namespace

QString QtNameFilters(const char* filter) {
  const QStringList parts = QText(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));  // several patterns of one filter
    entries << QStringLiteral("%1 (%2)").arg(parts[i], pattern);
  }
  return entries.join(QStringLiteral(";;"));
}

std::string QtFileChooser::Choose(FileDialogKind kind) {
  const DialogDesign design = DesignOf(kind);
  // A new dialog each time: the file name starts empty.
  QFileDialog dialog(&owner_);
  if (kind == FileDialogKind::WavFolder) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog.setAcceptMode(design.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(design.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtNameFilters(design.filter));
    dialog.setDefaultSuffix(QString::fromLatin1(design.defaultSuffix));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace sorvane::app
