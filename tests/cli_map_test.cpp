// sorvane-cli map: the owner of every sector as JSON and the picture with its legend, on
// files built in each of the three layouts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "edit/interleave_map.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::ProgramResult;
using testing::TempDir;
using testing::XaBuilder;

// 70 sectors: a data sector at 0, channel 1 on sectors 3, 11, 19, 27 (end 35). The scan
// leaves 70 - 35 = 35 sectors of post-gap, which the data run keeps at 32 and 64 and the
// channel at 35, 43, 51, 59 and 67.
std::string BuildFile(const TempDir& dir, Layout layout) {
  const std::string path = dir.File("map.xa");
  XaBuilder(70, layout).Data(0).Channel(1, true, false, 3, 8, 4).Write(path);
  return path;
}

std::string ExpectedJson() {
  std::vector<int> owner(70, -3);
  owner[0] = -1;
  for (int s : {3, 11, 19, 27}) owner[s] = 1;
  for (int s : {32, 64, 35, 43, 51, 59, 67}) owner[s] = -2;
  std::string text = "{\"sector_count\": 70, \"channel_post_gap\": 35, \"owner\": [";
  for (std::size_t i = 0; i < owner.size(); ++i) text += (i ? ", " : "") + std::to_string(owner[i]);
  return text + "]}\n";
}

// Three columns, one period each; the third holds sectors 64 to 69 only.
std::string ExpectedPicture() {
  std::string text;
  for (int row = 0; row < 32; ++row) {
    const bool channel = row == 11 || row == 19 || row == 27;
    const std::string third = row < 6 ? "·" : " ";
    text += row == 0   ? "▓░░\n"
            : row == 3 ? "A░░\n"
            : channel  ? "A░" + third + "\n"
                       : "··" + third + "\n";
  }
  return text +
         "A ch 1: first sector 3, 4 sectors, interleave 8\n"
         "▓ data\n"
         "░ post-gap (35 sectors)\n"
         "· empty\n";
}

class CliMap : public ::testing::TestWithParam<Layout> {};

TEST_P(CliMap, JsonNamesTheOwnerOfEverySector) {
  TempDir dir;
  ProgramResult run = testing::RunInProcess("map " + BuildFile(dir, GetParam()) + " --json");
  EXPECT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, ExpectedJson());
}

TEST_P(CliMap, PictureHasARowForEachSlotAndALegend) {
  TempDir dir;
  ProgramResult run = testing::RunInProcess("map " + BuildFile(dir, GetParam()) + " --width 3");
  EXPECT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, ExpectedPicture());
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliMap,
                         ::testing::Values(Layout::Plain2336, Layout::Raw2352, Layout::Riff2352));

// Characters of a UTF-8 line.
std::size_t CodePoints(const std::string& line) {
  std::size_t count = 0;
  for (unsigned char c : line) count += (c & 0xC0) != 0x80;
  return count;
}

TEST(CliMapWidth, IsEightyWhereTheOutputIsNoTerminalAndWidensOnRequest) {
  TempDir dir;
  const std::string path = BuildFile(dir, Layout::Plain2336);
  for (auto [args, width] : {std::pair{std::string(""), 80u}, {" --width 200", 200u}}) {
    ProgramResult run = testing::RunInProcess("map " + path + args);
    ASSERT_EQ(run.ExitStatus, 0);
    const std::string first = run.Out.substr(0, run.Out.find('\n'));
    EXPECT_EQ(CodePoints(first), width) << args;
  }
}

TEST(CliMapWidth, ThatIsNoWholeNumberAboveZeroIsAUsageError) {
  TempDir dir;
  const std::string path = BuildFile(dir, Layout::Plain2336);
  for (const char* width : {"0", "-3", "wide", "1.5"}) {
    ProgramResult run = testing::RunInProcess({"map", path, "--width", width});
    EXPECT_EQ(run.ExitStatus, 2) << width;
    EXPECT_EQ(run.Err.rfind("sorvane-cli: --width", 0), 0u) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
}

std::string Painted(const char* mark, MapRgb c) {
  return "\x1b[38;2;" + std::to_string(c.R) + ";" + std::to_string(c.G) + ";" +
         std::to_string(c.B) + "m" + mark + "\x1b[0m";
}

TEST(CliMapOnATerminal, IsAsWideAsTheTerminalAndColoursEachOwner) {
  TempDir dir;
  const std::string path = BuildFile(dir, Layout::Plain2336);
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* out = ::open_memstream(&data, &size);
  std::FILE* in = std::fopen("/dev/null", "r");
  cli::Console console{out, stderr, in, false, false};
  console.OutIsTerminal = true;
  console.OutColumns = 3;
  EXPECT_EQ(cli::RunCli({"map", path}, console), 0);
  std::fclose(in);
  std::fclose(out);
  const std::string text(data, size);
  std::free(data);
  const std::string channel = Painted("█", ChannelColour(1));
  const std::string gap = Painted("░", ChannelColour(1));
  const std::string dataGap = Painted("░", kDataColour);
  EXPECT_EQ(text.substr(0, text.find('\n')), Painted("▓", kDataColour) + dataGap + dataGap);
  std::size_t row3 = 0;
  for (int row = 0; row < 3; ++row) row3 = text.find('\n', row3) + 1;
  EXPECT_EQ(text.substr(row3, text.find('\n', row3) - row3), channel + gap + gap);
  EXPECT_NE(text.find(channel + " ch 1: first sector 3"), std::string::npos);
}

TEST(CliMap, AQuickMapShowsOnlyWhatTheFirstSectorsReveal) {
  TempDir dir;
  const std::string path = dir.File("late.xa");
  XaBuilder(400).Channel(2, false, false, 100, 16, 10).Write(path);
  EXPECT_EQ(testing::RunInProcess("map " + path + " --json --quick").Out.find(", 2,"),
            std::string::npos);
  EXPECT_NE(testing::RunInProcess("map " + path + " --json").Out.find(", 2,"), std::string::npos);
}

}  // namespace
}  // namespace sorvane
