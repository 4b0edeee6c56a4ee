// The OK and キャンセル buttons of the editor's own dialogs.
#pragma once

class QDialog;
class QPushButton;

namespace sorvane::app {

// Makes the dialog's OK (the default button, accepting) and キャンセル (rejecting), named
// "OkButton" and "CancelButton"; the caller lays them out.
void MakeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

}  // namespace sorvane::app
