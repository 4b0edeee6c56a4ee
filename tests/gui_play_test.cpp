// "再生(&P)" end to end on a built file, with a scripted sound device.
#include <QAction>
#include <QMessageBox>
#include <QTableWidget>

#include "app/editor_forms.h"
#include "app/no_sound_output.h"
#include "common/fixed_texts.h"
#include "gui_support.h"
#include "support/xa_builder.h"

namespace sorvane::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class PlayTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteTwoChannels(dir.File("two.xa"));
    Open(dir.File("two.xa"));
  }
};

TEST_F(PlayTest, PlaysTheSelectedChannelWithTheMainWindowDisabled) {
  form1.G->setCurrentCell(1, 1);
  ModalScript script;
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuPlay->trigger(); });
  ASSERT_TRUE(audio.OpenedWith.has_value());
  EXPECT_EQ(audio.OpenedWith->Channels, 2);
  EXPECT_EQ(audio.OpenedWith->SampleRate, 44100);
  EXPECT_EQ(audio.Writes.size(), 6u);
  EXPECT_EQ(audio.Count("close"), 1);
  EXPECT_GT(watch.VisibleTicks, 0);
  EXPECT_TRUE(watch.MainDisabled);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(form1.isEnabled());
}

TEST_F(PlayTest, ADeviceThatCannotOpenIsReportedBeforeAnyProgress) {
  audio.OpenFails = true;
  form1.G->setCurrentCell(0, 1);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kWaveDeviceCannotOpen), {Q(text::kOk)},
                        Q(text::kOk)));
  ProgressWatch watch(form1, form2);
  Run(script, [&] { form1.MenuPlay->trigger(); });
  EXPECT_EQ(watch.VisibleTicks, 0);
  EXPECT_TRUE(audio.Writes.empty());
}

TEST_F(PlayTest, CancelStopsTheSoundAtOnceWithoutAMessage) {
  XaBuilder(400).Channel(1, true, true, 0, 4, 90).Write(dir.File("long.xa"));
  Open(dir.File("long.xa"));
  form1.G->setCurrentCell(0, 1);
  ModalScript script;
  ProgressWatch watch(form1, form2, /*cancel=*/true);
  Run(script, [&] { form1.MenuPlay->trigger(); });
  EXPECT_TRUE(watch.Pressed);
  EXPECT_LT(audio.Writes.size(), 90u);
  EXPECT_EQ(audio.Count("reset"), 1);
  EXPECT_EQ(audio.Count("position"), 0);  // no draining: the sound stops at once
  EXPECT_LT(audio.Find("reset"), audio.Find("close"));
}

// The editor built without a sound output: play says that the device cannot be opened, as
// on a machine without a sound card, and the list stays as it was.
TEST(PlayWithoutSoundOutput, ReportsThatTheDeviceCannotBeOpened) {
  TempDir dir;
  XaBuilder(100).Channel(1, true, true, 0, 4, 6).Write(dir.File("one.xa"));
  Workspace workspace;
  const auto none = app::CreateNoSoundOutput();
  app::EditorForms forms(workspace, *none);
  ASSERT_EQ(forms.Form1.OpenByPath(dir.File("one.xa")), 0);
  forms.Form1.show();
  forms.Form1.G->setCurrentCell(0, 1);
  ModalScript script;
  script.Then(AnswerBox(Q(text::kMessageCaption), Q(text::kWaveDeviceCannotOpen), {Q(text::kOk)},
                        Q(text::kOk)));
  ProgressWatch watch(forms.Form1, forms.Form2);
  forms.Form1.MenuPlay->trigger();
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(script.Unexpected.empty());
  EXPECT_EQ(watch.VisibleTicks, 0);
  EXPECT_EQ(RowTexts(forms.Form1, 0)[0], "  1");
}

}  // namespace
}  // namespace sorvane::testing
