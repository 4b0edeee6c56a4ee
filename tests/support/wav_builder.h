// Builds WAV files for tests: the canonical 44-byte PCM header by default, with every header
// field open to being set wrong, extra chunks before or after the data, and truncation.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sorvane::testing {

class WavBuilder {
 public:
  // Block alignment and byte rate follow from these unless overridden.
  WavBuilder(int channels, int rate, int bits);

  WavBuilder& FormatTag(int tag);
  WavBuilder& BlockAlign(int align);
  WavBuilder& Rate(std::uint32_t rate);
  // A format chunk of this size (above 16: padded with zero bytes after the 16 PCM bytes).
  WavBuilder& FormatChunkSize(int size);
  // Interleaved samples, stored as they stand (16-bit little-endian or unsigned 8-bit).
  WavBuilder& Samples16(const std::vector<std::int16_t>& interleaved);
  WavBuilder& Samples8(const std::vector<std::uint8_t>& interleaved);
  // Raw data chunk bytes.
  WavBuilder& Data(const std::string& bytes);
  // The data size written in the header instead of the real one.
  WavBuilder& DataSize(std::uint32_t size);
  WavBuilder& ChunkBeforeData(const std::string& id, const std::string& body);
  WavBuilder& ChunkAfterData(const std::string& id, const std::string& body);
  // Overwrites bytes of the finished file at `offset` (e.g. a chunk identifier).
  WavBuilder& Patch(std::size_t offset, const std::string& bytes);
  // Cuts the finished file to this many bytes.
  WavBuilder& TruncateTo(std::size_t length);

  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  int channels_;
  std::uint32_t rate_;
  int bits_;
  int tag_ = 1;
  int align_;
  int formatSize_ = 16;
  std::string data_;
  bool dataSizeSet_ = false;
  std::uint32_t dataSize_ = 0;
  std::string before_;
  std::string after_;
  std::vector<std::pair<std::size_t, std::string>> patches_;
  std::size_t truncateTo_ = std::string::npos;
};

// Interleaved 16-bit samples of frames whose channel c has value at(frame, c).
template <typename F>
std::vector<std::int16_t> Frames16(int frames, int channels, F at) {
  std::vector<std::int16_t> samples;
  samples.reserve(std::size_t(frames) * channels);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) samples.push_back(static_cast<std::int16_t>(at(i, c)));
  }
  return samples;
}

}  // namespace sorvane::testing
