// FFmpeg as an independent decoder: sectors our encoder wrote, in a raw 2352-byte file, must
// decode there to the sound we encoded. Skipped only when ffmpeg is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/decoded_values.h"
#include "support/encoded_channel.h"
#include "support/named_case.h"
#include "support/signals.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// Our sectors in the raw layout (sync and header, then the 2336 bytes of each).
void WriteRawFile(const testing::EncodedChannel& channel, const std::string& path) {
  const int count = static_cast<int>(channel.Sectors.size());
  testing::XaBuilder xa(count, testing::Layout::Raw2352);
  for (int i = 0; i < count; ++i) {
    const auto& image = channel.Sectors[i];
    xa.Subheader(i, image[0], image[1], image[2], image[3]);
    xa.Payload(i, std::vector<std::uint8_t>(image.begin() + 8, image.end()));
  }
  xa.Write(path);
}

// FFmpeg's decode at its native rate (the channel's rate), as interleaved samples.
std::vector<std::int32_t> DecodeWithFfmpeg(const std::string& in, const std::string& out) {
  std::string command = "ffmpeg -nostdin -hide_banner -loglevel quiet -y -f psxstr -i '" + in +
                        "' -map 0:a:0 -f s16le -acodec pcm_s16le '" + out + "'";
  std::system(
      command.c_str());  // it reports an I/O error at the end of a raw file; the PCM is whole
  std::string bytes = testing::ReadFileBytes(out);
  std::vector<std::int32_t> samples;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    samples.push_back(
        static_cast<std::int16_t>(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
  }
  return samples;
}

using testing::GeneratedSignal;

struct Quality {
  const char* Name;
  int Rate;
  bool Stereo;
  double MinSnrDb;  // each floor 6 dB or more below what was measured (in the comment)
  GeneratedSignal Signal = GeneratedSignal::ChordWithSweep;
};

// The fade ends in passages a few steps loud between silences, which the encoder gives its
// smallest step (range 12): every decoder must read those units as we do. Measured over that
// quiet half, FFmpeg's decode is 13.5 to 21.7 dB above the input's difference; units of range
// 13, which FFmpeg reads as 12, bring it to 0 dB or below (and our decoders then differ by up
// to 359 units), so a floor of 8 dB tells the two apart.
const Quality kQualities[] = {
    {"Stereo378", 37800, true, 38.0},                                    // 44.9
    {"Mono378", 37800, false, 38.0},                                     // 44.1
    {"Stereo189", 18900, true, 28.0},                                    // 34.9
    {"Mono189", 18900, false, 28.0},                                     // 34.2
    {"Stereo378Fade", 37800, true, 44.0, GeneratedSignal::FadeToQuiet},  // 50.8
    {"Mono378Fade", 37800, false, 44.0, GeneratedSignal::FadeToQuiet},   // 52.7
    {"Stereo189Fade", 18900, true, 42.0, GeneratedSignal::FadeToQuiet},  // 48.5
    {"Mono189Fade", 18900, false, 42.0, GeneratedSignal::FadeToQuiet}};  // 50.0

class FfmpegCrosscheck : public ::testing::TestWithParam<Quality> {};

// FFmpeg's decode against the frames the encoder was fed, sample for sample at the channel's
// rate: a wrong filter, shift, nibble order or parameter position leaves noise at or above
// the signal's level (SNR near or below 0 dB).
TEST_P(FfmpegCrosscheck, DecodesOurSectorsToTheEncodedSound) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  const Quality& q = GetParam();
  testing::TempDir dir;
  testing::EncodedChannel channel =
      testing::EncodeGeneratedSound(dir.File("in.wav"), q.Rate, q.Stereo, 3.0, q.Signal);
  ASSERT_FALSE(channel.Sectors.empty());
  WriteRawFile(channel, dir.File("ours.xa"));
  std::vector<std::int32_t> decoded = DecodeWithFfmpeg(dir.File("ours.xa"), dir.File("ffmpeg.pcm"));

  const int sides = q.Stereo ? 2 : 1;
  ASSERT_EQ(decoded.size(), channel.Left.size() * sides);
  for (int side = 0; side < sides; ++side) {
    const std::vector<std::int32_t>& input = side == 0 ? channel.Left : channel.Right;
    std::vector<std::int32_t> output;
    for (std::size_t i = side; i < decoded.size(); i += sides) output.push_back(decoded[i]);
    double snr = testing::SnrDb(input, output);
    RecordProperty(side == 0 ? "snr_db_left" : "snr_db_right", std::to_string(snr));
    EXPECT_GE(snr, q.MinSnrDb) << "side " << side;
    if (q.Signal == GeneratedSignal::FadeToQuiet) {
      const std::size_t half = input.size() / 2;
      const std::vector<std::int32_t> quietIn(input.begin() + half, input.end());
      const std::vector<std::int32_t> quietOut(output.begin() + half, output.end());
      double quiet = testing::SnrDb(quietIn, quietOut);
      RecordProperty(side == 0 ? "quiet_snr_db_left" : "quiet_snr_db_right", std::to_string(quiet));
      EXPECT_GE(quiet, 8.0) << "side " << side;
    }
  }
}

// FFmpeg's decode against ours, at the values our 6-to-7 conversion passes unchanged (see
// DecodeExactValues). FFmpeg computes at its own internal precision, so the histories of the
// two decoders drift apart by a little: measured differences spread over -14..16 units (mean
// +1.9) with an SNR of 65.6 to 68.2 dB (60.8 to 62.7 on the fade, whose energy is lower). The
// limits, 32 units and 60 dB, leave room for that and still fail by far for any layout or
// arithmetic fault (those give under 10 dB).
TEST_P(FfmpegCrosscheck, AgreesWithOurDecoder) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  const Quality& q = GetParam();
  testing::TempDir dir;
  testing::EncodedChannel channel =
      testing::EncodeGeneratedSound(dir.File("in.wav"), q.Rate, q.Stereo, 3.0, q.Signal);
  WriteRawFile(channel, dir.File("ours.xa"));
  std::vector<std::int32_t> theirs = DecodeWithFfmpeg(dir.File("ours.xa"), dir.File("ffmpeg.pcm"));
  testing::ExactValues ours = testing::DecodeExactValues(channel);

  const int sides = q.Stereo ? 2 : 1;
  ASSERT_EQ(theirs.size(), channel.Left.size() * sides);
  for (int side = 0; side < sides; ++side) {
    std::vector<std::int32_t> atSamePositions;
    int largest = 0;
    for (std::size_t i = 0; i < ours.Indexes.size(); ++i) {
      std::int32_t v = theirs[std::size_t(ours.Indexes[i]) * sides + side];
      atSamePositions.push_back(v);
      largest = std::max(largest, std::abs(v - ours.Sides[side][i]));
    }
    double snr = testing::SnrDb(atSamePositions, ours.Sides[side]);
    RecordProperty(side == 0 ? "left" : "right",
                   "snr_db " + std::to_string(snr) + " largest " + std::to_string(largest));
    EXPECT_LE(largest, 32) << "side " << side;
    EXPECT_GE(snr, 60.0) << "side " << side;
  }
}

INSTANTIATE_TEST_SUITE_P(Qualities, FfmpegCrosscheck, ::testing::ValuesIn(kQualities),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
