// The dialogs: WAV length (through the Qt prompter), file settings with "設定(&C)", channel
// append's controls, the message boxes and the file dialogs.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/append_dialog.h"
#include "app/file_chooser.h"
#include "app/length_dialog.h"
#include "app/qt_prompter.h"
#include "app/settings_dialog.h"
#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// The widgets that Tab reaches from `first`, in order, until it comes back.
std::vector<QWidget*> TabChain(QWidget* first, std::size_t count) {
  std::vector<QWidget*> chain{first};
  for (QWidget* w = first->nextInFocusChain(); w != first && chain.size() < count;
       w = w->nextInFocusChain()) {
    if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
  }
  return chain;
}

TEST(LengthDialog, AsDesigned) {
  app::TForm3 form;
  EXPECT_EQ(form.windowTitle(), Q(text::kMessageCaption));
  EXPECT_EQ(form.size(), QSize(231, 112));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.Msg->pos(), QPoint(16, 8));
  EXPECT_EQ(form.Msg->text(), Q(text::kWavLonger));
  EXPECT_EQ(form.Sel1->pos(), QPoint(40, 32));
  EXPECT_EQ(form.Sel1->text(), Q(text::kKeepOriginal));
  EXPECT_EQ(form.Sel2->pos(), QPoint(40, 56));
  EXPECT_EQ(form.Sel2->text(), Q(text::kFollowWav));
  EXPECT_EQ(form.Button1->geometry(), QRect(56, 84, 75, 21));
  EXPECT_EQ(form.Button1->text(), Q(text::kOk));
  EXPECT_TRUE(form.Button1->isDefault());
  EXPECT_EQ(form.Button2->geometry(), QRect(136, 84, 75, 21));
  EXPECT_EQ(form.Button2->text(), Q(text::kCancel));
  EXPECT_EQ(form.font().family(), Q(text::kUiFont));
  EXPECT_EQ(TabChain(form.Button1, 4),
            (std::vector<QWidget*>{form.Button1, form.Sel1, form.Sel2, form.Button2}));
}

// The prompter of the editor, with the main window, the progress window and Form3.
class QtPrompterTest : public MainWindowTest {
 protected:
  app::TForm3 form3{&form1};
  app::QtPrompter qtPrompter{form1, form2, form3};
};

struct LengthCase {
  const char* name;
  std::function<void(app::TForm3*)> answer;
  LengthChoice expected;
};

