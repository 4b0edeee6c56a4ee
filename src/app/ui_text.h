// The designed fonts with the Linux fonts that stand in for them, and the conversion of the
// system's fixed texts (UTF-8) for Qt, translated.
#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QString>

namespace sorvane::app {

// A fixed text as the editor shows it: through the translation of the language installed
// (translations.h), or as written when there is none. Every fixed text of
// common/fixed_texts.h is offered to the translators under this context.
inline constexpr char kTextContext[] = "Sorvane";
inline QString QText(const char* text) { return QCoreApplication::translate(kTextContext, text); }

// Maps "ＭＳ Ｐゴシック" to IPAPGothic and "ＭＳ ゴシック" to IPAGothic. Call before any widget
// exists: wider fallback fonts elide the channel list's time column.
void InstallFontSubstitutes();

// "ＭＳ Ｐゴシック" at 12 pixels: the text of every window.
QFont UiFont();

// "ＭＳ ゴシック" at 12 pixels: the fixed-pitch channel list.
QFont FixedFont();

}  // namespace sorvane::app
