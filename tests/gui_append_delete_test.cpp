// "Ch追加(&A)" and "Ch削除(&D)" end to end on built files: Form5 showing the core's proposal
// and refusals, the import behind OK, and the delete's confirmation.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "app/interleave_map_view.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"
#include "gui_support.h"
#include "support/failing_file_io.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const QStringList kOkOnly{Q(text::kOk)};
const QStringList kOkCancel{Q(text::kOk), Q(text::kCancel)};

// What Form5 shows.
struct Shown {
  QStringList items;
  int slot = -1;
  QString start;
  int speed = -1;
  QString channel;
  int quality = -1;
};

Shown Look(const app::TForm5& form) {
  Shown shown;
  for (int i = 0; i < form.TrackSel->count(); ++i) shown.items << form.TrackSel->itemText(i);
  shown.slot = form.TrackSel->currentIndex();
  shown.start = form.StartEdit->text();
  shown.speed = form.SpeedSel->currentIndex();
  shown.channel = form.ChEdit->text();
  shown.quality = form.QualitySel->currentIndex();
  return shown;
}

QStringList Slots(int count) {
  QStringList items;
  for (int i = 0; i < count; ++i) items << QString::number(i);
  return items;
}

// Types into Form5 as a person would, the lists first.
void Type(app::TForm5& form, int quality, int slot, const char* start, const char* channel) {
  form.QualitySel->setCurrentIndex(quality);
  form.TrackSel->setCurrentIndex(slot);
  form.StartEdit->setText(Q(start));
  form.ChEdit->setText(Q(channel));
}

// Stereo 37.8 kHz WAV of `frames` frames: 2016 frames fill one sector.
void WriteStereoWav(const std::string& path, int frames) {
  WavBuilder(2, 37800, 16)
      .Samples16(Frames16(frames, 2, [](int i, int c) { return (i % 500) * 40 - c * 200; }))
      .Write(path);
}

class AppendTest : public EditorTest {
 protected:
  // Channel 0, 37.8k stereo, at sectors 0, 4, ..., 36 of 300.
  void OpenOneChannel() {
    XaBuilder(300).Channel(0, true, true, 0, 4, 10).Write(xa);
    WriteStereoWav(wav, 2 * 2016);
    Open(xa);
    before = ReadFileBytes(xa);
    files.Answers = {wav};
  }
  app::TForm5* Form5(QWidget* modal) {
    EXPECT_EQ(modal, &form5);
    return &form5;
  }

  std::string xa = dir.File("a.xa");
  std::string wav = dir.File("in.wav");
  std::string before;
};

TEST_F(AppendTest, AFileWithoutChannelsProposesChannelZeroAtTheStart) {
  XaBuilder(150).Write(xa);
  WriteStereoWav(wav, 19 * 2016);
  Open(xa);
  files.Answers = {wav};
  form5.TrackSel->setCurrentIndex(7);  // left from an earlier showing
  Shown shown;
  ModalScript script;
  script
      .Then([&](QWidget* modal) {
        shown = Look(*Form5(modal));
        ClickLater(form5.OKButton);
      })
      // 19 sectors at interleave 4 end at 76; with the post-gap of 150 the file must grow.
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize), kOkCancel, Q(text::kOk)));
  Run(script, [&] { form1.ChAppend->trigger(); });

  EXPECT_EQ(shown.items, Slots(4));
  EXPECT_EQ(shown.slot, 0);
  EXPECT_EQ(shown.start, QStringLiteral("0.0"));
  EXPECT_EQ(shown.speed, 0);
  EXPECT_EQ(shown.channel, QStringLiteral("0"));
  EXPECT_EQ(shown.quality, 3);
  ASSERT_EQ(form1.G->rowCount(), 1);
  EXPECT_EQ(RowTexts(form1, 0), (std::vector<std::string>{"  0", "  0", "  0:00.00", "  0:01.01",
                                                          "  0:01.01", " 37.8k Stereo", "  等速"}));
  EXPECT_EQ(FileLength(xa), (76 + 150) * 2336LL);
}