class LengthChoiceTest : public QtPrompterTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(LengthChoiceTest, ShowsTheTextsWithTheFirstChoiceChecked) {
  form3.Sel2->setChecked(true);  // left from an earlier showing
  ModalScript script;
  bool firstChecked = false;
  script.Then([&](QWidget* modal) {
    auto* form = qobject_cast<app::TForm3*>(modal);
    ASSERT_EQ(form, &form3);
    EXPECT_EQ(form->Msg->text(), Q(text::kWavShorter));
    EXPECT_EQ(form->Sel2->text(), Q(text::kFollowWav));
    firstChecked = form->Sel1->isChecked();
    GetParam().answer(form);
  });
  EXPECT_EQ(qtPrompter.ChooseLength(text::kWavShorter, text::kFollowWav), GetParam().expected);
  EXPECT_TRUE(firstChecked);
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LengthChoiceTest,
    ::testing::Values(LengthCase{"Ok", [](app::TForm3* f) { ClickLater(f->Button1); },
                                 LengthChoice::KeepOriginal},
                      LengthCase{"Second",
                                 [](app::TForm3* f) {
                                   f->Sel2->setChecked(true);
                                   ClickLater(f->Button1);
                                 },
                                 LengthChoice::SecondChoice},
                      LengthCase{"SecondThenFirst",
                                 [](app::TForm3* f) {
                                   f->Sel2->setChecked(true);
                                   f->Sel1->setChecked(true);
                                   ClickLater(f->Button1);
                                 },
                                 LengthChoice::KeepOriginal},
                      LengthCase{"Cancel",
                                 [](app::TForm3* f) {
                                   f->Sel2->setChecked(true);
                                   ClickLater(f->Button2);
                                 },
                                 LengthChoice::Cancel},
                      LengthCase{"ClosedByFrame", [](app::TForm3* f) { f->close(); },
                                 LengthChoice::Cancel},
                      LengthCase{"EscapeCancels",
                                 [](app::TForm3* f) {
                                   QMetaObject::invokeMethod(
                                       f, [f] { QTest::keyClick(f, Qt::Key_Escape); },
                                       Qt::QueuedConnection);
                                 },
                                 LengthChoice::Cancel}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtPrompterTest, NotifyUserShowsOneOkButtonOverTheMainWindow) {
  ModalScript script;
  QWidget* owner = nullptr;
  auto answer =
      AnswerBox(Q(text::kMessageCaption), Q(text::kCancelled), {Q(text::kOk)}, Q(text::kOk));
  script.Then([&](QWidget* box) {
    owner = box->parentWidget();
    answer(box);
  });
  qtPrompter.NotifyUser(text::kCancelled);
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
  EXPECT_EQ(owner, &form1);
}

struct QuestionCase {
  const char* name;
  const char* press;  // nullptr: the box is closed by its frame
  bool expected;
};

class AskOkCancelTest : public QtPrompterTest,
                        public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(AskOkCancelTest, OnlyOkIsYes) {
  ModalScript script;
  const QStringList buttons{Q(text::kOk), Q(text::kCancel)};
  if (GetParam().press) {
    script.Then(
        AnswerBox(Q(text::kMessageCaption), Q(text::kAskDelete), buttons, Q(GetParam().press)));
  } else {
    script.Then([](QWidget* box) { box->close(); });
  }
  EXPECT_EQ(qtPrompter.AskOkCancel(text::kAskDelete), GetParam().expected);
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, AskOkCancelTest,
                         ::testing::Values(QuestionCase{"Ok", text::kOk, true},
                                           QuestionCase{"Cancel", text::kCancel, false},
                                           QuestionCase{"ClosedByFrame", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtPrompterTest, QuestionsDuringALongOperationBelongToTheProgressWindow) {
  ModalScript script;
  QWidget* owner = nullptr;
  script.Then([&](QWidget* box) {
    owner = box->parentWidget();
    box->close();
  });
  form2.Start();
  EXPECT_FALSE(qtPrompter.AskOkCancel(text::kAskOverwriteData));
  form2.Finish();
  EXPECT_EQ(owner, &form2);
}

TEST(SettingsDialog, AsDesigned) {
  app::TForm4 form;
  EXPECT_EQ(form.windowTitle(), Q(text::kSettingsCaption));
  EXPECT_EQ(form.size(), QSize(291, 124));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.Label1->text(), Q(text::kLabelChannelGap));
  EXPECT_EQ(form.Label2->text(), Q(text::kLabelEndGap));
  EXPECT_EQ(form.Label3->text(), Q(text::kLabelModify));
  ASSERT_EQ(form.Modify->count(), 3);
  EXPECT_EQ(form.Modify->itemText(0), QString());
  EXPECT_EQ(form.Modify->itemText(1), Q(text::kModifyAllowed));
  EXPECT_EQ(form.Modify->itemText(2), Q(text::kModifyForbidden));
  EXPECT_FALSE(form.Modify->isEditable());
  EXPECT_EQ(form.Button1->text(), Q(text::kOk));
  EXPECT_TRUE(form.Button1->isDefault());
  EXPECT_EQ(form.Button2->text(), Q(text::kCancel));
  // Each label stands left of its control, top to bottom.
  for (auto [label, field] : {std::pair<QLabel*, QWidget*>{form.Label1, form.Gap1},
                              {form.Label2, form.Gap2},
                              {form.Label3, form.Modify}}) {
    EXPECT_LT(label->geometry().right(), field->x());
    EXPECT_EQ(label->y(), field->y());
  }
  EXPECT_LT(form.Gap1->y(), form.Gap2->y());
  EXPECT_LT(form.Gap2->y(), form.Modify->y());
  EXPECT_LT(form.Modify->geometry().bottom(), form.Button1->y());
  EXPECT_EQ(TabChain(form.Gap1, 5),
            (std::vector<QWidget*>{form.Gap1, form.Gap2, form.Modify, form.Button1, form.Button2}));
}

struct EditCase {
  const char* name;
  const char* gap1;  // typed over what is shown
  int modify;
  bool ok;  // OK, else キャンセル
  FileSettings after;
};

class SettingsEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(SettingsEditTest, ShowsTheSettingsAndChangesThemOnlyOnOk) {
  app::TForm4 form;
  FileSettings settings{150, 300, ResizeAsk};
  QStringList shown;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    auto* f = qobject_cast<app::TForm4*>(modal);
    ASSERT_EQ(f, &form);
    shown = {f->Gap1->text(), f->Gap2->text(), QString::number(f->Modify->currentIndex())};
    f->Gap1->setText(Q(GetParam().gap1));
    f->Modify->setCurrentIndex(GetParam().modify);
    ClickLater(GetParam().ok ? f->Button1 : f->Button2);
  });
  EXPECT_EQ(form.Edit(settings), GetParam().ok);
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
  EXPECT_EQ(shown,
            (QStringList{QStringLiteral("2.00"), QStringLiteral("4.00"), QStringLiteral("0")}));
  EXPECT_EQ(settings.ChannelPostGap, GetParam().after.ChannelPostGap);
  EXPECT_EQ(settings.EndPostGap, GetParam().after.EndPostGap);
  EXPECT_EQ(settings.ResizePermission, GetParam().after.ResizePermission);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SettingsEditTest,
    ::testing::Values(EditCase{"Ok", "1.5", ResizeForbidden, true, {80, 300, ResizeForbidden}},
                      EditCase{"Cancel", "1.5", ResizeForbidden, false, {150, 300, ResizeAsk}}),
    [](const auto& info) { return std::string(info.param.name); });

