// Where the editor remembers its choices between runs (~/.config/Sorvane/sorvane.conf).
#pragma once

#include <QSettings>

namespace sorvane::app {

inline QSettings EditorSettings() {
  return QSettings(QStringLiteral("Sorvane"), QStringLiteral("sorvane"));
}

}  // namespace sorvane::app