// Beside 開始位置 and チャンネル the dialog shows what the texts are read as: the record the
// map previews. It opens beside the main window, clear of the map.
TEST_F(AppendTest, ShowsLiveWhatTheStartAndChannelTextsAreReadAs) {
  OpenOneChannel();
  ChannelRecord previewed;
  QObject::connect(&form5, &app::TForm5::ProposalChanged,
                   [&](const ChannelRecord& r) { previewed = r; });
  const char* typed[][2] = {{"0:05.00", "3"}, {"xyz", "xyz"}, {"5.5", "5.5"}};
  bool clear = false;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    clear = !modal->frameGeometry().intersects(
        QRect(form1.Map->mapToGlobal(QPoint(0, 0)), form1.Map->size()));
    for (const auto& t : typed) {
      form5.StartEdit->setText(Q(t[0]));
      form5.ChEdit->setText(Q(t[1]));
      EXPECT_EQ(form5.StartReading->text(),
                Q(text::kStartReading)
                    .arg(previewed.FirstSector)
                    .arg(QString::fromStdString(FormatPlayingTime(previewed.FirstSector))))
          << t[0];
      EXPECT_EQ(form5.ChannelReading->text(), Q(text::kChannelReading).arg(previewed.Channel))
          << t[1];
    }
    EXPECT_EQ(previewed.Channel, 5);  // "5.5" reads as 5
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_TRUE(clear);
}

