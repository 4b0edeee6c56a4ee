// The editor: the five windows, the file named on the command line, the message loop.
#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

#include "app/editor_forms.h"
#include "app/sound_output.h"
#include "app/translations.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/workspace.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  sorvane::app::InstallTranslations(sorvane::app::ChooseUiLanguage());
  sorvane::app::InstallFontSubstitutes();
  QApplication::setFont(sorvane::app::UiFont());
  sorvane::Workspace workspace;
  const std::unique_ptr<sorvane::AudioOutput> audio = sorvane::app::CreateSoundOutput();
  std::unique_ptr<sorvane::app::EditorForms> forms;
  try {
    forms = std::make_unique<sorvane::app::EditorForms>(workspace, *audio);
    // Shown first, and the file opened once the window is on screen: a disc image's
    // chooser, the recovery question and a refusal appear over it.
    sorvane::app::WhenOnScreen(forms->Form1, [&forms, &workspace] {
      sorvane::app::OpenFromCommandLine(forms->Form1, workspace, forms->Prompter,
                                        QApplication::arguments());
    });
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, sorvane::app::QText(sorvane::text::kAppCaption),
                          QString::fromLocal8Bit(error.what()));
    return 1;
  }
  return application.exec();
}