// "設定(&C)" on a new file: gaps of 150 sectors, resizing allowed.
class SettingsCommandTest : public MainWindowTest {
 protected:
  void SetUp() override {
    files.Answers = {dir.File("new.xa")};
    form1.MenuNewClick();
    ASSERT_TRUE(workspace.File.IsOpen());
  }

  // Fills the dialog and presses OK.
  static ModalScript::Step Enter(QString gap1, QString gap2, int modify) {
    return [=](QWidget* modal) {
      auto* form = qobject_cast<app::TForm4*>(modal);
      ASSERT_NE(form, nullptr);
      form->Gap1->setText(gap1);
      form->Gap2->setText(gap2);
      form->Modify->setCurrentIndex(modify);
      form->Button1->setFocus();
      ClickLater(form->Button1);
    };
  }

  // Records what the dialog shows, then presses `button` (1: OK, 2: キャンセル).
  ModalScript::Step Look(int button) {
    return [this, button](QWidget* modal) {
      auto* form = qobject_cast<app::TForm4*>(modal);
      ASSERT_NE(form, nullptr);
      shown = {form->Gap1->text(), form->Gap2->text(), form->Modify->currentText()};
      focus = form->focusWidget();
      ClickLater(button == 1 ? form->Button1 : form->Button2);
    };
  }

  void Run(ModalScript& script) {
    form1.MenuGap->trigger();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.Unexpected.empty());
  }

  QStringList shown;
  QWidget* focus = nullptr;
};

TEST_F(SettingsCommandTest, ANewFileShowsTwoSecondsTwiceAndAllowed) {
  ModalScript script;
  script.Then(Look(2));
  Run(script);
  EXPECT_EQ(shown,
            (QStringList{QStringLiteral("2.00"), QStringLiteral("2.00"), Q(text::kModifyAllowed)}));
}

TEST_F(SettingsCommandTest, TwoPointFiveIsStoredAs155AndShownAs2Point05) {
  ModalScript script;
  script.Then(Enter(QStringLiteral("2.5"), QStringLiteral("2.5"), ResizeForbidden)).Then(Look(2));
  form1.MenuGap->trigger();
  EXPECT_EQ(workspace.File.ChannelPostGap, 155);
  EXPECT_EQ(workspace.File.EndPostGap, 155);
  EXPECT_EQ(workspace.File.ResizePermission, ResizeForbidden);
  Run(script);
  EXPECT_EQ(shown, (QStringList{QStringLiteral("2.05"), QStringLiteral("2.05"),
                                Q(text::kModifyForbidden)}));
}

