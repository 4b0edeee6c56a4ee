#include "app/channel_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
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

void ConfigureHeaders(QTableView* view) {
  QHeaderView* rows = view->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(kRowHeight);
  rows->setSectionResizeMode(QHeaderView::Fixed);

  QHeaderView* header = view->horizontalHeader();
  header->setMinimumSectionSize(1);
  header->setDefaultSectionSize(32);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  header->setSectionsClickable(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setFixedHeight(kRowHeight);
}

// The fixed column laid over the grid's left edge: a second view of the same cells and
// selection that shows only the first column and scrolls only up and down with the grid,
// so that the channel numbers never scroll away sideways.
class FixedColumn : public QTableView {
 public:
  explicit FixedColumn(QTableWidget* grid) : QTableView(grid), grid_(grid) {
    setObjectName(QStringLiteral("FixedColumn"));
    setModel(grid->model());
    setSelectionModel(grid->selectionModel());
    setItemDelegateForColumn(0, grid->itemDelegateForColumn(0));
    setFont(grid->font());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusProxy(grid);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ConfigureHeaders(this);
    for (int column = 1; column < kListColumns; ++column) setColumnHidden(column, true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, grid->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { Place(); });
    grid->installEventFilter(this);
    Place();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == grid_ && event->type() == QEvent::Resize) Place();
    return QTableView::eventFilter(watched, event);
  }

 private:
  void Place() {
    const int width = grid_->columnWidth(0);
    setColumnWidth(0, width);
    const int edge = grid_->frameWidth();
    setGeometry(edge, edge, width,
                grid_->horizontalHeader()->height() + grid_->viewport()->height());
  }

  QTableWidget* grid_;
};

// The described grid always has a selected row: a click below the rows, or one that would
// deselect the row, leaves the current row selected.
void KeepARowSelected(QTableWidget* grid) {
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, grid, [grid] {
    if (!grid->selectionModel()->hasSelection() && grid->currentRow() >= 0)
      grid->selectRow(grid->currentRow());
  });
}

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
  ConfigureHeaders(grid);
  for (int column = 0; column < kListColumns; ++column)
    grid->horizontalHeader()->resizeSection(column, kColumnWidths[column]);
  new FixedColumn(grid);
  KeepARowSelected(grid);
  return grid;
}

}  // namespace sorvane::app
