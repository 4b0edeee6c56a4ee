#include "gui_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include "common/fixed_texts.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

constexpr int kTickMs = 5;
constexpr int kIdleTicksBeforeClosing = 600;  // about 3 seconds

}  // namespace

ModalScript::ModalScript() {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
  timer_.start(kTickMs);
}

ModalScript& ModalScript::Then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

void ModalScript::Tick() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) {
    last_ = nullptr;
    idleTicks_ = 0;
    return;
  }
  // The window of the last step is still reacting to it, or no step is left for it.
  if (modal == last_ || steps_.empty()) {
    if (++idleTicks_ < kIdleTicksBeforeClosing) return;
    Unexpected.push_back(modal->windowTitle());
    last_ = nullptr;
    idleTicks_ = 0;
    modal->close();
    return;
  }
  idleTicks_ = 0;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  Titles.push_back(modal->windowTitle());
  last_ = modal;
  // A dialog shown again right after it closed, before the next tick, is a new showing.
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    QObject::connect(
        dialog, &QDialog::finished, &timer_,
        [this, dialog] {
          if (last_ == dialog) last_ = nullptr;
        },
        Qt::SingleShotConnection);
  }
  step(modal);
}

QString DeleteQuestion(int channel) {
  return QString::fromUtf8(text::kAskDelete) + QStringLiteral("\n\n") +
         QString::fromUtf8(text::kDeleteChannelLine).arg(channel);
}

void ClickLater(QAbstractButton* button) {
  QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

ModalScript::Step AnswerBox(QString caption, QString text, QStringList buttons, QString press) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << modal->metaObject()->className();
    EXPECT_EQ(box->windowTitle(), caption);
    EXPECT_EQ(box->text(), text);
    QStringList shown;
    QAbstractButton* target = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      shown << b->text();
      if (b->text() == press) target = b;
    }
    EXPECT_EQ(shown, buttons);
    if (target)
      ClickLater(target);
    else
      box->close();
  };
}

std::string ScriptedFileChooser::Choose(app::FileDialogKind kind) {
  Asked.push_back(kind);
  if (Answers.empty()) return {};
  std::string answer = Answers.front();
  Answers.pop_front();
  return answer;
}

void WriteTwoChannels(const std::string& path) {
  XaBuilder(100).Channel(2, false, false, 0, 16, 5).Channel(1, true, true, 1, 4, 6).Write(path);
}

QString Note(const app::TForm1& form) {
  return form.findChild<QLabel*>(QStringLiteral("StatusNote"))->text();
}

std::vector<std::string> RowTexts(const app::TForm1& form, int row) {
  std::vector<std::string> cells;
  for (int column = 0; column < form.G->columnCount(); ++column) {
    const QTableWidgetItem* item = form.G->item(row, column);
    cells.push_back(item ? item->text().toStdString() : std::string("<none>"));
  }
  return cells;
}

std::string HeaderText(const app::TForm1& form, int column) {
  return form.G->horizontalHeaderItem(column)->text().toStdString();
}

MainWindowTest::MainWindowTest() {
  form1.Attach({form2, audio, prompter, files, form4, form5});
  form1.show();
}

MainWindowTest::~MainWindowTest() { form2.hide(); }

void MainWindowTest::Open(const std::string& path) { ASSERT_EQ(form1.OpenByPath(path), 0); }

EditorTest::EditorTest() {
  form1.Attach({form2, audio, prompter, files, form4, form5});
  form1.show();
}

EditorTest::~EditorTest() { form2.hide(); }

void EditorTest::Open(const std::string& path) { ASSERT_EQ(form1.OpenByPath(path), 0); }

void EditorTest::Run(ModalScript& script, const std::function<void()>& command) {
  command();
  EXPECT_TRUE(script.Done()) << "a step was left unused";
  EXPECT_TRUE(script.Unexpected.empty())
      << "unanswered: " << script.Unexpected.front().toStdString();
}

ProgressWatch::ProgressWatch(const app::TForm1& form1, app::TForm2& form2, bool cancel)
    : form1_(form1), form2_(form2), cancel_(cancel) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
  timer_.start(0);
}

void ProgressWatch::Look() {
  if (!form2_.isVisible()) return;
  ++VisibleTicks;
  MainDisabled = MainDisabled && !form1_.isEnabled();
  Positions.push_back(form2_.Bar->value());
  if (cancel_ && !Pressed) {
    Pressed = true;
    form2_.Button1->click();
  }
}

}  // namespace sorvane::testing
