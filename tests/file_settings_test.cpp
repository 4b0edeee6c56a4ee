#include "edit/file_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

struct GapTextCase {
  const char* text;
  std::int32_t sectors;
};

class ParsePositionTextTest : public ::testing::TestWithParam<GapTextCase> {};

TEST_P(ParsePositionTextTest, ReadsSecondsAndSectors) {
  EXPECT_EQ(ParsePositionText(GetParam().text), GetParam().sectors) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParsePositionTextTest,
    ::testing::Values(GapTextCase{"2.00", 150}, GapTextCase{"2.05", 155}, GapTextCase{"2.5", 155},
                      GapTextCase{"2.50", 200}, GapTextCase{"2", 150}, GapTextCase{"", 0},
                      GapTextCase{".5", 0}, GapTextCase{"abc", 0}, GapTextCase{"1.80", 155},
                      GapTextCase{"-1.0", -75}, GapTextCase{" 3.1", 226},
                      GapTextCase{"2. 5", 155},  // the second number may follow blanks
                      GapTextCase{"2 .5", 150},  // but the point must follow the first at once
                      GapTextCase{"2.x", 150}, GapTextCase{"+1.-5", 70}, GapTextCase{"0.74", 74},
                      GapTextCase{"7seconds", 525}));

TEST(ParsePositionText, HugeNumbersStayDefined) {
  // Clamped to 32 bits before the sum, which then wraps as 32-bit arithmetic does.
  const std::int64_t clamped = 75LL * 2147483647LL;
  EXPECT_EQ(ParsePositionText("99999999999999999999"), static_cast<std::int32_t>(clamped));
  EXPECT_EQ(ParsePositionText("-99999999999999999999"),
            static_cast<std::int32_t>(75LL * -2147483648LL));
}

struct FormatCase {
  std::int32_t sectors;
  const char* text;
};

class FormatGapTextTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatGapTextTest, ShowsSecondsAndTwoDigitSectors) {
  EXPECT_EQ(FormatGapText(GetParam().sectors), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatGapTextTest,
                         ::testing::Values(FormatCase{150, "2.00"}, FormatCase{155, "2.05"},
                                           FormatCase{0, "0.00"}, FormatCase{74, "0.74"},
                                           FormatCase{200, "2.50"}, FormatCase{7500, "100.00"},
                                           FormatCase{-75, "-1.00"}));

TEST(GapText, ReadBackOfAnEnteredTextShowsItNormalised) {
  EXPECT_EQ(FormatGapText(ParsePositionText("2.5")), "2.05");
  EXPECT_EQ(FormatGapText(ParsePositionText("1.80")), "2.05");
}

struct RefusalCase {
  FileSettings settings;
  const char* refusal;  // nullptr: accepted
};

class RefuseFileSettingsTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefuseFileSettingsTest, RefusesNegativeGapsFirstThenAChannelGapAboveTheEndGap) {
  const char* refusal = RefuseFileSettings(GetParam().settings);
  if (GetParam().refusal == nullptr) {
    EXPECT_EQ(refusal, nullptr);
  } else {
    ASSERT_NE(refusal, nullptr);
    EXPECT_STREQ(refusal, GetParam().refusal);
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, RefuseFileSettingsTest,
                         ::testing::Values(RefusalCase{{150, 150, ResizeAllowed}, nullptr},
                                           RefusalCase{{151, 150, ResizeAsk}, text::kGapTooLarge},
                                           RefusalCase{{0, 0, ResizeForbidden}, nullptr},
                                           RefusalCase{{0, 150, ResizeAsk}, nullptr},
                                           RefusalCase{{-75, 150, ResizeAsk}, text::kNegativeGap},
                                           RefusalCase{{0, -1, ResizeAsk}, text::kNegativeGap},
                                           // Both checks would refuse: the negative gap is named.
                                           RefusalCase{{-75, -150, ResizeAsk},
                                                       text::kNegativeGap}));

TEST(FileSettings, CopiesInAndOutOfTheFileState) {
  XaFile xa;
  xa.ChannelPostGap = 10;
  xa.EndPostGap = 20;
  xa.ResizePermission = ResizeForbidden;
  FileSettings s = CurrentSettings(xa);
  EXPECT_EQ(s.ChannelPostGap, 10);
  EXPECT_EQ(s.EndPostGap, 20);
  EXPECT_EQ(s.ResizePermission, ResizeForbidden);
  StoreSettings(xa, {155, 200, ResizeAllowed});
  EXPECT_EQ(xa.ChannelPostGap, 155);
  EXPECT_EQ(xa.EndPostGap, 200);
  EXPECT_EQ(xa.ResizePermission, ResizeAllowed);
}

// What the dialog's OK makes of its entries: the settings read, the refusal and the entry
// that takes the focus.
struct DialogCase {
  const char* name;
  SettingsDialogState entries;
  FileSettings read;
  const char* refusal = nullptr;  // accepted
  SettingsField atFault = SettingsField::ChannelGap;
};

class SettingsDialogOkTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(SettingsDialogOkTest, ReadsTheEntriesAndNamesTheRefusalAndTheFieldAtFault) {
  const DialogCase& c = GetParam();
  const FileSettings read = ReadSettings(c.entries);
  EXPECT_EQ(read.ChannelPostGap, c.read.ChannelPostGap);
  EXPECT_EQ(read.EndPostGap, c.read.EndPostGap);
  EXPECT_EQ(read.ResizePermission, c.read.ResizePermission);
  const char* refusal = RefuseFileSettings(read);
  if (c.refusal == nullptr) {
    EXPECT_EQ(refusal, nullptr) << refusal;
    return;
  }
  ASSERT_NE(refusal, nullptr);
  EXPECT_STREQ(refusal, c.refusal);
  EXPECT_EQ(FieldAtFault(read), c.atFault);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsDialogOkTest,
    ::testing::Values(
        DialogCase{"EqualGaps", {"2.00", "2.00", ResizeAllowed}, {150, 150, ResizeAllowed}},
        DialogCase{"SectorsAfterThePoint", {"2.5", "2.50", ResizeAsk}, {155, 200, ResizeAsk}},
        DialogCase{
            "EmptyChannelGapIsZero", {"", "1.00", ResizeForbidden}, {0, 75, ResizeForbidden}},
        DialogCase{"UnreadableTextIsZero", {"abc", "x", ResizeAsk}, {0, 0, ResizeAsk}},
        DialogCase{"ChannelGapAboveEndGap",
                   {"2.01", "2.00", ResizeForbidden},
                   {151, 150, ResizeForbidden},
                   text::kGapTooLarge,
                   SettingsField::ChannelGap},
        DialogCase{"NegativeChannelGap",
                   {"-1.0", "2.00", ResizeAsk},
                   {-75, 150, ResizeAsk},
                   text::kNegativeGap,
                   SettingsField::ChannelGap},
        DialogCase{"NegativeEndGap",
                   {"1.00", "-1.00", ResizeAsk},
                   {75, -75, ResizeAsk},
                   text::kNegativeGap,
                   SettingsField::EndGap},
        // Both negative: the negative gap is named and the channel gap is at fault.
        DialogCase{"BothNegative",
                   {"-1.0", "-2.0", ResizeAsk},
                   {-75, -150, ResizeAsk},
                   text::kNegativeGap,
                   SettingsField::ChannelGap}),
    [](const auto& info) { return std::string(info.param.name); });

struct ShowCase {
  FileSettings settings;
  SettingsDialogState shown;
};

class ShowSettingsTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowSettingsTest, ShowsTheGapsAsSecondsAndTwoDigitSectorsAndThePermissionsItem) {
  SettingsDialogState dialog{"left", "from before", ResizeAsk};
  ShowSettings(GetParam().settings, dialog);
  EXPECT_EQ(dialog.ChannelGapText, GetParam().shown.ChannelGapText);
  EXPECT_EQ(dialog.EndGapText, GetParam().shown.EndGapText);
  EXPECT_EQ(dialog.ModifyItem, GetParam().shown.ModifyItem);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ShowSettingsTest,
    ::testing::Values(ShowCase{{150, 150, ResizeAllowed}, {"2.00", "2.00", ResizeAllowed}},
                      ShowCase{{155, 200, ResizeForbidden}, {"2.05", "2.50", ResizeForbidden}},
                      ShowCase{{0, 0, ResizeAsk}, {"0.00", "0.00", ResizeAsk}}));

