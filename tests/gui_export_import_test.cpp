// "WAV出力(&O)", "全チャンネルをWAV出力" and "WAV入力(&I)" end to end on built files: the real
// progress window, message boxes and length dialog, answered from the test.
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "common/fixed_texts.h"
#include "edit/channel_export.h"
#include "edit/file_open.h"
#include "edit/workspace.h"
#include "gui_support.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// A message box step that also records the window that owns the box.
ModalScript::Step AnswerBoxRecordingOwner(QWidget*& owner, const char* text, QStringList buttons,
                                          const char* press) {
  auto answer = AnswerBox(Q(text::kMessageCaption), Q(text), buttons, Q(press));
  return [&owner, answer](QWidget* box) {
    owner = box->parentWidget();
    answer(box);
  };
}

const QStringList kOkOnly{Q(text::kOk)};
const QStringList kOkCancel{Q(text::kOk), Q(text::kCancel)};

// Channel 2, 18.9k mono, at sectors 0, 16, ... (5 of them), and channel 1, 37.8k stereo, at
// sectors 1, 5, ... (6 of them): the list shows channel 2 first.
void WriteTwoQualities(const std::string& path) {
  XaBuilder(100).Channel(2, false, false, 0, 16, 5).Channel(1, true, true, 1, 4, 6).Write(path);
}

struct ExportCase {
  const char* name;
  int row;
  int channels, rate, bytesPerSecond, align;
  int sectors;
};

class ExportTest : public EditorTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportTest, WritesTheSelectedChannelWithTheMainWindowDisabled) {
  const ExportCase& c = GetParam();
  WriteTwoQualities(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  form1.G->setCurrentCell(c.row, 1);
  files.Answers = {dir.File("out.wav")};
  ModalScript script;
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuWavO->trigger(); });

  const std::string wav = ReadFileBytes(dir.File("out.wav"));
  const long long length = 44 + 9408LL * c.sectors;
  ASSERT_EQ(static_cast<long long>(wav.size()), length);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), length - 8);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 16u);
  EXPECT_EQ(Le16(wav, 20), 1);
  EXPECT_EQ(Le16(wav, 22), c.channels);
  EXPECT_EQ(Le32(wav, 24), static_cast<std::uint32_t>(c.rate));
  EXPECT_EQ(Le32(wav, 28), static_cast<std::uint32_t>(c.bytesPerSecond));
  EXPECT_EQ(Le16(wav, 32), c.align);
  EXPECT_EQ(Le16(wav, 34), 16);
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(Le32(wav, 40), length - 44);

  EXPECT_GT(watch.VisibleTicks, 0);
  EXPECT_TRUE(watch.MainDisabled);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());
  EXPECT_EQ(form1.G->currentRow(), c.row);
}

