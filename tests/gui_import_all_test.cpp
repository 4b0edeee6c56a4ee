// 編集 > "フォルダから一括入力" on a built file: the plan's table, a Cancel that changes
// nothing, an OK that imports with the length dialog's question answered and one 元に戻す
// that gives the original bytes back; refused for a file the window may not change.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <filesystem>

#include "app/channel_grid.h"
#include "app/import_all_dialog.h"
#include "app/translations.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"
#include "edit/edit_history.h"
#include "gui_support.h"
#include "support/process_tools.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class ImportAllTest : public EditorTest {
 protected:
  ImportAllTest() {
    workspace.Journal.SetRoot(dir.File("undo"));
    // Channels 1 to 3: 37.8 kHz mono, interleave 8, 10 sectors each.
    XaBuilder(300)
        .Channel(1, true, false, 0, 8, 10)
        .Channel(2, true, false, 1, 8, 10)
        .Channel(3, true, false, 2, 8, 10)
        .Noise(5)
        .Write(xa);
    original = ReadFileBytes(xa);
    std::filesystem::create_directory(dir.File("in"));
    Sound("in/a_ch001.wav", 10);  // the channel's length: no question
    Sound("in/a_ch002.wav", 14);  // longer: cut, after the length dialog's question
    Sound("in/a_ch003.wav", 2);   // two sounds for channel 3: neither is imported
    std::filesystem::copy_file(dir.File("in/a_ch003.wav"), dir.File("in/a_ch003.au"));
    Sound("in/a_ch007.wav", 1);  // no such channel
    files.Answers = {dir.File("in")};
  }
  void Sound(const std::string& name, int sectors) {
    WavBuilder(1, 37800, 16)
        .Samples16(Frames16(sectors * 4032, 1, [](int i, int) { return (i * 7) % 5000 - 2500; }))
        .Write(dir.File(name));
  }
  // A step that checks the plan's dialog, then presses OK or Cancel.
  ModalScript::Step AnswerPlan(bool ok) {
    return [this, ok](QWidget* modal) {
      auto* dialog = qobject_cast<app::ImportAllDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      for (int row = 0; row < dialog->Plan->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < app::ImportAllDialog::ColumnCount; ++column) {
          const QTableWidgetItem* item = dialog->Plan->item(row, column);
          cells << (item != nullptr ? item->text() : QString());
        }
        rows.push_back(cells);
      }
      for (QListWidget* list : {dialog->Unmatched, dialog->Duplicates})
        for (int k = 0; k < list->count(); ++k) skipped << list->item(k)->text();
      ClickLater(ok ? dialog->OkButton : dialog->CancelButton);
    };
  }

  std::string xa = dir.File("a.xa");
  std::string original;
  std::vector<QStringList> rows;
  QStringList skipped;
};

QString Time(int sectors) { return QString::fromStdString(FormatPlayingTime(sectors)); }

TEST_F(ImportAllTest, ThePlanShowsWhatGoesWhereAndCancelChangesNothing) {
  Open(xa);
  ModalScript script;
  script.Then(AnswerPlan(false));
  Run(script, [&] { form1.MenuImportAll->trigger(); });
  EXPECT_EQ(files.Asked, std::vector<app::FileDialogKind>{app::FileDialogKind::WavFolder});
  const std::vector<QStringList> expected{
      {"a.xa", "1", "a_ch001.wav", Time(80), Time(80), Q(text::kImportAllSameLength), ""},
      {"a.xa", "2", "a_ch002.wav", Time(112), Time(80), Q(text::kImportAllCut),
       Q(text::kWavLonger)}};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(skipped, (QStringList{"a_ch007.wav", "a_ch003.au", "a_ch003.wav"}));
  EXPECT_TRUE(ReadFileBytes(xa) == original);
  EXPECT_FALSE(CanTakeBack(workspace, JournalDirection::Undo));
  EXPECT_TRUE(Note(form1).isEmpty());
}

TEST_F(ImportAllTest, OkImportsWithOneProgressWindowAndOneUndoTakesTheBatchBack) {
  Open(xa);
  workspace.Import.Encoder.Right.Plain = {321, -45};
  ModalScript script;
  script.Then(AnswerPlan(true)).Then([&](QWidget* modal) {
    ASSERT_EQ(modal, &form3);
    // The sound and its channel, then both lengths, after the described text.
    EXPECT_EQ(form3.Msg->text(), Q(text::kWavLonger) + "\n\n" +
                                     Q(text::kBatchSoundLine).arg("a_ch002.wav").arg(2) + "\n" +
                                     Q(text::kLengthBoth).arg(Time(112), Time(80)));
    form3.Sel1->setChecked(true);
    ClickLater(form3.Button1);
  });
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuImportAll->trigger(); });
  EXPECT_GT(watch.VisibleTicks, 0);
  EXPECT_TRUE(watch.MainDisabled);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());
  EXPECT_EQ(Note(form1), Q(text::kImportAllDone).arg(2).arg(1).arg(3).arg(0));
  EXPECT_EQ(workspace.Import.Encoder.Right.Plain.S1, 321);  // the shared state is untouched
  const std::string imported = ReadFileBytes(xa);
  EXPECT_FALSE(imported == original);
  EXPECT_EQ(RowTexts(form1, 1)[app::kPlayTimeColumn],
            RowTexts(form1, 0)[app::kPlayTimeColumn]);  // cut

  ModalScript none;
  Run(none, [&] { form1.MenuUndo->trigger(); });
  EXPECT_TRUE(ReadFileBytes(xa) == original);
  EXPECT_FALSE(form1.MenuUndo->isEnabled());  // the batch was one edit
  Run(none, [&] { form1.MenuRedo->trigger(); });
  EXPECT_TRUE(ReadFileBytes(xa) == imported);
}

// The item is off, and the command refuses with the reason, when the window may not change
// the file.
TEST_F(ImportAllTest, AFileTheWindowMayNotChangeIsRefused) {
  const struct {
    bool readOnly;
    const char* message;
  } kCases[] = {{true, text::kReadOnlyFile}, {false, text::kFileInUse}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    std::unique_ptr<LockHolder> other;
    if (!c.readOnly) other = std::make_unique<LockHolder>(xa);
    Open(xa);
    workspace.File.ReadOnly = c.readOnly;
    emit form1.MenuEdit->aboutToShow();
    EXPECT_FALSE(form1.MenuImportAll->isEnabled());
    ModalScript script;
    script.Then(AnswerBox(Q(text::kMessageCaption), Q(c.message), {Q(text::kOk)}, Q(text::kOk)));
    Run(script, [&] { form1.MenuImportAllClick(); });
    EXPECT_TRUE(files.Asked.empty());
    EXPECT_TRUE(ReadFileBytes(xa) == original);
  }
}

// The item's mnemonic is its own in the Edit menu, in both languages.
TEST(ImportAllMenu, TheMnemonicIsNoOtherItemsOfTheEditMenu) {
  for (const app::UiLanguage language : {app::UiLanguage::Japanese, app::UiLanguage::English}) {
    app::InstallTranslations(language);
    Workspace workspace;
    app::TForm1 form(workspace);
    const QKeySequence own = QKeySequence::mnemonic(form.MenuImportAll->text());
    EXPECT_FALSE(own.isEmpty()) << form.MenuImportAll->text().toStdString();
    for (const QAction* item : form.MenuEdit->actions())
      if (item != form.MenuImportAll)
        EXPECT_NE(QKeySequence::mnemonic(item->text()), own) << item->text().toStdString();
  }
  app::InstallTranslations(app::UiLanguage::Japanese);
}

}  // namespace
}  // namespace sorvane::testing
