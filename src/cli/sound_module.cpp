#include "cli/sound_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace sorvane::cli {
namespace {

constexpr char kModuleName[] = "libsorvane_sound.so";

// Where the module may lie: beside the program (the build tree), or in the library folder the
// installation gives it, relative to the program's folder.
std::filesystem::path FindModule() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path folder = program.parent_path();
  for (const std::filesystem::path& candidate :
       {folder / kModuleName, folder / SORVANE_MODULE_FROM_BIN / kModuleName}) {
    if (std::filesystem::exists(candidate, error)) return candidate;
  }
  return {};
}

}  // namespace

std::unique_ptr<AudioOutput> LoadSoundOutput() {
  const std::filesystem::path module = FindModule();
  if (module.empty()) return nullptr;
  // Kept loaded for the rest of the process: SDL's threads may outlive the output.
  void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  using Create = AudioOutput* (*)();
  const auto create = reinterpret_cast<Create>(::dlsym(handle, "SorvaneCreateSoundOutput"));
  return create != nullptr ? std::unique_ptr<AudioOutput>(create()) : nullptr;
}

}  // namespace sorvane::cli
