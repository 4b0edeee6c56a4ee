// The command descriptors against the README's command list, and what the one runner does
// for every command before its body: parsing, usage errors, --yes/--no.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_descriptor.h"
#include "cli/usage_text.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ProgramResult;

// The entries of the indented block under "## Command line" in README.md, one per command,
// a continuation line joined to its entry with "\n" and without the block's indent.
std::vector<std::string> ReadmeCommands() {
  std::ifstream readme(SORVANE_SOURCE_DIR "/README.md");
  std::string line;
  while (std::getline(readme, line) && line != "## Command line") {
  }
  std::vector<std::string> entries;
  while (std::getline(readme, line)) {
    if (line.empty() && !entries.empty()) break;
    if (line.rfind("    ", 0) != 0) continue;
    const std::string text = line.substr(4);
    if (text.rfind("sorvane-cli ", 0) == 0) {
      entries.push_back(text);
    } else if (!entries.empty()) {
      entries.back() += "\n" + text;
    }
  }
  return entries;
}

TEST(CliDescriptors, TheReadmeListsEveryCommandWithItsArgumentsAndOptions) {
  std::vector<std::string> expected;
  for (const cli::CommandDescriptor& command : cli::AllCommands())
    expected.push_back("sorvane-cli " + cli::UsageOf(command));
  expected.push_back("sorvane-cli --help | --version");
  std::vector<std::string> readme = ReadmeCommands();
#ifndef SORVANE_CLI_PLAY
  // Without the sound output there is no play command to list.
  std::erase_if(readme, [](const std::string& e) { return e.rfind("sorvane-cli play ", 0) == 0; });
#endif
  EXPECT_EQ(readme, expected);
}

TEST(CliDescriptors, HelpShowsEveryUsageAndEachCommandItsOwn) {
  const ProgramResult help = testing::RunInProcess("--help");
  EXPECT_EQ(help.ExitStatus, 0);
  for (const cli::CommandDescriptor& command : cli::AllCommands()) {
    const std::string usage = cli::UsageOf(command);
    EXPECT_NE(help.Out.find("  sorvane-cli " + usage + "\n"), std::string::npos) << command.Name;
    const ProgramResult own = testing::RunInProcess(std::string(command.Name) + " --help");
    EXPECT_EQ(own.ExitStatus, 0);
    EXPECT_EQ(own.Out, "usage: sorvane-cli " + usage + "\n");
  }
}

// Usage errors the runner finds before any file is opened (FILE does not exist).
struct UsageCase {
  const char* Name;
  const char* Args;
  const char* Message;
};

const UsageCase kUsageCases[] = {
    {"BothAnswersToImport", "import none.xa 1 in.wav --yes --no",
     "--yes and --no exclude each other"},
    {"BothAnswersToAppend", "append none.xa in.wav --no --yes",
     "--yes and --no exclude each other"},
    {"BothAnswersToDelete", "delete none.xa 1 --yes --no", "--yes and --no exclude each other"},
    {"BothAnswersToSettings", "settings none.xa --yes --no", "--yes and --no exclude each other"},
    {"AnswersToExport", "export none.xa 1 out.wav --yes", "unknown option --yes"},
    {"TooManyArguments", "delete none.xa 1 2", "expected FILE CH"},
    {"TooFewArguments", "import none.xa 1", "expected FILE CH IN.wav"},
    {"BadFit", "import none.xa 1 in.wav --fit half", "--fit takes keep or wav"},
    {"FlagWithoutValue", "new none.xa --force=yes", "unknown option --force=yes"},
    {"ValueMissing", "settings none.xa --end-gap", "option --end-gap needs a value"},
};

class CliUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, IsReportedWithTheCommandsUsage) {
  const ProgramResult r = testing::RunInProcess(GetParam().Args);
  EXPECT_EQ(r.ExitStatus, 2);
  const std::string name =
      std::string(GetParam().Args).substr(0, std::string(GetParam().Args).find(' '));
  std::string usage;
  for (const cli::CommandDescriptor& c : cli::AllCommands())
    if (name == c.Name) usage = cli::UsageOf(c);
  EXPECT_EQ(r.Err, "sorvane-cli: " + std::string(GetParam().Message) + "\nusage: sorvane-cli " +
                       usage + "\n");
  EXPECT_EQ(r.Out, "");
}

INSTANTIATE_TEST_SUITE_P(Cli, CliUsage, ::testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A value that begins with "-" is a value, not an option: the dialog refuses the start.
TEST(CliRunner, AValueMayBeginWithADash) {
  testing::TempDir dir;
  testing::XaBuilder(100).Channel(1, true, true, 0, 4, 5).Write(dir.File("a.xa"));
  const ProgramResult r = testing::RunInProcess(
      {"settings", dir.File("a.xa"), "--channel-gap", "-1.0", "--end-gap", "1.0"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, "ポストギャップに負の値は指定できません。\n");
}

}  // namespace
}  // namespace sorvane
