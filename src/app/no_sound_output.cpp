#include "app/no_sound_output.h"

namespace sorvane::app {
namespace {

// Nothing is called on a device that did not open, so only Open says anything.
class NoSoundOutput final : public AudioOutput {
 public:
  bool Open(const AudioFormat&) override { return false; }
  void Write(int, const std::uint8_t*, int) override {}
  bool IsDone(int) override { return true; }
  bool Position(std::int64_t&) override { return false; }
  void Reset() override {}
  void Close() override {}
  void Sleep(int) override {}
};

}  // namespace

std::unique_ptr<AudioOutput> CreateNoSoundOutput() { return std::make_unique<NoSoundOutput>(); }

}  // namespace sorvane::app
