#include "cli/usage_text.h"

namespace sorvane::cli {
namespace {

constexpr int kNameColumn = 8;
constexpr char kContinuation[] = "\n                     ";  // under the arguments

std::string OptionUsage(const OptionDescriptor& option) {
  std::string text = option.Names;
  if (option.Value != nullptr) text += std::string(" ") + option.Value;
  return option.Required ? text : "[" + text + "]";
}

}  // namespace

std::string UsageOf(const CommandDescriptor& command) {
  std::string usage = command.Name;
  usage.resize(std::max<std::size_t>(usage.size(), kNameColumn), ' ');
  for (const char* argument : command.Arguments) usage += std::string(" ") + argument;
  for (const OptionDescriptor& option : command.Options) {
    if (option.Usage == Shown::Hidden) continue;
    usage += option.Usage == Shown::StartsLine ? kContinuation : " ";
    usage += OptionUsage(option);
  }
  return usage;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "Sorvane %s: edit CD-ROM XA interleaved ADPCM audio files.\n\nusage:\n",
               SORVANE_VERSION);
  for (const CommandDescriptor& c : AllCommands())
    std::fprintf(out, "  sorvane-cli %s\n", UsageOf(c).c_str());
  std::fprintf(out,
               "  sorvane-cli --help | --version\n\n"
               "Every command that takes FILE also takes --entry PATH|@LBA:COUNT when FILE is\n"
               "a disc image (CUE sheet or raw image; `disc` lists its files).\n"
               "Exit status: 0 done, 1 failed or refused, 2 usage error, 3 cancelled.\n");
}

int PrintUsageError(Console& io, const CommandDescriptor* command, const std::string& what) {
  std::fprintf(io.Err, "sorvane-cli: %s\n", what.c_str());
  for (const CommandDescriptor& c : AllCommands()) {
    if (command == nullptr || &c == command)
      std::fprintf(io.Err, "usage: sorvane-cli %s\n", UsageOf(c).c_str());
  }
  return ExitUsage;
}

}  // namespace sorvane::cli