TEST_F(SettingsCommandTest, EqualGapsAndAnEmptyChannelGapAreAccepted) {
  ModalScript script;
  script.Then(Enter(QString(), QStringLiteral("1.00"), ResizeForbidden));
  Run(script);
  EXPECT_EQ(workspace.File.ChannelPostGap, 0);
  EXPECT_EQ(workspace.File.EndPostGap, 75);
  script.Then(Enter(QStringLiteral("1.0"), QStringLiteral("1.00"), ResizeForbidden));
  Run(script);
  EXPECT_EQ(workspace.File.ChannelPostGap, 75);
}

struct RefusalCase {
  const char* name;
  const char* gap1;
  const char* gap2;
  const char* message;
  int focusedGap;  // the field given the focus: 1 or 2
};

class SettingsRefusalTest : public SettingsCommandTest,
                            public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SettingsRefusalTest, KeepsTheDialogOpenAndCancelLeavesTheSettings) {
  ModalScript script;
  script.Then(Enter(Q(GetParam().gap1), Q(GetParam().gap2), ResizeForbidden))
      .Then(AnswerBox(Q(text::kErrorCaption), Q(GetParam().message), {Q(text::kOk)}, Q(text::kOk)))
      .Then(Look(2));
  Run(script);
  EXPECT_EQ(script.Titles, (std::vector<QString>{Q(text::kSettingsCaption), Q(text::kErrorCaption),
                                                 Q(text::kSettingsCaption)}));
  // The entries stay as typed; nothing reached the file.
  EXPECT_EQ(shown,
            (QStringList{Q(GetParam().gap1), Q(GetParam().gap2), Q(text::kModifyForbidden)}));
  EXPECT_EQ(focus, GetParam().focusedGap == 1 ? form4.Gap1 : form4.Gap2)
      << (focus ? focus->objectName().toStdString() : "none");
  EXPECT_EQ(workspace.File.ChannelPostGap, 150);
  EXPECT_EQ(workspace.File.EndPostGap, 150);
  EXPECT_EQ(workspace.File.ResizePermission, ResizeAllowed);
  EXPECT_EQ(FileLength(dir.File("new.xa")), 150LL * 2336);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsRefusalTest,
    ::testing::Values(RefusalCase{"ChannelGapAboveEndGap", "2.01", "2.00", text::kGapTooLarge, 1},
                      RefusalCase{"NegativeChannelGap", "-1.0", "2.00", text::kNegativeGap, 1},
                      RefusalCase{"NegativeEndGap", "1.00", "-1.00", text::kNegativeGap, 2},
                      // Negative gaps are named even where the comparison would refuse too.
                      RefusalCase{"BothNegative", "-1.0", "-2.0", text::kNegativeGap, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsCommandTest, RaisingAndLoweringTheEndGapResizesTheFileAtOnce) {
  ModalScript script;
  script.Then(Enter(QStringLiteral("2.00"), QStringLiteral("4.00"), ResizeAllowed));
  Run(script);
  EXPECT_EQ(FileLength(dir.File("new.xa")), 300LL * 2336);
  script.Then(Enter(QStringLiteral("0.10"), QStringLiteral("0.10"), ResizeAllowed));
  Run(script);
  EXPECT_EQ(FileLength(dir.File("new.xa")), 10LL * 2336);
  EXPECT_EQ(workspace.File.SectorCount, 10);
}

TEST_F(SettingsCommandTest, ForbiddenKeepsTheSizeButStoresTheGap) {
  ModalScript script;
  script.Then(Enter(QStringLiteral("2.00"), QStringLiteral("4.00"), ResizeForbidden));
  Run(script);
  EXPECT_EQ(workspace.File.EndPostGap, 300);
  EXPECT_EQ(FileLength(dir.File("new.xa")), 150LL * 2336);
}

TEST_F(SettingsCommandTest, TheEmptyItemAsksAndTheAnswerIsShownNextTime) {
  prompter.Answers = {false};
  ModalScript script;
  script.Then(Enter(QStringLiteral("2.00"), QStringLiteral("3.00"), ResizeAsk)).Then(Look(2));
  form1.MenuGap->trigger();
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskResize});
  EXPECT_EQ(workspace.File.ResizePermission, ResizeForbidden);
  EXPECT_EQ(FileLength(dir.File("new.xa")), 150LL * 2336);
  Run(script);
  EXPECT_EQ(shown.last(), Q(text::kModifyForbidden));
}

