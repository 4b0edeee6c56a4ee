// Byte-exact records of what the command line writes and prints, over built files in every
// layout and quality: a reshaping of the code must leave every one of them unchanged. Each
// step's record is a hash of its exit status, output and the bytes of the file it wrote.
// SORVANE_RECORD=1 prints the table of hashes in the form of kRecords below.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/process_tools.h"
#include "support/signals.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::Layout;
using testing::ProgramResult;
using testing::TempDir;
using testing::XaBuilder;

// FNV-1a, 64 bits: enough to tell any change of the bytes recorded.
std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Four channels of sound (one of each quality), data sectors, and empty sectors between.
void WriteSoundFile(const std::string& path, Layout layout) {
  struct Ch {
    int Channel;
    bool HighRate, Stereo;
    int First, Interleave, Count;
  };
  const Ch channels[] = {{1, true, true, 0, 4, 40},
                         {2, true, false, 1, 8, 20},
                         {3, false, true, 5, 8, 20},
                         {4, false, false, 3, 16, 10}};
  XaBuilder builder(260, layout);
  for (const Ch& c : channels) {
    builder.Channel(c.Channel, c.HighRate, c.Stereo, c.First, c.Interleave, c.Count);
    for (int k = 0; k < c.Count; ++k) {
      builder.Payload(c.First + k * c.Interleave, testing::VariedSound(k + c.Channel).Payload());
    }
  }
  builder.DataRange(200, 12).Write(path);
}

class CliRegression : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WavBuilder(2, 44100, 16)
        .Samples16(testing::ChordWithSweep(44100, 1.5, 2))
        .Write(stereoWav);
    std::vector<std::uint8_t> mono8;
    for (int16_t s : testing::ChordWithSweep(22050, 3.0, 1))
      mono8.push_back(std::uint8_t((s >> 8) + 128));
    testing::WavBuilder(1, 22050, 8).Samples8(mono8).Write(monoWav);
  }

  // Runs one command and records its status, output (paths of the test's folder replaced)
  // and the bytes of `written` afterwards.
  void Step(const std::string& name, const std::string& args, const std::string& written) {
    const ProgramResult r = testing::RunWords(SORVANE_CLI, args);
    std::string record = std::to_string(r.ExitStatus) + "\n" + r.Out + "\n" + r.Err + "\n";
    record = ReplaceAll(record, dir.Path(), "DIR");
    if (!written.empty()) record += testing::ReadFileBytes(written);
    actual[name] = Hash(record);
  }

  void EditSteps(const std::string& prefix, Layout layout) {
    const std::string xa = dir.File(prefix + ".xa");
    auto fresh = [&] { WriteSoundFile(xa, layout); };
    fresh();
    Step(prefix + "/list-json", "list " + xa + " --json", "");
    Step(prefix + "/list-sectors", "list " + xa + " --units sectors", "");
    Step(prefix + "/list-hex", "list " + xa + " --units hex --quick", "");
    for (int ch = 1; ch <= 4; ++ch) {
      const std::string wav = dir.File("out.wav");
      Step(prefix + "/export-" + std::to_string(ch),
           "export " + xa + " " + std::to_string(ch) + " " + wav, wav);
    }
    Step(prefix + "/import-keep", "import " + xa + " 2 " + stereoWav, xa);
    Step(prefix + "/import-wav", "import " + xa + " 1 " + monoWav + " --fit wav --yes", xa);
    Step(prefix + "/import-declined", "import " + xa + " 4 " + monoWav + " --fit wav --no", xa);
    fresh();
    Step(prefix + "/append-default", "append " + xa + " " + stereoWav + " --yes", xa);
    Step(
        prefix + "/append-options",
        "append " + xa + " " + monoWav + " --channel 9 --quality 18.9s --speed double --find --yes",
        xa);
    Step(prefix + "/append-start",
         "append " + xa + " " + monoWav + " --quality 37.8m --start 3.0 --yes", xa);
    Step(prefix + "/append-overlap", "append " + xa + " " + monoWav + " --quality 37.8s --slot 0",
         xa);
    fresh();
    Step(prefix + "/delete", "delete " + xa + " 3 --yes", xa);
    Step(prefix + "/delete-declined", "delete " + xa + " 1 --no", xa);
    fresh();
    Step(prefix + "/settings-show", "settings " + xa + " --json", xa);
    Step(prefix + "/settings-grow",
         "settings " + xa + " --channel-gap 1.00 --end-gap 9.00 --resize allow --yes --json", xa);
    Step(prefix + "/settings-shrink",
         "settings " + xa + " --channel-gap 0.50 --end-gap 0.50 --resize allow", xa);
    Step(prefix + "/settings-refused", "settings " + xa + " --channel-gap 2.00 --end-gap 1.00", xa);
  }

  TempDir dir;
  std::string stereoWav = dir.File("stereo.wav");
  std::string monoWav = dir.File("mono8.wav");
  std::map<std::string, std::uint64_t> actual;
};

