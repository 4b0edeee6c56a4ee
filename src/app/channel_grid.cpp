#include "app/channel_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "app/ui_text.h"
#include "edit/channel_list_format.h"

namespace sorvane::app {
namespace {

constexpr int kColumnWidths[kListColumns] = {32, 32, 61, 60, 60, 83, 52};
constexpr int kRowHeight = 20;

// Paints the cells of the first column as header sections, as the fixed column of the list.
class FixedColumnDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionHeader section;
    section.rect = option.rect;
    section.palette = option.palette;
    section.fontMetrics = option.fontMetrics;
    section.state = QStyle::State_Enabled | QStyle::State_Raised;
    section.orientation = Qt::Vertical;
    section.position = QStyleOptionHeader::Middle;
    section.text = index.data().toString();
    section.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    painter->save();
    painter->setFont(option.font);
    style->drawControl(QStyle::CE_Header, &section, painter, option.widget);
    painter->restore();
  }
};

}  // namespace

QTableWidget* CreateChannelGrid(QWidget* parent) {
  auto* grid = new QTableWidget(1, kListColumns, parent);
  grid->setObjectName(QStringLiteral("G"));
  grid->setFont(FixedFont());
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setShowGrid(true);
  grid->setWordWrap(false);
  grid->setTextElideMode(Qt::ElideNone);  // cells are clipped, as in a string grid
  grid->setContextMenuPolicy(Qt::NoContextMenu);
  grid->setItemDelegateForColumn(0, new FixedColumnDelegate(grid));

  QHeaderView* rows = grid->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(kRowHeight);
  rows->setSectionResizeMode(QHeaderView::Fixed);

  QHeaderView* header = grid->horizontalHeader();
  header->setMinimumSectionSize(1);
  header->setDefaultSectionSize(32);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  header->setSectionsClickable(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setFixedHeight(kRowHeight);
  for (int column = 0; column < kListColumns; ++column)
    header->resizeSection(column, kColumnWidths[column]);
  return grid;
}

}  // namespace sorvane::app