TEST(AppendDialog, AsDesigned) {
  app::TForm5 form;
  EXPECT_EQ(form.windowTitle(), Q(text::kAppendCaption));
  // As designed, made wider where the buttons' captions need it.
  EXPECT_GE(form.width(), 212);
  EXPECT_EQ(form.height(), 161);
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  ASSERT_EQ(form.TrackSel->count(), 32);
  EXPECT_EQ(form.TrackSel->itemText(31), QStringLiteral("31"));
  EXPECT_EQ(form.SpeedSel->itemText(0), Q(text::kSpeedNormal));
  EXPECT_EQ(form.SpeedSel->itemText(1), Q(text::kSpeedDouble));
  const char* qualities[] = {text::kQuality189Mono, text::kQuality189Stereo, text::kQuality378Mono,
                             text::kQuality378Stereo};
  ASSERT_EQ(form.QualitySel->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.QualitySel->itemText(i), Q(qualities[i]));
  for (QComboBox* list : {form.TrackSel, form.SpeedSel, form.QualitySel})
    EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(form.FindButton->text(), Q(text::kFind));
  EXPECT_EQ(form.OKButton->text(), Q(text::kOk));
  EXPECT_TRUE(form.OKButton->isDefault());
  EXPECT_EQ(form.CancelButton->text(), Q(text::kCancel));
  EXPECT_EQ(form.FindButton->y(), form.CancelButton->y());
  // Labels, by their buddies, in the designed order from top to bottom.
  const std::pair<QWidget*, const char*> rows[] = {{form.TrackSel, text::kLabelTrack},
                                                   {form.StartEdit, text::kLabelStart},
                                                   {form.SpeedSel, text::kLabelSpeed},
                                                   {form.ChEdit, text::kLabelChannel},
                                                   {form.QualitySel, text::kLabelQuality}};
  int lastY = -1;
  for (auto [field, caption] : rows) {
    QLabel* label = nullptr;
    for (QLabel* l : form.findChildren<QLabel*>())
      if (l->buddy() == field) label = l;
    ASSERT_NE(label, nullptr) << caption;
    EXPECT_EQ(label->text(), Q(caption));
    EXPECT_LT(label->geometry().right(), field->x());
    EXPECT_GT(field->y(), lastY);
    lastY = field->y();
  }
  EXPECT_EQ(
      TabChain(form.TrackSel, 8),
      (std::vector<QWidget*>{form.TrackSel, form.StartEdit, form.SpeedSel, form.ChEdit,
                             form.QualitySel, form.FindButton, form.OKButton, form.CancelButton}));
}

struct SlotCase {
  const char* name;
  int quality, speed, slot;  // before
  int newQuality, newSpeed;
  int items, selected;  // after
};

class QualitySelChangeTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(QualitySelChangeTest, RebuildsTheSlotsKeepingTheSlotModuloTheInterleave) {
  const SlotCase& c = GetParam();
  app::TForm5 form;
  form.QualitySel->setCurrentIndex(c.quality);
  form.SpeedSel->setCurrentIndex(c.speed);
  form.TrackSel->setCurrentIndex(c.slot);
  form.QualitySel->setCurrentIndex(c.newQuality);
  form.SpeedSel->setCurrentIndex(c.newSpeed);
  EXPECT_EQ(form.TrackSel->count(), c.items);
  EXPECT_EQ(form.TrackSel->currentIndex(), c.selected);
  for (int i = 0; i < form.TrackSel->count(); ++i)
    EXPECT_EQ(form.TrackSel->itemText(i), QString::number(i));
}

