#include "app/main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QUrl>

#include "app/append_dialog.h"
#include "app/channel_grid.h"
#include "app/editor_settings.h"
#include "app/file_status_bar.h"
#include "app/interleave_map_view.h"
#include "app/ui_text.h"
#include "app/waveform_view.h"
#include "common/fixed_texts.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

constexpr char kHighQualityKey[] = "HighQuality";

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QText(caption));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

template <typename Parent>  // a menu bar or a menu
QMenu* AddMenu(Parent* parent, const char* name, const char* caption) {
  QMenu* menu = parent->addMenu(QText(caption));
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

TForm1::TForm1(Workspace& workspace) : workspace_(workspace) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QText(text::kAppCaption));
  setFont(UiFont());
  move(221, 105);
  resize(415, 420);  // the designed 239 pixels, and room for the map
  setAcceptDrops(true);

  BuildMainMenu();
  G = CreateChannelGrid(this);
  Map = new InterleaveMapView(workspace_.File, this);
  Wave = new WaveformView(workspace_.File, this);
  auto* listAndMap = new QSplitter(Qt::Vertical, this);
  listAndMap->setObjectName(QStringLiteral("ListAndMap"));
  listAndMap->addWidget(G);
  listAndMap->addWidget(Wave);
  listAndMap->addWidget(Map);
  setCentralWidget(listAndMap);
  connect(Map, &InterleaveMapView::RecordClicked, this,
          [this](int record) { G->setCurrentCell(record, 1); });
  connect(G, &QTableWidget::currentCellChanged, this,
          [this] { Map->SetSelectedRecord(SelectedEntry()); });
  G->setHorizontalHeaderLabels([] {
    QStringList labels;
    for (const std::string& cell : ListHeader(UnitTime)) labels << QText(cell.c_str());
    return labels;
  }());
  ConnectWaveform();
  FillRow(0, ChannelRow{});
  G->setCurrentCell(0, 1);
  G->installEventFilter(this);
  BuildPopupMenu();
  status_ = new FileStatusBar(this);
  setStatusBar(status_);
  ShowRecentFiles();
}

TForm1::~TForm1() { CloseFile(); }

void TForm1::Attach(const Services& services) {
  services_.emplace(services);
  connect(&services.Append, &TForm5::ProposalChanged, Map, &InterleaveMapView::SetProposal);
  connect(&services.Append, &TForm5::ProposalEnded, Map, &InterleaveMapView::ClearProposal);
}