// Recorded from the command line after the reshaping of the code; demo, import and append
// recorded again when the encoder's ranges became 0 to 12; the imports that cut their sound
// again when they said so on standard error (their files' bytes unchanged).
const std::map<std::string, std::uint64_t> kRecords = {
    {"demo", 0x37f40a60b5dc8a50ull},
    {"new", 0xba06f63bb202673full},
    {"plain/append-default", 0x9731e554d3f4a20eull},
    {"plain/append-options", 0x005df30974d90f2eull},
    {"plain/append-overlap", 0xc270c819d9a3f116ull},
    {"plain/append-start", 0xddc18213b57be364ull},
    {"plain/delete", 0x7b0edfd7bc18fce2ull},
    {"plain/delete-declined", 0x3634219ed9379735ull},
    {"plain/export-1", 0x8c6408381d641c97ull},
    {"plain/export-2", 0xc949665c3775e495ull},
    {"plain/export-3", 0x8e0a9910db7b92eaull},
    {"plain/export-4", 0xff9a6e7ce63b998eull},
    {"plain/import-declined", 0xe007183d40f77d8full},
    {"plain/import-keep", 0xe2dc82592d4a2276ull},
    {"plain/import-wav", 0x7b85d565654f1476ull},
    {"plain/list-hex", 0xc1f2e2467f4d53a0ull},
    {"plain/list-json", 0x8f4e95dd4c9272c2ull},
    {"plain/list-sectors", 0xd34abde759c4f964ull},
    {"plain/settings-grow", 0xee62b419b6e8d11cull},
    {"plain/settings-refused", 0x1dfa3eba8b95e190ull},
    {"plain/settings-show", 0xc1a267219d708c11ull},
    {"plain/settings-shrink", 0xb9b3aa8ae9c44ed4ull},
    {"raw/append-default", 0x0a3ab7fc7a6340faull},
    {"raw/append-options", 0x558431482f267b7aull},
    {"raw/append-overlap", 0xbfc0f44a5f646e89ull},
    {"raw/append-start", 0x65e25ee08a996a53ull},
    {"raw/delete", 0x66e3537f284afd72ull},
    {"raw/delete-declined", 0x51669519457bac45ull},
    {"raw/export-1", 0x8c6408381d641c97ull},
    {"raw/export-2", 0xc949665c3775e495ull},
    {"raw/export-3", 0x8e0a9910db7b92eaull},
    {"raw/export-4", 0xff9a6e7ce63b998eull},
    {"raw/import-declined", 0x9d74310b601aae0bull},
    {"raw/import-keep", 0x4f57fb34ae3aa8beull},
    {"raw/import-wav", 0xd0c3cf3b2b941cbaull},
    {"raw/list-hex", 0xc1f2e2467f4d53a0ull},
    {"raw/list-json", 0xaeec04e94daa8b98ull},
    {"raw/list-sectors", 0xd34abde759c4f964ull},
    {"raw/settings-grow", 0x3ebb35f76d1c12adull},
    {"raw/settings-refused", 0x2818563926d4d6ddull},
    {"raw/settings-show", 0xf66e9a597f780b81ull},
    {"raw/settings-shrink", 0xf70175a225034a01ull},
    {"riff/append-default", 0x86a20954df5d8b3eull},
    {"riff/append-options", 0x7a23fc27ad7fb5deull},
    {"riff/append-overlap", 0x01a7fd565b8a38a8ull},
    {"riff/append-start", 0x6ca0fa4e2bf19962ull},
    {"riff/delete", 0x08da10f43fefbe4eull},
    {"riff/delete-declined", 0x306a73b9ea848afdull},
    {"riff/export-1", 0x8c6408381d641c97ull},
    {"riff/export-2", 0xc949665c3775e495ull},
    {"riff/export-3", 0x8e0a9910db7b92eaull},
    {"riff/export-4", 0xff9a6e7ce63b998eull},
    {"riff/import-declined", 0xbac4f92b5a282eb7ull},
    {"riff/import-keep", 0xea46ef362e4065c6ull},
    {"riff/import-wav", 0xd89556a89fbe6382ull},
    {"riff/list-hex", 0xc1f2e2467f4d53a0ull},
    {"riff/list-json", 0x2c98ba9fefccd2f4ull},
    {"riff/list-sectors", 0xd34abde759c4f964ull},
    {"riff/settings-grow", 0x718f456f47060025ull},
    {"riff/settings-refused", 0x45e9c0ae5573e344ull},
    {"riff/settings-show", 0x4160aa7a7bedfce9ull},
    {"riff/settings-shrink", 0x4c1b6bacd94c00a8ull},
};

TEST_F(CliRegression, EveryCommandWritesAndPrintsWhatItDidBefore) {
  EditSteps("plain", Layout::Plain2336);
  EditSteps("raw", Layout::Raw2352);
  EditSteps("riff", Layout::Riff2352);
  Step("new", "new " + dir.File("new.xa"), dir.File("new.xa"));
  Step("demo", "demo " + dir.File("demo.xa"), dir.File("demo.xa"));

  if (std::getenv("SORVANE_RECORD") != nullptr) {
    for (const auto& [name, hash] : actual)
      std::printf("    {\"%s\", 0x%016llxull},\n", name.c_str(), (unsigned long long)hash);
  }
  EXPECT_EQ(actual.size(), kRecords.size());
  for (const auto& [name, hash] : kRecords) {
    auto it = actual.find(name);
    ASSERT_NE(it, actual.end()) << name;
    EXPECT_EQ(it->second, hash) << name;
  }
}

}  // namespace
}  // namespace sorvane
