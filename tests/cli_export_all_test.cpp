// sorvane-cli `export-all`: its report on standard output and error, its usage errors, and
// Ctrl-C in a real process.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/process_tools.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using testing::ProgramResult;
using testing::RunInProcess;
using testing::XaBuilder;

class CliExportAllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(in_);
    XaBuilder(100)
        .Noise(7)
        .Channel(3, true, true, 0, 4, 10)
        .Channel(9, false, false, 1, 16, 4)
        .Write(in_ + "/one.xa");
    testing::WriteFileBytes(in_ + "/broken.xa", "no sectors at all");
  }

  testing::TempDir dir_;
  std::string in_ = dir_.File("in");
  std::string out_ = dir_.File("out");
};

TEST_F(CliExportAllTest, JsonHasOneObjectPerFileInTheOrderFound) {
  const ProgramResult r = RunInProcess({"export-all", in_, "--out", out_, "--json"});
  EXPECT_EQ(r.ExitStatus, 1);
  const std::string failure = RunInProcess({"list", in_ + "/broken.xa"}).Err;
  ASSERT_FALSE(failure.empty());
  const std::string message = failure.substr(0, failure.size() - 1);
  EXPECT_EQ(r.Err, in_ + "/broken.xa: " + failure);
  const long long stereo = 44 + 9408 * 10;
  const long long mono = 44 + 9408 * 4;
  EXPECT_EQ(r.Out, "[{\"file\": \"" + in_ + "/broken.xa\", \"channels\": [], \"error\": \"" +
                       message + "\"}, {\"file\": \"" + in_ +
                       "/one.xa\", \"channels\": [{\"channel\": 3, \"wav\": \"" + out_ +
                       "/one_ch003.wav\", \"bytes\": " + std::to_string(stereo) +
                       "}, {\"channel\": 9, \"wav\": \"" + out_ + "/one_ch009.wav\", \"bytes\": " +
                       std::to_string(mono) + "}], \"error\": null}]\n");
}

TEST_F(CliExportAllTest, ReplacesExistingWavsAndSaysNothingWhenAllIsDone) {
  fs::create_directories(out_);
  testing::WriteFileBytes(out_ + "/one_ch003.wav", std::string(500000, 'x'));
  const ProgramResult r = RunInProcess({"export-all", in_ + "/one.xa", "--out", out_});
  EXPECT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(testing::FileLength(out_ + "/one_ch003.wav"), 44 + 9408 * 10);
  EXPECT_EQ(testing::FileLength(out_ + "/one_ch009.wav"), 44 + 9408 * 4);
}

struct UsageCase {
  const char* Name;
  std::vector<std::string> Args;
  const char* Message;
};

const UsageCase kUsageCases[] = {
    {"NoOutputFolder", {"a.xa"}, "option --out is required"},
    {"NoPath", {"--out", "o"}, "expected PATH..."},
    {"NoJobs", {"a.xa", "--out", "o", "--jobs", "0"}, "--jobs takes a number from 1 to 256"},
    {"JobsNotANumber",
     {"a.xa", "--out", "o", "--jobs", "two"},
     "--jobs takes a number from 1 to 256"},
};

class CliExportAllUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliExportAllUsage, IsAUsageError) {
  std::vector<std::string> args = {"export-all"};
  args.insert(args.end(), GetParam().Args.begin(), GetParam().Args.end());
  const ProgramResult r = RunInProcess(args);
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_EQ(r.Err.rfind("sorvane-cli: " + std::string(GetParam().Message) + "\n", 0), 0u) << r.Err;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliExportAllUsage, ::testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Ctrl-C pressed as the program starts: the run stops with the cancel message and exit 3,
// and every WAV under a final name is whole; no temporary file is left.
TEST(CliExportAllInterrupt, StopsCleanlyAndLeavesNoPartialWav) {
  testing::TempDir dir;
  for (const char* name : {"a.xa", "b.xa", "c.xa"})
    XaBuilder(3000).Noise(1).Channel(1, true, true, 0, 4, 740).Write(dir.File(name));
  testing::RunOptions options;
  options.InterruptPending = true;
  const ProgramResult r = testing::RunProgram(
      {SORVANE_CLI, "export-all", dir.Path(), "--out", dir.File("out"), "--jobs", "2"}, options);
  EXPECT_EQ(r.ExitStatus, 3);
  EXPECT_EQ(r.Err, std::string(text::kCancelled) + "\n");
  if (!fs::exists(dir.File("out"))) return;
  for (const fs::directory_entry& e : fs::directory_iterator(dir.File("out")))
    EXPECT_EQ(fs::file_size(e.path()), 44u + 9408 * 740) << e.path();
}

}  // namespace
}  // namespace sorvane