INSTANTIATE_TEST_SUITE_P(Changes, QualitySelChangeTest,
                         ::testing::Values(SlotCase{"StereoToMonoKeepsSlot3", 3, 0, 3, 0, 0, 16, 3},
                                           SlotCase{"Slot13Back", 0, 0, 13, 3, 0, 4, 1},
                                           SlotCase{"DoubleSpeedDoubles", 3, 0, 2, 3, 1, 8, 2},
                                           SlotCase{"DoubleSpeedMono189", 0, 0, 5, 0, 1, 32, 5},
                                           SlotCase{"NoSelectionStaysNone", 3, 0, -1, 1, 0, 8, -1},
                                           SlotCase{"Stereo189", 3, 0, 3, 1, 0, 8, 3},
                                           SlotCase{"Mono378FromSlot7", 0, 0, 7, 2, 0, 8, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileFilters, QtFormOfTheDesignedFilters) {
  EXPECT_EQ(app::QtNameFilters(text::kXaFilter),
            QStringLiteral("XAファイル (*.xa);;すべてのファイル (*)"));
  EXPECT_EQ(app::QtNameFilters(text::kOpenFilter),
            QStringLiteral("XAファイル・ディスクイメージ (*.xa *.cue *.bin *.img *.iso);;"
                           "すべてのファイル (*)"));
  EXPECT_EQ(app::QtNameFilters(text::kWavFilter),
            QStringLiteral("WAVファイル (*.wav);;すべてのファイル (*)"));
  EXPECT_EQ(
      app::QtNameFilters(text::kAudioFilter),
      QStringLiteral("音声ファイル (*.wav *.wave *.rf64 *.w64 *.aif *.aiff *.aifc *.flac *.ogg "
                     "*.oga *.opus *.mp3);;すべてのファイル (*)"));
}

constexpr char kOpenFirstFilter[] = "XAファイル・ディスクイメージ (*.xa *.cue *.bin *.img *.iso)";

struct ChooserCase {
  const char* name;
  app::FileDialogKind kind;
  const char* typed;     // file name put into the dialog; nullptr cancels
  const char* expected;  // file name returned, "" for none
  bool save;
  const char* suffix;
  const char* firstFilter;
};

class FileChooserTest : public MainWindowTest, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(FileChooserTest, AnswersWithThePathOrNothing) {
  const ChooserCase& c = GetParam();
  WriteFileBytes(dir.File("old.xa"), "x");
  WriteFileBytes(dir.File("old.wav"), "x");
  app::QtFileChooser chooser(form1);
  ModalScript script;
  script.Then([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), c.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), c.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->defaultSuffix(), QString::fromLatin1(c.suffix));
    ASSERT_EQ(dialog->nameFilters().size(), 2);
    EXPECT_EQ(dialog->nameFilters()[0], Q(c.firstFilter));
    EXPECT_EQ(dialog->nameFilters()[1], Q("すべてのファイル (*)"));
    if (!c.typed) {
      QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
      return;
    }
    dialog->setDirectory(QString::fromStdString(dir.Path()));
    dialog->selectFile(QString::fromStdString(dir.File(c.typed)));
    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
  });
  const std::string chosen = chooser.Choose(c.kind);
  EXPECT_EQ(chosen, *c.expected ? dir.File(c.expected) : std::string());
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FileChooserTest,
    ::testing::Values(ChooserCase{"OpenXa", app::FileDialogKind::OpenDialog, "old.xa", "old.xa",
                                  false, "xa", kOpenFirstFilter},
                      ChooserCase{"OpenCancelled", app::FileDialogKind::OpenDialog, nullptr, "",
                                  false, "xa", kOpenFirstFilter},
                      ChooserCase{"SaveXaGetsItsSuffix", app::FileDialogKind::SaveDialog, "new",
                                  "new.xa", true, "xa", "XAファイル (*.xa)"},
                      ChooserCase{"OpenAudio", app::FileDialogKind::OpenWav, "old.wav", "old.wav",
                                  false, "wav",
                                  "音声ファイル (*.wav *.wave *.rf64 *.w64 *.aif *.aiff *.aifc "
                                  "*.flac *.ogg *.oga *.opus *.mp3)"},
                      ChooserCase{"SaveWavGetsItsSuffix", app::FileDialogKind::SaveWav, "out",
                                  "out.wav", true, "wav", "WAVファイル (*.wav)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorvane::testing
