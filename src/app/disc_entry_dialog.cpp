#include "app/disc_entry_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

constexpr int kRowHeight = 20;

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

QTableWidget* CreateFileTable(QWidget* parent) {
  auto* table = new QTableWidget(0, 3, parent);
  table->setObjectName(QStringLiteral("Files"));
  table->setHorizontalHeaderLabels({QText(text::kImageColumnPath), QText(text::kImageColumnLength),
                                    QText(text::kImageColumnChannels)});
  MakeRowList(table, kRowHeight);
  QHeaderView* header = table->horizontalHeader();
  header->setSectionResizeMode(DiscEntryDialog::PathColumn, QHeaderView::Stretch);
  header->setSectionResizeMode(DiscEntryDialog::LengthColumn, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(DiscEntryDialog::ChannelsColumn, QHeaderView::ResizeToContents);
  header->setHighlightSections(false);
  return table;
}

}  // namespace

DiscEntryDialog::DiscEntryDialog(QWidget* parent, const DiscContents& contents) : QDialog(parent) {
  setObjectName(QStringLiteral("DiscEntryDialog"));
  setWindowTitle(QText(text::kImageChooserCaption));
  setFont(UiFont());
  resize(420, 260);

  Files = CreateFileTable(this);
  MakeOkCancel(this, OkButton, CancelButton);
  connect(Files, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Files);
  layout->addLayout(buttons);

  FillRows(contents);
  OkButton->setEnabled(Files->rowCount() > 0);
  Files->setFocus();
}

void DiscEntryDialog::FillRows(const DiscContents& contents) {
  Files->setRowCount(static_cast<int>(contents.Files.size()));
  int row = 0;
  for (const DiscListing& listed : contents.Files) {
    // The playing time as the channel list writes it, 75 sectors to a second.
    const QString length =
        QString::fromStdString(FormatTimePosition(listed.File.SectorCount)).trimmed();
    // Names are bytes from the image: shown as UTF-8, opened by the bytes kept.
    entries_.push_back(listed.File.Path);
    Files->setItem(row, PathColumn, Cell(QString::fromStdString(listed.File.Path), Qt::AlignLeft));
    Files->setItem(row, LengthColumn, Cell(length, Qt::AlignRight));
    Files->setItem(row, ChannelsColumn, Cell(QString::number(listed.Channels), Qt::AlignRight));
    ++row;
  }
  if (row > 0) Files->setCurrentCell(0, PathColumn);
}

std::string DiscEntryDialog::ChosenEntry() const {
  const int row = Files->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size())) return {};
  return entries_[static_cast<std::size_t>(row)];
}

std::string ChooseDiscEntry(QWidget& owner, const DiscContents& contents) {
  DiscEntryDialog dialog(&owner, contents);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.ChosenEntry();
}

}  // namespace sorvane::app
