// The Qt widgets and events that the editor's dialogs hold or handle, declared once so that
// the dialog headers need not include Qt's widget headers.
#pragma once

class QCloseEvent;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShowEvent;