TEST(SettingsDialogState, WhatIsShownReadsBackAsTheSameSettings) {
  for (const FileSettings settings :
       {FileSettings{155, 200, ResizeForbidden}, FileSettings{0, 7500, ResizeAllowed},
        FileSettings{74, 74, ResizeAsk}}) {
    SettingsDialogState dialog;
    ShowSettings(settings, dialog);
    const FileSettings read = ReadSettings(dialog);
    EXPECT_EQ(read.ChannelPostGap, settings.ChannelPostGap);
    EXPECT_EQ(read.EndPostGap, settings.EndPostGap);
    EXPECT_EQ(read.ResizePermission, settings.ResizePermission);
  }
}

// The command over a file whose one channel ends at sector 40, in a file of 100 sectors.
class ApplySettings : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::XaBuilder(100).Channel(1, true, false, 0, 8, 5).Write(path);
    ASSERT_EQ(OpenXaFile(xa, path), 0);
    xa.AudioChannelTable.Append({1, 1, 0, 0, 0, 5, 8});
  }

  testing::TempDir dir;
  std::string path = dir.File("s.xa");
  Workspace work;
  XaFile& xa = work.File;
  testing::ScriptedPrompter prompter;
};

TEST_F(ApplySettings, ARefusalChangesNothing) {
  EXPECT_EQ(ApplyFileSettings(work, {30, 20, ResizeAllowed}, prompter), Outcome::Failed);
  EXPECT_STREQ(xa.LastErrorText, text::kGapTooLarge);
  EXPECT_EQ(xa.ChannelPostGap, 0);
  EXPECT_EQ(xa.ResizePermission, ResizeAsk);
  EXPECT_EQ(xa.SectorCount, 100);
}

TEST_F(ApplySettings, StoresThenBringsTheFileToItsLength) {
  EXPECT_EQ(ApplyFileSettings(work, {10, 30, ResizeAllowed}, prompter), Outcome::Done);
  EXPECT_EQ(xa.ChannelPostGap, 10);
  EXPECT_EQ(xa.EndPostGap, 30);
  EXPECT_EQ(xa.SectorCount, 70);
  EXPECT_EQ(testing::FileLength(path), 70 * kSectorBytes);
  EXPECT_TRUE(prompter.Questions.empty());
}

// "ask" asks; the answer only shapes the result, and the settings stay either way.
TEST_F(ApplySettings, ADeclinedResizeKeepsTheSettingsAndTheLength) {
  prompter.Answers = {false};
  EXPECT_EQ(ApplyFileSettings(work, {10, 30, ResizeAsk}, prompter), Outcome::Done);
  EXPECT_EQ(prompter.Questions, std::vector<std::string>{text::kAskResize});
  EXPECT_EQ(xa.EndPostGap, 30);
  EXPECT_EQ(xa.ResizePermission, ResizeForbidden);
  EXPECT_EQ(xa.SectorCount, 100);
}

}  // namespace
}  // namespace sorvane
