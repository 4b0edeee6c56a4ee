#include "support/sound_file_writer.h"

#include <sndfile.h>

namespace sorvane::testing {
namespace {

SNDFILE* OpenForWriting(const std::string& path, int format, int channels, int rate,
                        const std::vector<int>& channelMap) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = rate;
  if (sf_format_check(&info) == SF_FALSE) return nullptr;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return nullptr;
  // 16-bit values written to a float file become full-scale floats, as other programs write them.
  sf_command(file, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);
  if (channelMap.empty()) return file;
  std::vector<int> map = channelMap;
  const int bytes = static_cast<int>(map.size() * sizeof(int));
  sf_command(file, SFC_SET_CHANNEL_MAP_INFO, map.data(), bytes);
  return file;
}

}  // namespace

bool WriteSoundFile(const std::string& path, int format, int channels, int rate,
                    const std::vector<std::int16_t>& interleaved,
                    const std::vector<int>& channelMap) {
  SNDFILE* file = OpenForWriting(path, format, channels, rate, channelMap);
  if (file == nullptr) return false;
  const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
  const bool written = sf_writef_short(file, interleaved.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

bool WriteSoundFileDouble(const std::string& path, int format, int channels, int rate,
                          const std::vector<double>& interleaved,
                          const std::vector<int>& channelMap) {
  SNDFILE* file = OpenForWriting(path, format, channels, rate, channelMap);
  if (file == nullptr) return false;
  const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
  const bool written = sf_writef_double(file, interleaved.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

}  // namespace sorvane::testing