INSTANTIATE_TEST_SUITE_P(Channels, ExportTest,
                         ::testing::Values(ExportCase{"Mono189", 0, 1, 22050, 44100, 2, 5},
                                           ExportCase{"Stereo378", 1, 2, 44100, 176400, 4, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ACancelledExportSaysSoAndLeavesAValidWav) {
  WriteTwoQualities(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  files.Answers = {dir.File("out.wav")};
  ModalScript script;
  QWidget* owner = nullptr;
  script.Then(AnswerBoxRecordingOwner(owner, text::kCancelled, kOkOnly, text::kOk));
  ProgressWatch watch(form1, form2, /*cancel=*/true);
  Run(script, [&] { form1.MenuWavOClick(); });
  EXPECT_TRUE(watch.Pressed);
  EXPECT_EQ(owner, &form1);
  // Cancelled at the first step: the header alone, with its lengths fixed up.
  const std::string wav = ReadFileBytes(dir.File("out.wav"));
  ASSERT_EQ(wav.size(), 44u);
  EXPECT_EQ(Le32(wav, 4), 36u);
  EXPECT_EQ(Le32(wav, 40), 0u);
  EXPECT_TRUE(form1.isEnabled());
}

TEST_F(EditorTest, AnExportThatCannotCreateItsFileSaysSo) {
  WriteTwoQualities(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  files.Answers = {dir.File("no-such-folder/out.wav")};
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kWavCannotOpen), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.MenuWavOClick(); });
}

// The open file under its own name or reached through a link: refused, the file untouched.
TEST_F(EditorTest, AnExportOntoTheOpenFileIsRefusedWhateverItsName) {
  const std::string xa = dir.File("two.xa");
  WriteTwoQualities(xa);
  ASSERT_EQ(::symlink(xa.c_str(), dir.File("link.wav").c_str()), 0);
  ASSERT_EQ(::link(xa.c_str(), dir.File("hard.wav").c_str()), 0);
  Open(xa);
  const std::string before = ReadFileBytes(xa);
  for (const std::string& name : {xa, dir.File("link.wav"), dir.File("hard.wav")}) {
    files.Answers = {name};
    ModalScript script;
    script.Then(
        AnswerBox(Q(text::kMessageCaption), Q(text::kExportOntoOpenFile), kOkOnly, Q(text::kOk)));
    Run(script, [&] { form1.MenuWavOClick(); });
    EXPECT_TRUE(ReadFileBytes(xa) == before) << name;
  }
}

// Channel 1, 37.8k stereo, at sectors 4, 8, ..., 40 of 200; the scan leaves an end post-gap
// of 156 sectors.
constexpr int kImportSectors = 200;
void WriteTenSectorChannel(const std::string& path) {
  XaBuilder(kImportSectors).Channel(1, true, true, 4, 4, 10).Write(path);
}

// 20160 frames at 44100 Hz are 17280 at 37800: 9 sectors, one fewer than the channel has.
void WriteShorterWav(const std::string& path) {
  WavBuilder(2, 44100, 16)
      .Samples16(Frames16(20160, 2, [](int i, int c) { return (i % 1000) * 20 - c * 300; }))
      .Write(path);
}

struct LengthCase {
  const char* name;
  bool second;  // Sel2 instead of Sel1
  bool ok;      // OK instead of キャンセル
  int count;
  const char* lengthCell;
  bool resizeQuestion;  // the file no longer ends at its post-gap
  bool unchanged;
};

class ImportLengthTest : public EditorTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(ImportLengthTest, Form3DecidesTheLengthAndTheListShowsIt) {
  const LengthCase& c = GetParam();
  const std::string xa = dir.File("ten.xa");
  WriteTenSectorChannel(xa);
  WriteShorterWav(dir.File("in.wav"));
  Open(xa);
  const std::string before = ReadFileBytes(xa);
  ASSERT_EQ(RowTexts(form1, 0)[4], "  0:00.40");

  files.Answers = {dir.File("in.wav")};
  form3.Sel2->setChecked(true);  // left from an earlier showing
  ModalScript script;
  bool firstChecked = false;
  script.Then([&](QWidget* modal) {
    ASSERT_EQ(modal, &form3);
    // The described text, then both lengths: 9 sectors of sound, the channel's 10.
    EXPECT_EQ(form3.Msg->text(),
              Q(text::kWavShorter) + "\n\n" + Q(text::kLengthBoth).arg("0:00.36", "0:00.40"));
    // Both lengths have room: the choices below them, the line whole.
    EXPECT_LT(form3.Msg->geometry().bottom(), form3.Sel1->geometry().top());
    EXPECT_LE(form3.Msg->sizeHint().width(), form3.Msg->width());
    EXPECT_LE(form3.Button2->geometry().right(), form3.width());
    EXPECT_EQ(form3.Sel2->text(), Q(text::kFollowWav));
    firstChecked = form3.Sel1->isChecked();
    if (c.second) form3.Sel2->setChecked(true);
    ClickLater(c.ok ? form3.Button1 : form3.Button2);
  });
  if (c.resizeQuestion)
    script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize), kOkCancel, Q(text::kOk)));
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuWavI->trigger(); });

  EXPECT_TRUE(firstChecked);
  EXPECT_EQ(workspace.File.AudioChannelTable.Records[0].SectorCount, c.count);
  EXPECT_EQ(RowTexts(form1, 0)[4], c.lengthCell);
  EXPECT_EQ(ReadFileBytes(xa) == before, c.unchanged);
  if (c.unchanged) {
    EXPECT_EQ(watch.VisibleTicks, 0);
  } else {
    EXPECT_GT(watch.VisibleTicks, 0);
    EXPECT_TRUE(watch.MainDisabled);
  }
  // After "WAVデータに合わせる" the file ends at the new end plus its post-gap.
  const long long sectors = c.resizeQuestion ? 4 + 4 * c.count + 156 : kImportSectors;
  EXPECT_EQ(FileLength(xa), sectors * 2336);
  EXPECT_TRUE(form1.isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ImportLengthTest,
    ::testing::Values(LengthCase{"KeepOriginal", false, true, 10, "  0:00.40", false, false},
                      LengthCase{"FollowWav", true, true, 9, "  0:00.36", true, false},
                      LengthCase{"Cancel", true, false, 10, "  0:00.40", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, AWavOfTheChannelsLengthAsksNothing) {
  WriteTenSectorChannel(dir.File("ten.xa"));
  WavBuilder(2, 37800, 16)
      .Samples16(Frames16(20160, 2, [](int i, int) { return i; }))
      .Write(dir.File("in.wav"));
  Open(dir.File("ten.xa"));
  const std::string before = ReadFileBytes(dir.File("ten.xa"));
  files.Answers = {dir.File("in.wav")};
  ModalScript script;
  Run(script, [&] { form1.MenuWavIClick(); });
  EXPECT_FALSE(ReadFileBytes(dir.File("ten.xa")) == before);
  EXPECT_EQ(RowTexts(form1, 0)[4], "  0:00.40");
}

TEST_F(EditorTest, AnImportOfAFileThatIsNoWavShowsTheReadersMessage) {
  WriteTenSectorChannel(dir.File("ten.xa"));
  WriteFileBytes(dir.File("in.wav"), std::string(100, 'x'));
  Open(dir.File("ten.xa"));
  const std::string before = ReadFileBytes(dir.File("ten.xa"));
  files.Answers = {dir.File("in.wav")};
  ModalScript script;
  script.Then(
      AnswerBox(Q(text::kMessageCaption), Q(text::kWavUnexpectedLayout), kOkOnly, Q(text::kOk)));
  Run(script, [&] { form1.MenuWavIClick(); });
  EXPECT_TRUE(ReadFileBytes(dir.File("ten.xa")) == before);
}

// The channel of WriteTenSectorChannel with data sectors 64 to 71, which the scan of the
// first 64 sectors does not list: a longer channel runs into them.
TEST_F(EditorTest, TheOverwriteQuestionBelongsToTheProgressWindowAndItsCancelIsReported) {
  const std::string xa = dir.File("data.xa");
  XaBuilder(kImportSectors).Channel(1, true, true, 4, 4, 10).DataRange(64, 8).Write(xa);
  WavBuilder(2, 37800, 16)
      .Samples16(Frames16(20 * 2016, 2, [](int i, int) { return i % 3000; }))
      .Write(dir.File("in.wav"));
  Open(xa);
  files.Answers = {dir.File("in.wav")};
  ModalScript script;
  QWidget* questionOwner = nullptr;
  QWidget* noticeOwner = nullptr;
  script
      .Then([&](QWidget* modal) {
        ASSERT_EQ(modal, &form3);
        EXPECT_EQ(form3.Msg->text(),
                  Q(text::kWavLonger) + "\n\n" + Q(text::kLengthBoth).arg("0:01.05", "0:00.40"));
        form3.Sel2->setChecked(true);
        ClickLater(form3.Button1);
      })
      // 20 sectors end at 84; with the post-gap of 156 the file must grow.
      .Then(AnswerBox(Q(text::kMessageCaption), Q(text::kAskResize), kOkCancel, Q(text::kOk)))
      .Then(
          AnswerBoxRecordingOwner(questionOwner, text::kAskOverwriteData, kOkCancel, text::kCancel))
      .Then(AnswerBoxRecordingOwner(noticeOwner, text::kCancelled, kOkOnly, text::kOk));
  Run(script, [&] { form1.MenuWavIClick(); });
  EXPECT_EQ(questionOwner, &form2);
  EXPECT_EQ(noticeOwner, &form1);
  // The sectors before the data hold the channel; the data is untouched; the list shows the
  // length chosen in Form3.
  SectorInfo info;
  ASSERT_EQ(ReadSubheader(workspace.File, 60, info), 0);
  EXPECT_EQ(info.Kind, SectorAudio);
  EXPECT_EQ(info.Channel, 1);
  ASSERT_EQ(ReadSubheader(workspace.File, 64, info), 0);
  EXPECT_EQ(info.Kind, SectorData);
  EXPECT_EQ(workspace.File.AudioChannelTable.Records[0].SectorCount, 20);
  EXPECT_EQ(RowTexts(form1, 0)[4], "  0:01.05");
  EXPECT_TRUE(form1.isEnabled());
  EXPECT_FALSE(form2.isVisible());
}

// What a run that exports only `channel` of the file writes: a fresh decoder state.
std::string ExportAlone(const std::string& xa, int channel, const std::string& wav) {
  auto alone = std::make_unique<Workspace>();
  SilentProgress silent;
  if (OpenAndScan(alone->File, xa, ScanExtent::FirstSectors, silent) != Outcome::Done) return "";
  for (const ChannelRecord& r : alone->File.AudioChannelTable) {
    if (r.Channel == channel && ExportChannel(*alone, r, wav, silent) == Outcome::Done)
      return ReadFileBytes(wav);
  }
  return "";
}

TEST_F(EditorTest, ExportAllWritesEveryChannelAsItsOwnExportWouldIntoTheChosenFolder) {
  XaBuilder(100)
      .Noise(5)
      .Channel(2, false, false, 0, 16, 5)
      .Channel(1, true, true, 1, 4, 6)
      .Write(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  std::filesystem::create_directory(dir.File("wavs"));
  files.Answers = {dir.File("wavs")};
  ModalScript script;
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuExportAll->trigger(); });
  EXPECT_EQ(files.Asked, std::vector<app::FileDialogKind>{app::FileDialogKind::WavFolder});
  EXPECT_GT(watch.VisibleTicks, 0);
  EXPECT_TRUE(watch.MainDisabled);
  int found = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.File("wavs"))) {
    (void)e;
    ++found;
  }
  EXPECT_EQ(found, 2);
  for (int channel : {1, 2}) {
    const std::string name = "two_ch00" + std::to_string(channel) + ".wav";
    const std::string alone = ExportAlone(dir.File("two.xa"), channel, dir.File("alone.wav"));
    ASSERT_FALSE(alone.empty());
    EXPECT_TRUE(ReadFileBytes(dir.File("wavs/" + name)) == alone) << name;
  }
}

TEST_F(EditorTest, ACancelledExportAllSaysSoAndLeavesNoPartialWav) {
  WriteTwoQualities(dir.File("two.xa"));
  Open(dir.File("two.xa"));
  std::filesystem::create_directory(dir.File("wavs"));
  files.Answers = {dir.File("wavs")};
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kCancelled), kOkOnly, Q(text::kOk)));
  ProgressWatch watch(form1, form2, /*cancel=*/true);
  Run(script, [&] { form1.MenuExportAllClick(); });
  EXPECT_TRUE(watch.Pressed);
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("wavs")));
  EXPECT_TRUE(form1.isEnabled());
}

}  // namespace
}  // namespace sorvane::testing
