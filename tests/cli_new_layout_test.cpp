// `new --layout`: each layout's new file has the bytes its layout needs beside the sectors,
// opens, lists and takes an appended channel; FFmpeg reads the 2352-byte layouts we write.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/signals.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::RunInProcess;

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | std::uint8_t(bytes[at + k]);
  return value;
}

struct LayoutCase {
  const char* Name;
  const char* Option;      // the words after the file name
  const char* ListedName;  // as `list --json` names it
  std::size_t Header;      // bytes before the first sector's sync (RIFF) or subheader
  std::size_t Stride;
  std::size_t Prefix;  // sync and header in front of each sector
};

const LayoutCase kLayouts[] = {
    {"Default", "", "plain-2336", 0, 2336, 0},
    {"Plain", " --layout plain", "plain-2336", 0, 2336, 0},
    {"Raw", " --layout raw", "raw-2352", 0, 2352, 16},
    {"Riff", " --layout riff", "riff-2352", 44, 2352, 16},
};

class NewLayout : public ::testing::TestWithParam<LayoutCase> {
 protected:
  testing::TempDir dir;
  std::string xa = dir.File("new.xa");
};

// The sync pattern and the BCD address mm:ss:ff, mode 2, of the sector at `at`.
void ExpectSyncAndAddress(const std::string& bytes, std::size_t at, int second, int frame) {
  const std::string sync = std::string(1, '\0') + std::string(10, '\xff') + std::string(1, '\0');
  EXPECT_EQ(bytes.substr(at, 12), sync) << "at " << at;
  const std::string address{'\0', char(second), char((frame / 10) << 4 | frame % 10), '\2'};
  EXPECT_EQ(bytes.substr(at + 12, 4), address) << "at " << at;
}

void ExpectRiffHeader(const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "CDXAfmt ");
  EXPECT_EQ(Le32(bytes, 16), 16u);
  EXPECT_EQ(bytes.substr(26, 2), "XA");
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(Le32(bytes, 40), bytes.size() - 44);
}

TEST_P(NewLayout, WritesTheLayoutsBytesAndTakesAnAppendedChannel) {
  const LayoutCase& c = GetParam();
  ASSERT_EQ(RunInProcess("new " + xa + c.Option).ExitStatus, 0);
  std::string bytes = testing::ReadFileBytes(xa);
  ASSERT_EQ(bytes.size(), c.Header + 150 * c.Stride);
  if (c.Prefix != 0) {
    ExpectSyncAndAddress(bytes, c.Header, 2, 0);                  // 00:02:00
    ExpectSyncAndAddress(bytes, c.Header + 80 * c.Stride, 3, 5);  // 00:03:05
  }
  if (c.Header != 0) ExpectRiffHeader(bytes);
  // Every sector is the empty one: file number 1 in both halves of the subheader.
  EXPECT_EQ(bytes.substr(c.Header + c.Prefix, 8), std::string("\1\0\0\0\1\0\0\0", 8));

  const auto listed = RunInProcess("list " + xa + " --json");
  ASSERT_EQ(listed.ExitStatus, 0) << listed.Err;
  EXPECT_NE(listed.Out.find(std::string("\"layout\": \"") + c.ListedName + "\""),
            std::string::npos);

  const std::string wav = dir.File("in.wav");
  testing::WavBuilder(2, 37800, 16).Samples16(testing::ChordWithSweep(37800, 6.0, 2)).Write(wav);
  ASSERT_EQ(RunInProcess("append " + xa + " " + wav + " --yes").ExitStatus, 0);
  bytes = testing::ReadFileBytes(xa);
  EXPECT_EQ((bytes.size() - c.Header) % c.Stride, 0u);
  EXPECT_GT(bytes.size(), c.Header + 150 * c.Stride);  // 6 s need more than the 150 sectors
  if (c.Header != 0) ExpectRiffHeader(bytes);
  const auto after = RunInProcess("list " + xa);
  EXPECT_NE(after.Out.find("37.8k Stereo"), std::string::npos) << after.Out;
}

// FFmpeg reads only the 2352-byte layouts.
class FfmpegReadsNewLayout : public NewLayout {};

TEST_P(FfmpegReadsNewLayout, AnAppendedChannel) {
  const LayoutCase& c = GetParam();
  if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  ASSERT_EQ(RunInProcess("new " + xa + c.Option).ExitStatus, 0);
  const std::string wav = dir.File("in.wav");
  const auto source = testing::ChordWithSweep(37800, 2.0, 2);
  testing::WavBuilder(2, 37800, 16).Samples16(source).Write(wav);
  ASSERT_EQ(RunInProcess("append " + xa + " " + wav + " --yes").ExitStatus, 0);

  const std::string pcm = dir.File("ffmpeg.raw");
  // FFmpeg reports an I/O error at the end of the file; the decoded PCM is whole.
  std::system(("ffmpeg -nostdin -loglevel quiet -y -f psxstr -i '" + xa +
               "' -map 0:a:0 -f s16le -acodec pcm_s16le '" + pcm + "'")
                  .c_str());
  const std::string bytes = testing::ReadFileBytes(pcm);
  std::vector<std::int32_t> decoded;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    decoded.push_back(
        static_cast<std::int16_t>(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
  // Whole sectors of 2016 frames: the source's 75600 frames fill 38 of them, the rest silence.
  ASSERT_EQ(decoded.size(), 2u * 38 * 2016);
  const std::vector<std::int32_t> expected(source.begin(), source.end());
  decoded.resize(expected.size());
  // 4-bit ADPCM of this signal at the channel's own rate: measured 42.9 dB; the floor leaves
  // about 7 dB for encoder changes, while a wrong sector order, side or layout falls near 0 dB.
  EXPECT_GE(testing::SnrDb(expected, decoded), 36.0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, NewLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.Name); });
INSTANTIATE_TEST_SUITE_P(RawLayouts, FfmpegReadsNewLayout,
                         ::testing::Values(kLayouts[2], kLayouts[3]),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
