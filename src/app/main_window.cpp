#include "app/main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTableWidget>
#include <QUrl>

#include "app/channel_grid.h"
#include "app/ui_text.h"
#include "common/fixed_texts.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

// Where the editor remembers its choices between runs (~/.config/Sorvane/sorvane.conf).
QSettings EditorSettings() {
  return QSettings(QStringLiteral("Sorvane"), QStringLiteral("sorvane"));
}
constexpr char kHighQualityKey[] = "HighQuality";

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QText(caption));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(QText(caption));
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
  resize(415, 239);
  setAcceptDrops(true);

  BuildMainMenu();
  G = CreateChannelGrid(this);
  setCentralWidget(G);
  G->setHorizontalHeaderLabels([] {
    QStringList labels;
    for (const std::string& cell : ListHeader(UnitTime)) labels << QText(cell.c_str());
    return labels;
  }());
  FillRow(0, ChannelRow{});
  G->setCurrentCell(0, 1);
  G->installEventFilter(this);
  BuildPopupMenu();
}

TForm1::~TForm1() { CloseFile(); }

void TForm1::Attach(const Services& services) { services_.emplace(services); }

void TForm1::BuildMainMenu() {
  MainMenu = menuBar();
  MainMenu->setObjectName(QStringLiteral("MainMenu"));

  MenuFile = AddMenu(MainMenu, "MenuFile", text::kMenuFile);
  MenuNew = AddItem(MenuFile, "MenuNew", text::kMenuNew);
  MenuOpen = AddItem(MenuFile, "MenuOpen", text::kMenuOpen);
  MenuFind = AddItem(MenuFile, "MenuFind", text::kMenuFind);
  MenuGap = AddItem(MenuFile, "MenuGap", text::kMenuGap);
  MenuHighQuality = AddItem(MenuFile, "MenuHighQuality", text::kMenuHighQuality);
  MenuHighQuality->setCheckable(true);
  MenuHighQuality->setChecked(EditorSettings().value(kHighQualityKey, false).toBool());
  workspace_.Import.HighQuality = MenuHighQuality->isChecked();
  MenuExit = AddItem(MenuFile, "MenuExit", text::kMenuExit);
  MenuFind->setEnabled(false);
  MenuGap->setEnabled(false);

  MenuShow = AddMenu(MainMenu, "MenuShow", text::kMenuShow);
  MenuSp1 = AddItem(MenuShow, "MenuSp1", text::kMenuSp1);
  MenuSpS = AddItem(MenuShow, "MenuSpS", text::kMenuSpS);
  MenuSpH = AddItem(MenuShow, "MenuSpH", text::kMenuSpH);
  for (QAction* unit : {MenuSp1, MenuSpS, MenuSpH}) unit->setCheckable(true);
  MenuSp1->setChecked(true);
  MenuShow->menuAction()->setEnabled(false);

  MenuEdit = AddMenu(MainMenu, "MenuEdit", text::kMenuEdit);
  MenuPlay = AddItem(MenuEdit, "MenuPlay", text::kMenuPlay);
  MenuWavI = AddItem(MenuEdit, "MenuWavI", text::kMenuWavI);
  MenuWavO = AddItem(MenuEdit, "MenuWavO", text::kMenuWavO);
  ChAppend = AddItem(MenuEdit, "ChAppend", text::kMenuChAppend);
  ChDelete = AddItem(MenuEdit, "ChDelete", text::kMenuChDelete);
  MenuEdit->menuAction()->setEnabled(false);

  connect(MenuNew, &QAction::triggered, this, &TForm1::MenuNewClick);
  connect(MenuOpen, &QAction::triggered, this, &TForm1::MenuOpenClick);
  connect(MenuFind, &QAction::triggered, this, &TForm1::MenuFindClick);
  connect(MenuGap, &QAction::triggered, this, &TForm1::MenuGapClick);
  connect(MenuExit, &QAction::triggered, this, &TForm1::MenuExitClick);
  connect(MenuHighQuality, &QAction::toggled, this, [this](bool on) {
    workspace_.Import.HighQuality = on;
    EditorSettings().setValue(kHighQualityKey, on);
  });
  connect(MenuSp1, &QAction::triggered, this, &TForm1::MenuSp1Click);
  connect(MenuSpS, &QAction::triggered, this, &TForm1::MenuSpSClick);
  connect(MenuSpH, &QAction::triggered, this, &TForm1::MenuSpHClick);
  connect(MenuPlay, &QAction::triggered, this, &TForm1::MenuPlayClick);
  connect(MenuWavI, &QAction::triggered, this, &TForm1::MenuWavIClick);
  connect(MenuWavO, &QAction::triggered, this, &TForm1::MenuWavOClick);
  connect(ChAppend, &QAction::triggered, this, &TForm1::ChAppendClick);
  connect(ChDelete, &QAction::triggered, this, &TForm1::ChDeleteClick);
}

void TForm1::BuildPopupMenu() {
  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  PopPlay = AddItem(PopupMenu, "PopPlay", text::kPopPlay);
  PopWavI = AddItem(PopupMenu, "PopWavI", text::kPopWavI);
  PopWavO = AddItem(PopupMenu, "PopWavO", text::kPopWavO);
  PopAppend = AddItem(PopupMenu, "PopAppend", text::kPopAppend);
  PopDelete = AddItem(PopupMenu, "PopDelete", text::kPopDelete);
  connect(PopPlay, &QAction::triggered, this, &TForm1::MenuPlayClick);
  connect(PopWavI, &QAction::triggered, this, &TForm1::MenuWavIClick);
  connect(PopWavO, &QAction::triggered, this, &TForm1::MenuWavOClick);
  connect(PopAppend, &QAction::triggered, this, &TForm1::ChAppendClick);
  connect(PopDelete, &QAction::triggered, this, &TForm1::ChDeleteClick);
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
      (this->*k.handler)();
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
  // Only the first file counts; a failure leaves the list empty without a message.
  const QString path = urls.first().toLocalFile();
  if (!path.isEmpty()) OpenByPath(QFile::encodeName(path).toStdString());
}

}  // namespace sorvane::app
