// The GUI suites run on Qt's offscreen platform unless a display platform was asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/ui_text.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  sorvane::app::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