TEST_F(AppendTest, OkAddsTheProposedChannelToTheList) {
  OpenOneChannel();
  Shown shown;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    shown = Look(*Form5(modal));
    ClickLater(form5.OKButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  // The next channel number, in the first free slot of the first cycle.
  EXPECT_EQ(shown.channel, QStringLiteral("1"));
  EXPECT_EQ(shown.start, QStringLiteral("0.0"));
  EXPECT_EQ(shown.slot, 1);
  EXPECT_EQ(shown.items, Slots(4));
  ASSERT_EQ(form1.G->rowCount(), 2);
  EXPECT_EQ(RowTexts(form1, 1), (std::vector<std::string>{"  1", "  1", "  0:00.00", "  0:00.08",
                                                          "  0:00.08", " 37.8k Stereo", "  等速"}));
  SectorInfo info;
  ASSERT_EQ(ReadSubheader(workspace.File, 1, info), 0);
  EXPECT_EQ(info.Kind, SectorAudio);
  EXPECT_EQ(info.Channel, 1);
}

TEST_F(AppendTest, CancelLeavesTheFileByteForByte) {
  OpenOneChannel();
  ModalScript script;
  script.Then([&](QWidget* modal) {
    Type(*Form5(modal), 0, 5, "3.0", "9");
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
  EXPECT_EQ(form1.G->rowCount(), 1);
}

TEST_F(AppendTest, FindProposesAFreeNumberAndAFreeStartFromWhatWasTyped) {
  OpenOneChannel();
  Shown proposal, found, typedAbove;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    proposal = Look(*Form5(modal));
    // Slot 0 at the start is channel 0's; channel 0 is in use.
    Type(form5, 3, 0, "0.0", "0");
    form5.FindButton->click();
    found = Look(form5);
    // A number above those in use stays; 300 is taken in 8 bits.
    form5.ChEdit->setText(QStringLiteral("300"));
    form5.FindButton->click();
    typedAbove = Look(form5);
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_EQ(found.channel, QStringLiteral("1"));
  EXPECT_EQ(found.start, proposal.start);
  EXPECT_EQ(found.slot, proposal.slot);
  EXPECT_EQ(typedAbove.channel, QStringLiteral("44"));
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

TEST_F(AppendTest, ChangingTheQualityRebuildsTheSlotsThroughTheCore) {
  OpenOneChannel();
  Shown mono, doubled;
  ModalScript script;
  script.Then([&](QWidget* modal) {
    Form5(modal)->TrackSel->setCurrentIndex(3);
    form5.QualitySel->setCurrentIndex(0);  // 18.9k mono: 16 slots
    mono = Look(form5);
    form5.SpeedSel->setCurrentIndex(1);  // double speed: 32
    doubled = Look(form5);
    ClickLater(form5.CancelButton);
  });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_EQ(mono.items, Slots(16));
  EXPECT_EQ(mono.slot, 3);
  EXPECT_EQ(doubled.items, Slots(32));
  EXPECT_EQ(doubled.slot, 3);
}

struct RefusalCase {
  const char* name;
  int slot;
  const char* start;
  const char* channel;
  const char* message;
};

class AppendRefusalTest : public AppendTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(AppendRefusalTest, KeepsTheDialogOpenAndChangesNothing) {
  const RefusalCase& c = GetParam();
  OpenOneChannel();
  bool stillShown = false;
  QWidget* owner = nullptr;
  Shown shown;
  ModalScript script;
  const auto answer = AnswerBox(Q(text::kMessageCaption), Q(c.message), kOkOnly, Q(text::kOk));
  script
      .Then([&](QWidget* modal) {
        Type(*Form5(modal), 3, c.slot, c.start, c.channel);
        ClickLater(form5.OKButton);
      })
      .Then([&](QWidget* box) {
        owner = box->parentWidget();  // the box centres on the dialog
        answer(box);
      })
      .Then([&](QWidget* modal) {
        stillShown = modal == &form5 && form5.isVisible();
        shown = Look(form5);
        ClickLater(form5.CancelButton);
      });
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_TRUE(stillShown);
  EXPECT_EQ(owner, &form5);
  // What was typed stays in every field, with the slots of the quality typed.
  EXPECT_EQ(shown.items, Slots(4));
  EXPECT_EQ(shown.slot, c.slot);
  EXPECT_EQ(shown.start, Q(c.start));
  EXPECT_EQ(shown.channel, Q(c.channel));
  EXPECT_EQ(shown.quality, 3);
  EXPECT_EQ(script.Titles, (std::vector<QString>{Q(text::kAppendCaption), Q(text::kMessageCaption),
                                                 Q(text::kAppendCaption)}));
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(workspace.File.AudioChannelTable.Count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AppendRefusalTest,
    ::testing::Values(RefusalCase{"ChannelInUse", 1, "0.0", "0", text::kChannelInUse},
                      RefusalCase{"Overlap", 0, "0.0", "7", text::kOverlap},
                      RefusalCase{"StartBeforeTheFile", 1, "-1.0", "7", text::kBadStart}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppendTest, AfterARefusedStartTheSlotTypedIsTheSlotUsed) {
  OpenOneChannel();
  Shown afterRefusal;
  ModalScript script;
  script
      .Then([&](QWidget* modal) {
        Type(*Form5(modal), 3, 2, "-1.0", "7");
        ClickLater(form5.OKButton);
      })
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kBadStart), kOkOnly, Q(text::kOk)))
      .Then([&](QWidget*) {
        afterRefusal = Look(form5);
        form5.StartEdit->setText(QStringLiteral("1.0"));
        ClickLater(form5.OKButton);
      })
      // The channel ends past the file's end less its post-gap.
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize), kOkCancel, Q(text::kOk)));
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_EQ(afterRefusal.start, QStringLiteral("-1.0"));
  EXPECT_EQ(afterRefusal.slot, 2);
  EXPECT_EQ(afterRefusal.items, Slots(4));
  ASSERT_EQ(workspace.File.AudioChannelTable.Count, 2);
  const ChannelTable& table = workspace.File.AudioChannelTable;
  const auto added = std::find_if(table.begin(), table.end(),
                                  [](const ChannelRecord& r) { return r.Channel == 7; });
  ASSERT_NE(added, table.end());
  EXPECT_EQ(added->FirstSector, 74);  // 1.0 s is sector 75: the cycle from 72, slot 2
}

TEST_F(AppendTest, AStartPastTheEndWhoseGrowthIsDeclinedIsRefused) {
  OpenOneChannel();
  ModalScript script;
  script
      .Then([&](QWidget* modal) {
        Type(*Form5(modal), 3, 1, "10.0", "1");  // sector 749 of 300
        ClickLater(form5.OKButton);
      })
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize), kOkCancel, Q(text::kCancel)))
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kCannotGrowForAppend), kOkOnly,
                      Q(text::kOk)));
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
  EXPECT_EQ(form1.G->rowCount(), 1);
}

