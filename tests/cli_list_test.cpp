// sorvane-cli in-process: list and new, usage and exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::ProgramResult;
using testing::TempDir;
using testing::XaBuilder;

TEST(CliNew, CreatesAnEmptyFileAndRefusesToReplaceOneWithoutForce) {
  TempDir dir;
  const std::string path = dir.File("new.xa");
  EXPECT_EQ(testing::RunInProcess("new " + path).ExitStatus, 0);
  EXPECT_EQ(testing::FileLength(path), 350400);
  ProgramResult again = testing::RunInProcess("new " + path);
  EXPECT_EQ(again.ExitStatus, 1);
  EXPECT_NE(again.Err.find("--force"), std::string::npos);
  EXPECT_EQ(testing::RunInProcess("new " + path + " --force").ExitStatus, 0);
  ProgramResult bad = testing::RunInProcess("new " + dir.File("no/such/x.xa"));
  EXPECT_EQ(bad.ExitStatus, 1);
  EXPECT_EQ(bad.Err, std::string(text::kCannotOpenFile) + "\n");
}

TEST(CliList, PrintsTheListsCellsInEachUnit) {
  TempDir dir;
  const std::string path = dir.File("list.xa");
  XaBuilder(1000).Channel(1, true, false, 3, 8, 124).Write(path);
  ProgramResult time = testing::RunInProcess("list " + path + " --quick");
  EXPECT_EQ(time.ExitStatus, 0);
  EXPECT_EQ(time.Out,
            " Ch  Trk 開始位置 終了位置 再生時間     音質   回転\n"
            "  1   3   0:00.00   0:13.17   0:13.17  37.8k Mono   等速\n");
  ProgramResult hex = testing::RunInProcess("list " + path + " --quick --units hex");
  EXPECT_EQ(hex.Out,
            " Ch  Trk 開始位置 終了位置   長さ     音質   回転\n"
            "  1   3       3     3E3     3E0  37.8k Mono   等速\n");
}

TEST(CliList, JsonHoldsTheFileTheTablesAndTheWarnings) {
  TempDir dir;
  const std::string path = dir.File("j.xa");
  XaBuilder(1000).DataRange(0, 2).Channel(1, true, false, 3, 8, 125).Write(path);
  ProgramResult run = testing::RunInProcess("list " + path + " --json --units sectors");
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_EQ(
      run.Out,
      "{\"path\": \"" + path +
          "\", \"layout\": \"plain-2336\", \"sector_count\": 1000, "
          "\"channel_post_gap\": 5, \"end_post_gap\": 5, \"resize_permission\": 0, \"units\": "
          "\"sectors\", "
          "\"header\": [\" Ch\", \" Trk\", \"開始位置\", \"終了位置\", \"  長さ\", \"    音質\", "
          "\"  回転\"], "
          "\"channels\": [{\"channel\": 1, \"high_rate\": 1, \"stereo\": 0, \"double_speed\": 0, "
          "\"first_sector\": 3, \"sector_count\": 124, \"interleave\": 8, \"cells\": [\"  1\", \"  "
          "3\", "
          "\"      3\", \"    995\", \"    992\", \" 37.8k Mono\", \"  等速\"]}], "
          "\"data_runs\": [{\"first_sector\": 0, \"sector_count\": 1, \"interleave\": 32}, "
          "{\"first_sector\": 1, \"sector_count\": 1, \"interleave\": 32}], "
          "\"warnings\": [\"このデータには重複したチャンネルNoのデータが存在します\"]}\n");
}

struct FailureCase {
  const char* name;
  std::string args;  // FILE is replaced by the path of a file holding `bytes`
  std::string bytes;
  int status;
  std::string err;
};

class CliFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CliFailures, PrintTheMessageAndExitWithTheirStatus) {
  TempDir dir;
  const std::string path = dir.File("f.xa");
  testing::WriteFileBytes(path, GetParam().bytes);
  std::string args = GetParam().args;
  if (auto at = args.find("FILE"); at != std::string::npos) args.replace(at, 4, path);
  ProgramResult run = testing::RunInProcess(args);
  EXPECT_EQ(run.ExitStatus, GetParam().status);
  EXPECT_EQ(run.Err.substr(0, GetParam().err.size()), GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailures,
    ::testing::Values(
        FailureCase{"seven_bytes", "list FILE", "1234567", 1,
                    std::string(text::kDetectReadError) + "\n"},
        FailureCase{"scan_fails", "list FILE",
                    XaBuilder(100).Channel(1, true, true, 0, 6, 10).Bytes(), 1,
                    std::string(text::kInconsistentRate) + "\n"},
        FailureCase{"bad_unit", "list FILE --units days", "", 2, "sorvane-cli: --units"},
        FailureCase{"no_file", "list", "", 2, "sorvane-cli: expected FILE"},
        FailureCase{"unknown_option", "list FILE --fast", "", 2,
                    "sorvane-cli: unknown option --fast"},
        FailureCase{"unknown_command", "frobnicate", "", 2, "sorvane-cli: unknown command"},
        FailureCase{"missing_value", "list FILE --units", "", 2,
                    "sorvane-cli: option --units needs a value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliList, AFullScanFindsWhatTheQuickOneMisses) {
  TempDir dir;
  const std::string path = dir.File("late.xa");
  XaBuilder(400).Channel(2, false, false, 100, 16, 10).Write(path);
  EXPECT_EQ(testing::RunInProcess("list " + path + " --quick").Out.find("\n  2"),
            std::string::npos);
  EXPECT_NE(testing::RunInProcess("list " + path).Out.find("\n  2 "), std::string::npos);
}

TEST(CliHelp, HelpAndVersionSucceed) {
  TempDir dir;
  ProgramResult help = testing::RunInProcess("--help");
  EXPECT_EQ(help.ExitStatus, 0);
  EXPECT_NE(help.Out.find("sorvane-cli list"), std::string::npos);
  ProgramResult version = testing::RunInProcess("--version");
  EXPECT_EQ(version.ExitStatus, 0);
  EXPECT_EQ(version.Out.rfind("sorvane-cli ", 0), 0u);
  EXPECT_EQ(testing::RunInProcess("list --help").ExitStatus, 0);
}

}  // namespace
}  // namespace sorvane
