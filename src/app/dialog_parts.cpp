#include "app/dialog_parts.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "app/ui_text.h"
#include "common/fixed_texts.h"

namespace sorvane::app {

void MakeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = new QPushButton(QText(text::kOk), dialog);
  ok->setObjectName(QStringLiteral("OkButton"));
  ok->setDefault(true);
  cancel = new QPushButton(QText(text::kCancel), dialog);
  cancel->setObjectName(QStringLiteral("CancelButton"));
  cancel->setAutoDefault(false);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

void MakeRowList(QTableWidget* table, int rowHeight) {
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setTabKeyNavigation(false);
  table->setShowGrid(false);
  table->setWordWrap(false);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(rowHeight);
  table->horizontalHeader()->setSectionsClickable(false);
}

}  // namespace sorvane::app
