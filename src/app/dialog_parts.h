// Parts shared by the editor's own dialogs: their OK and キャンセル buttons, their tables of rows.
#pragma once

class QDialog;
class QPushButton;
class QTableWidget;

namespace sorvane::app {

// Makes the dialog's OK (the default button, accepting) and キャンセル (rejecting), named
// "OkButton" and "CancelButton"; the caller lays them out.
void MakeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// Makes `table` a list of whole rows to read and choose from, one selected at a time: no
// editing, no grid, no wrapping, no row numbers, rows `rowHeight` high, headers not clickable.
void MakeRowList(QTableWidget* table, int rowHeight);

}  // namespace sorvane::app
