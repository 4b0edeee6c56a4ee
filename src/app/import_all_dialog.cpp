#include "app/import_all_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "app/dialog_parts.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

constexpr int kRowHeight = 20;

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* item = new QTableWidgetItem(text);
  item->setToolTip(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

QTableWidget* CreatePlanTable(QWidget* parent) {
  auto* table = new QTableWidget(0, ImportAllDialog::ColumnCount, parent);
  table->setObjectName(QStringLiteral("Plan"));
  QStringList labels;
  for (const char* label :
       {text::kImportAllColumnTarget, text::kLabelChannel, text::kImportAllColumnSound,
        text::kImportAllColumnSoundLength, text::kImportAllColumnChannelLength,
        text::kImportAllColumnFitting, text::kImportAllColumnQuestion})
    labels << QText(label);
  table->setHorizontalHeaderLabels(labels);
  MakeRowList(table, kRowHeight);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

// A list of paths under its heading; both hidden when there is none.
QListWidget* AddPathList(QVBoxLayout* layout, const char* name, const char* heading,
                         const std::vector<std::string>& paths, const std::string& folder) {
  auto* label = new QLabel(QText(heading));
  auto* list = new QListWidget;
  list->setObjectName(QString::fromLatin1(name));
  for (const std::string& path : paths)
    list->addItem(
        QString::fromStdString(std::filesystem::path(path).lexically_relative(folder).string()));
  list->setMaximumHeight(90);
  label->setVisible(!paths.empty());
  list->setVisible(!paths.empty());
  layout->addWidget(label);
  layout->addWidget(list);
  return list;
}

QString TargetName(const ExportSource& source) {
  if (!source.Entry.empty()) return QString::fromStdString(source.Entry);
  return QString::fromStdString(std::filesystem::path(source.File).filename().string());
}

const char* Fitting(const PlannedImport& p) {
  if (p.SourceSpan == p.ChannelSpan) return text::kImportAllSameLength;
  return p.SourceSpan > p.ChannelSpan ? text::kImportAllCut : text::kImportAllPadded;
}

}  // namespace

ImportAllDialog::ImportAllDialog(QWidget* parent, const ImportAllPlan& plan,
                                 const std::string& folder)
    : QDialog(parent), folder_(folder) {
  setObjectName(QStringLiteral("ImportAllDialog"));
  setWindowTitle(QText(text::kImportAllCaption));
  setFont(UiFont());
  resize(760, 380);

  Plan = CreatePlanTable(this);
  MakeOkCancel(this, OkButton, CancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Plan);
  Unmatched = AddPathList(layout, "Unmatched", text::kImportAllUnmatched, plan.Unmatched, folder);
  Duplicates =
      AddPathList(layout, "Duplicates", text::kImportAllDuplicates, plan.Duplicates, folder);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);

  FillRows(plan);
  Plan->setFocus();
}

void ImportAllDialog::FillRows(const ImportAllPlan& plan) {
  bool importable = false;
  for (const TargetPlan& target : plan.Targets) {
    if (!target.Error.empty()) {
      const int row = Plan->rowCount();
      Plan->insertRow(row);
      Plan->setItem(row, TargetColumn, Cell(TargetName(target.Source)));
      Plan->setItem(row, FittingColumn, Cell(QText(target.Error.c_str())));
    }
    for (const PlannedImport& p : target.Imports) {
      const int row = Plan->rowCount();
      Plan->insertRow(row);
      const std::string sound = std::filesystem::path(p.Sound).lexically_relative(folder_).string();
      Plan->setItem(row, TargetColumn, Cell(TargetName(target.Source)));
      Plan->setItem(row, ChannelColumn, Cell(QString::number(p.Channel), Qt::AlignRight));
      Plan->setItem(row, SoundColumn, Cell(QString::fromStdString(sound)));
      if (!p.Error.empty()) {
        Plan->setItem(row, FittingColumn, Cell(QText(p.Error.c_str())));
        continue;
      }
      importable = true;
      Plan->setItem(row, SoundLengthColumn,
                    Cell(QString::fromStdString(FormatPlayingTime(p.SourceSpan)), Qt::AlignRight));
      Plan->setItem(row, ChannelLengthColumn,
                    Cell(QString::fromStdString(FormatPlayingTime(p.ChannelSpan)), Qt::AlignRight));
      Plan->setItem(row, FittingColumn, Cell(QText(Fitting(p))));
      if (p.Question != nullptr) Plan->setItem(row, QuestionColumn, Cell(QText(p.Question)));
    }
  }
  OkButton->setEnabled(importable);
  if (Plan->rowCount() > 0) Plan->setCurrentCell(0, 0);
}

bool ConfirmImportAll(QWidget& owner, const ImportAllPlan& plan, const std::string& folder) {
  ImportAllDialog dialog(&owner, plan, folder);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace sorvane::app
