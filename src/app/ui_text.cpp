#include "app/ui_text.h"

#include "common/fixed_texts.h"

namespace sorvane::app {
namespace {

constexpr int kFontPixels = 12;

QFont DesignedFont(const char* family) {
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(kFontPixels);
  return font;
}

}  // namespace

void InstallFontSubstitutes() {
  QFont::insertSubstitution(QString::fromUtf8(text::kUiFont), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QString::fromUtf8(text::kFixedFont), QStringLiteral("IPAGothic"));
}

QFont UiFont() { return DesignedFont(text::kUiFont); }

QFont FixedFont() {
  QFont font = DesignedFont(text::kFixedFont);
  font.setStyleHint(QFont::Monospace);
  return font;
}

}  // namespace sorvane::app
