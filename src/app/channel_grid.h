// The channel list's grid as designed: seven columns under a header row, a first column
// that looks like the header, whole-row selection, fixed-pitch text.
#pragma once

class QTableWidget;
class QWidget;

namespace sorvane::app {

inline constexpr int kPlayTimeColumn = 4;

QTableWidget* CreateChannelGrid(QWidget* parent);

}  // namespace sorvane::app