TEST_F(AppendTest, AWavThatCannotBeReadIsReportedBeforeTheDialog) {
  OpenOneChannel();
  WriteFileBytes(wav, "RIFF");
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kWavCannotRead), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

TEST_F(AppendTest, AFullTableIsRefusedBeforeAskingForAWav) {
  OpenOneChannel();
  workspace.File.AudioChannelTable.Count = kMaxRecords;
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kTableFull), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.ChAppendClick(); });
  EXPECT_EQ(files.Answers.size(), 1u);  // the WAV dialog was not shown
}

// Channels 0, 1 and 2, 37.8k stereo, in items 0, 1 and 2 of interleave 4, 10 sectors each.
class DeleteTest : public EditorTest {
 protected:
  void SetUp() override {
    XaBuilder(300)
        .Channel(0, true, true, 0, 4, 10)
        .Channel(1, true, true, 1, 4, 10)
        .Channel(2, true, true, 2, 4, 10)
        .Write(xa);
    Open(xa);
    before = ReadFileBytes(xa);
    form1.G->setCurrentCell(1, 1);
  }
  std::vector<std::string> Channels() {
    std::vector<std::string> column;
    for (int row = 0; row < form1.G->rowCount(); ++row) column.push_back(RowTexts(form1, row)[0]);
    return column;
  }

  std::string xa = dir.File("three.xa");
  std::string before;
};

TEST_F(DeleteTest, OkEmptiesTheChannelsSectorsAndTheListKeepsTheOthersInOrder) {
  ModalScript script;
  QWidget* owner = nullptr;
  auto answer = AnswerBox(Q(text::kMessageCaption), DeleteQuestion(1), kOkCancel, Q(text::kOk));
  script.Then([&](QWidget* box) {
    owner = box->parentWidget();
    answer(box);
  });
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.ChDelete->trigger(); });
  EXPECT_EQ(owner, &form1);
  EXPECT_EQ(Channels(), (std::vector<std::string>{"  0", "  2"}));
  for (int sector = 1; sector < 40; sector += 4) {
    SectorInfo info;
    ASSERT_EQ(ReadSubheader(workspace.File, sector, info), 0);
    EXPECT_EQ(info.Kind, SectorEmpty) << sector;
  }
  EXPECT_EQ(FileLength(xa), 300 * 2336LL);
  EXPECT_GT(watch.VisibleTicks, 0);
  EXPECT_TRUE(watch.MainDisabled);
  EXPECT_TRUE(form1.isEnabled());
}

TEST_F(DeleteTest, CancelChangesNothing) {
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(1), kOkCancel, Q(text::kCancel)));
  Run(script, [&] { form1.ChDeleteClick(); });
  EXPECT_EQ(Channels(), (std::vector<std::string>{"  0", "  1", "  2"}));
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

TEST_F(DeleteTest, AFailedWriteIsShownAndNeverPassedOver) {
  FailingFileIo failing;
  failing.FailAt = 1;
  failing.OnlyPath = xa;
  workspace.File.Io = &failing;
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), DeleteQuestion(1), kOkCancel, Q(text::kOk)))
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kWriteError), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.ChDeleteClick(); });
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

// A file opened read-only is refused before the confirmation is even asked.
TEST_F(DeleteTest, AReadOnlyFileIsRefusedWithTheReasonInTheStatusBar) {
  workspace.File.ReadOnly = true;
  ModalScript script;
  Run(script, [&] { form1.ChDeleteClick(); });
  EXPECT_EQ(form1.findChild<QLabel*>(QStringLiteral("StatusNote"))->text(), Q(text::kNoteReadOnly));
  EXPECT_EQ(Channels(), (std::vector<std::string>{"  0", "  1", "  2"}));
  EXPECT_TRUE(ReadFileBytes(xa) == before);
}

}  // namespace
}  // namespace sorvane::testing
