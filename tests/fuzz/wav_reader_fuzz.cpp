// libFuzzer target: any bytes as a WAV file must be refused or read and encoded without a
// crash or undefined behaviour, at any target rate.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "codec/adpcm_encoder.h"
#include "input/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int fd = memfd_create("wav", 0);
  if (fd < 0) return 0;
  // The first two bytes choose the target rate; the rest is the file.
  const std::int32_t rate = (data[0] << 8 | data[1]) - 100;
  if (write(fd, data + 2, size - 2) == static_cast<ssize_t>(size - 2)) {
    sorvane::WavReader reader;
    if (reader.Open("/proc/self/fd/" + std::to_string(fd)) == 0) {
      reader.TargetRate = rate;
      (void)reader.TargetLength();
      std::vector<std::int16_t> frames(2 * sorvane::kMonoFramesPerSector);
      for (int k = 0; k < sorvane::kMonoFramesPerSector; ++k) reader.ReadFrame(&frames[2 * k]);
      sorvane::EncoderState state;
      std::uint8_t image[2336];
      const std::uint8_t subheader[4] = {1, 0, 0x64, static_cast<std::uint8_t>(rate & 1)};
      sorvane::EncodeAudioSector(state, frames.data(), subheader, image);
    }
  }
  close(fd);
  return 0;
}
