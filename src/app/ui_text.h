// The designed fonts with the Linux fonts that stand in for them, and the conversion of the
// system's fixed texts (UTF-8) for Qt.
#pragma once

#include <QFont>
#include <QString>

namespace sorvane::app {

inline QString QText(const char* text) { return QString::fromUtf8(text); }

// Maps "ＭＳ Ｐゴシック" to IPAPGothic and "ＭＳ ゴシック" to IPAGothic. Call before any widget
// exists: wider fallback fonts elide the channel list's time column.
void InstallFontSubstitutes();

// "ＭＳ Ｐゴシック" at 12 pixels: the text of every window.
QFont UiFont();

// "ＭＳ ゴシック" at 12 pixels: the fixed-pitch channel list.
QFont FixedFont();

}  // namespace sorvane::app
