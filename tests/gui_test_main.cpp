// The GUI suites run on Qt's offscreen platform unless a display platform was asked for,
// in Japanese: the tests compare the described texts, and Qt's own dialogs speak Japanese.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/translations.h"
#include "app/ui_text.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The editor's remembered choices go to a folder of the test's own, not the user's.
  char config[] = "/tmp/sorvane-gui-config-XXXXXX";
  if (mkdtemp(config) != nullptr) setenv("XDG_CONFIG_HOME", config, 1);
  setenv("SORVANE_LANG", "ja", 1);
  QApplication application(argc, argv);
  sorvane::app::InstallTranslations(sorvane::app::ChooseUiLanguage());
  sorvane::app::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::filesystem::remove_all(config);
  return status;
}
