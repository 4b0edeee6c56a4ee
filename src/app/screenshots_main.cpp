// Saves pictures of the editor's windows for the documentation: the main window in each
// unit, its popup menu, the progress window during "全検索(&F)", and the three dialogs.
//   sorvane-screenshots OUTDIR FILE.xa
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/editor_forms.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

void Save(QWidget& window, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!window.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void ShowAndSave(QWidget& window, const QDir& dir, const char* name) {
  window.show();
  Save(window, dir, name);
  window.hide();
}

// Catches the progress window once its bar has moved, while the scan runs.
void SaveProgressDuringFindAll(EditorForms& forms, const QDir& dir) {
  bool saved = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!saved && forms.Form2.isVisible() && forms.Form2.Bar->value() >= 40) {
      saved = true;
      forms.Form2.grab().save(dir.filePath(QStringLiteral("progress.png")));
    }
  });
  watch.start(0);
  forms.Form1.MenuFindClick();
  if (!saved) std::fprintf(stderr, "the progress window was not shown\n");
}

void SaveMainWindow(EditorForms& forms, const QDir& dir) {
  TForm1& form1 = forms.Form1;
  form1.G->setCurrentCell(1, 1);
  form1.MenuSpSClick();
  Save(form1, dir, "main-sectors.png");
  form1.MenuSpHClick();
  Save(form1, dir, "main-hex.png");
  form1.MenuSp1Click();
  Save(form1, dir, "main-time.png");
  QTest::keyClick(form1.G, Qt::Key_Return);
  Save(*form1.PopupMenu, dir, "popup.png");
  form1.PopupMenu->hide();
}

void SaveDialogs(EditorForms& forms, const QDir& dir, const XaFile& xa) {
  forms.Form4.ChannelPostGap = xa.ChannelPostGap;
  forms.Form4.EndPostGap = xa.EndPostGap;
  forms.Form4.ResizePermission = xa.ResizePermission;
  ShowAndSave(forms.Form4, dir, "settings.png");

  forms.Form5.QualitySel->setCurrentIndex(3);
  forms.Form5.SpeedSel->setCurrentIndex(0);
  forms.Form5.TrackSel->setCurrentIndex(2);
  forms.Form5.StartEdit->setText(QStringLiteral("15.35"));
  forms.Form5.ChEdit->setText(QStringLiteral("5"));
  ShowAndSave(forms.Form5, dir, "append.png");

  forms.Form3.Msg->setText(QText(text::kWavLonger));
  forms.Form3.Sel2->setText(QText(text::kFollowWav));
  ShowAndSave(forms.Form3, dir, "length.png");
}

}  // namespace
}  // namespace sorvane::app

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: sorvane-screenshots OUTDIR FILE.xa\n");
    return 2;
  }
  sorvane::app::InstallFontSubstitutes();
  QApplication::setFont(sorvane::app::UiFont());
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  sorvane::Workspace workspace;
  sorvane::app::EditorForms forms(workspace);
  if (forms.Form1.OpenByPath(argv[2]) != 0) {
    std::fprintf(stderr, "%s: %s\n", argv[2], workspace.File.LastErrorText);
    return 1;
  }
  forms.Form1.show();
  QApplication::processEvents();
  sorvane::app::SaveProgressDuringFindAll(forms, dir);
  sorvane::app::SaveMainWindow(forms, dir);
  sorvane::app::SaveDialogs(forms, dir, workspace.File);
  return 0;
}
