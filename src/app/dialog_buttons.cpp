#include "app/dialog_buttons.h"

#include <QDialog>
#include <QPushButton>

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

}  // namespace sorvane::app