// An item of `menu` that calls `handler` when chosen.
QAction* TForm1::AddCommand(QMenu* menu, const char* name, const char* caption,
                            void (TForm1::*handler)()) {
  QAction* item = AddItem(menu, name, caption);
  connect(item, &QAction::triggered, this,
          [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  return item;
}

void TForm1::RunCommand(const std::function<void()>& command) {
  ++runningCommands_;
  command();
  --runningCommands_;
  if (runningCommands_ == 0 && closeWhenIdle_) close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (runningCommands_ > 0) {
    closeWhenIdle_ = true;
    event->ignore();
    return;
  }
  closeWhenIdle_ = false;
  CloseFile();
  QMainWindow::closeEvent(event);
}

void TForm1::BuildMainMenu() {
  MainMenu = menuBar();
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  BuildFileMenu();

  MenuShow = AddMenu(MainMenu, "MenuShow", text::kMenuShow);
  MenuSp1 = AddCommand(MenuShow, "MenuSp1", text::kMenuSp1, &TForm1::MenuSp1Click);
  MenuSpS = AddCommand(MenuShow, "MenuSpS", text::kMenuSpS, &TForm1::MenuSpSClick);
  MenuSpH = AddCommand(MenuShow, "MenuSpH", text::kMenuSpH, &TForm1::MenuSpHClick);
  for (QAction* unit : {MenuSp1, MenuSpS, MenuSpH}) unit->setCheckable(true);
  MenuSp1->setChecked(true);
  MenuShow->menuAction()->setEnabled(false);

  MenuEdit = AddMenu(MainMenu, "MenuEdit", text::kMenuEdit);
  MenuPlay = AddCommand(MenuEdit, "MenuPlay", text::kMenuPlay, &TForm1::MenuPlayClick);
  MenuWavI = AddCommand(MenuEdit, "MenuWavI", text::kMenuWavI, &TForm1::MenuWavIClick);
  MenuWavO = AddCommand(MenuEdit, "MenuWavO", text::kMenuWavO, &TForm1::MenuWavOClick);
  ChAppend = AddCommand(MenuEdit, "ChAppend", text::kMenuChAppend, &TForm1::ChAppendClick);
  ChDelete = AddCommand(MenuEdit, "ChDelete", text::kMenuChDelete, &TForm1::ChDeleteClick);
  // Beyond the described items, after them.
  MenuEdit->addSeparator();
  MenuUndo = AddCommand(MenuEdit, "MenuUndo", text::kMenuUndo, &TForm1::MenuUndoClick);
  MenuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  MenuRedo = AddCommand(MenuEdit, "MenuRedo", text::kMenuRedo, &TForm1::MenuRedoClick);
  MenuRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  MenuImportAll =
      AddCommand(MenuEdit, "MenuImportAll", text::kMenuImportAll, &TForm1::MenuImportAllClick);
  connect(MenuEdit, &QMenu::aboutToShow, this,
          [this] { MenuImportAll->setEnabled(MayImportAll()); });
  MenuEdit->menuAction()->setEnabled(false);
}

void TForm1::BuildFileMenu() {
  MenuFile = AddMenu(MainMenu, "MenuFile", text::kMenuFile);
  MenuNew = AddCommand(MenuFile, "MenuNew", text::kMenuNew, &TForm1::MenuNewClick);
  MenuOpen = AddCommand(MenuFile, "MenuOpen", text::kMenuOpen, &TForm1::MenuOpenClick);
  MenuFind = AddCommand(MenuFile, "MenuFind", text::kMenuFind, &TForm1::MenuFindClick);
  MenuGap = AddCommand(MenuFile, "MenuGap", text::kMenuGap, &TForm1::MenuGapClick);
  MenuExportAll =
      AddCommand(MenuFile, "MenuExportAll", text::kMenuExportAll, &TForm1::MenuExportAllClick);
  MenuHighQuality = AddItem(MenuFile, "MenuHighQuality", text::kMenuHighQuality);
  MenuHighQuality->setCheckable(true);
  MenuHighQuality->setChecked(EditorSettings().value(kHighQualityKey, false).toBool());
  workspace_.Import.HighQuality = MenuHighQuality->isChecked();
  connect(MenuHighQuality, &QAction::toggled, this, [this](bool on) {
    workspace_.Import.HighQuality = on;
    EditorSettings().setValue(kHighQualityKey, on);
  });
  MenuRecent = AddMenu(MenuFile, "MenuRecent", text::kMenuRecent);
  MenuExit = AddCommand(MenuFile, "MenuExit", text::kMenuExit, &TForm1::MenuExitClick);
  MenuFind->setEnabled(false);
  MenuGap->setEnabled(false);
  MenuExportAll->setEnabled(false);
}

void TForm1::BuildPopupMenu() {
  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  PopPlay = AddCommand(PopupMenu, "PopPlay", text::kPopPlay, &TForm1::MenuPlayClick);
  PopWavI = AddCommand(PopupMenu, "PopWavI", text::kPopWavI, &TForm1::MenuWavIClick);
  PopWavO = AddCommand(PopupMenu, "PopWavO", text::kPopWavO, &TForm1::MenuWavOClick);
  PopAppend = AddCommand(PopupMenu, "PopAppend", text::kPopAppend, &TForm1::ChAppendClick);
  PopDelete = AddCommand(PopupMenu, "PopDelete", text::kPopDelete, &TForm1::ChDeleteClick);
  // The key hints in the shortcut column: the spaces before "[P]" become a tab.
  for (QAction* item : PopupMenu->actions())
    item->setText(
        item->text().replace(QRegularExpression(QStringLiteral(" +\\[")), QStringLiteral("\t[")));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == G && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (GKeyDown(key) || GKeyPress(key)) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TForm1::GKeyDown(QKeyEvent* event) {
  // By key code alone: Shift, Ctrl and Alt do not matter.
  static constexpr struct {
    int key;
    void (TForm1::*handler)();
  } kKeys[] = {{Qt::Key_A, &TForm1::ChAppendClick},
               {Qt::Key_D, &TForm1::ChDeleteClick},
               {Qt::Key_I, &TForm1::MenuWavIClick},
               {Qt::Key_O, &TForm1::MenuWavOClick},
               {Qt::Key_P, &TForm1::MenuPlayClick}};
  for (const auto& k : kKeys) {
    if (event->key() == k.key) {
      RunCommand([this, &k] { (this->*k.handler)(); });
      return true;
    }
  }
  return false;
}

bool TForm1::GKeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  const int row = G->currentRow() < 0 ? 0 : G->currentRow();
  const QPoint cell(G->columnViewportPosition(kPlayTimeColumn), G->rowViewportPosition(row));
  PopupMenu->popup(G->viewport()->mapToGlobal(cell + QPoint(10, 10)));
  return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty()) return;
  event->acceptProposedAction();
  const std::string path = QFile::encodeName(urls.first().toLocalFile()).toStdString();
  const QPoint at = G->viewport()->mapFrom(this, event->position().toPoint());
  const int row = G->viewport()->rect().contains(at) ? G->rowAt(at.y()) : -1;
  if (!path.empty()) RunCommand([&] { DropFile(path, row); });
}

void TForm1::DropFile(const std::string& path, int row) {
  const bool wav =
      QString::fromStdString(path).endsWith(QLatin1String(".wav"), Qt::CaseInsensitive);
  if (!FileOpen || !wav) {
    OpenByPath(path);
    return;
  }
  if (RefuseChange()) return;
  if (row >= 0 && row < workspace_.File.AudioChannelTable.Count) {
    G->setCurrentCell(row, 1);
    ImportInto(row, path);
  } else if (!AppendRefused()) {
    AppendFrom(path);
  }
}

}  // namespace sorvane::app
