#include "input/wav_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "common/fixed_texts.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

std::int64_t FileLengthOf(std::FILE* file) {
  struct stat st {};
  if (::fstat(::fileno(file), &st) != 0) return -1;
  return st.st_size;
}

// Interpolates between the two neighbours with weights (w - u) and u out of w.
std::int16_t Blend(std::int32_t w, std::int32_t u, std::int32_t a, std::int32_t b) {
  std::int64_t sum = std::int64_t{w - u} * a + std::int64_t{u} * b;
  return static_cast<std::int16_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(sum)) / w);
}

}  // namespace

std::int16_t BlendNeighbours(std::int32_t targetRate, std::int32_t phase, std::int32_t a,
                             std::int32_t b) {
  const std::int32_t w = targetRate / 100;
  return static_cast<std::int16_t>(w == 0 ? a : Blend(w, phase / 100, a, b));
}

void AdvanceRateStep(RateStep& step, std::int32_t sourceRate, std::int32_t targetRate) {
  // Both terms are below 2^31, so their sum fits an unsigned 32-bit number.
  std::uint32_t phase =
      static_cast<std::uint32_t>(step.Phase) + static_cast<std::uint32_t>(sourceRate);
  std::uint32_t target = static_cast<std::uint32_t>(targetRate);
  std::int64_t position = std::int64_t{step.Position} + phase / target;
  step.Phase = static_cast<std::int32_t>(phase % target);
  step.Position = static_cast<std::int32_t>(
      std::min<std::int64_t>(position, std::numeric_limits<std::int32_t>::max() - 1));
}

std::int32_t TargetFrames(std::int64_t frames, std::int32_t targetRate, std::int32_t sourceRate) {
  if (targetRate < 1 || sourceRate < 1) return 0;
  double length = static_cast<double>(frames) * targetRate /
                  static_cast<double>(static_cast<std::uint32_t>(sourceRate));
  if (length >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(length);
}

WavReader::~WavReader() { Close(); }

void WavReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  step_ = {};
  framesInBuffer_ = 0;
}

int WavReader::Fail(const char* text) {
  Close();
  LastErrorText = text;
  return -1;
}

int WavReader::Open(const std::string& path) {
  Close();
  std::memset(header_, 0, sizeof header_);
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return Fail(text::kWavCannotOpen);
  if (std::fread(header_, 1, kHeaderBytes, file_) != kHeaderBytes) {
    return Fail(text::kWavCannotRead);
  }
  if (CheckHeader(FileLengthOf(file_)) != 0) return -1;
  capacity_ = kBufferBytes / blockAlign_;
  step_ = {};
  framesInBuffer_ = ReadFrames(buffer_, capacity_);
  SourceRate = static_cast<std::int32_t>(GetLe32(header_ + 24));
  TargetRate = SourceRate;
  ChannelCount = static_cast<std::int32_t>(GetLe16(header_ + 22));
  return 0;
}

int WavReader::CheckHeader(std::int64_t fileLength) {
  const std::uint8_t* h = header_;
  if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVEfmt ", 8) != 0 ||
      std::memcmp(h + 36, "data", 4) != 0 || GetLe32(h + 16) != 16) {
    return Fail(text::kWavUnexpectedLayout);
  }
  bitsPerSample_ = static_cast<std::int32_t>(GetLe16(h + 34));
  if (GetLe16(h + 20) != 1 || (bitsPerSample_ != 8 && bitsPerSample_ != 16)) {
    return Fail(text::kWavUnsupported);
  }
  // The rate and the frame size feed divisions and buffer indexes: a frame must hold the
  // samples it is decoded from and fit the buffer, and the rate must be positive.
  stereoFrames_ = GetLe16(h + 22) != 1;
  blockAlign_ = static_cast<std::int32_t>(GetLe16(h + 32));
  std::int32_t needed = bitsPerSample_ / 8 * (stereoFrames_ ? 2 : 1);
  std::int32_t rate = static_cast<std::int32_t>(GetLe32(h + 24));
  if (blockAlign_ < needed || blockAlign_ > kBufferBytes || rate <= 0) {
    return Fail(text::kWavUnsupported);
  }
  // A data size that is not above 0 or runs past the file (a stream written without its
  // final length) is taken as "to the end of the file"; otherwise a chunk after the data
  // chunk would be read as sound.
  std::int32_t dataSize = static_cast<std::int32_t>(GetLe32(h + 40));
  std::int64_t available = std::max<std::int64_t>(fileLength - kHeaderBytes, 0);
  dataBytes_ = (dataSize > 0 && dataSize <= available) ? dataSize : available;
  dataBytesLeft_ = dataBytes_;
  return 0;
}

bool WavReader::KeepsFile() const {
  const std::uint8_t* h = header_;
  const std::uint32_t bits = GetLe16(h + 34);
  return std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVEfmt ", 8) == 0 &&
         std::memcmp(h + 36, "data", 4) == 0 && GetLe32(h + 16) == 16 && GetLe16(h + 20) == 1 &&
         (bits == 8 || bits == 16);
}

std::int32_t WavReader::TargetLength() const {
  if (blockAlign_ < 1) return 0;
  return TargetFrames(dataBytes_ / blockAlign_, TargetRate, SourceRate);
}

std::int32_t WavReader::ReadFrames(std::uint8_t* at, std::int32_t frames) {
  std::int64_t allowed = std::min<std::int64_t>(frames, dataBytesLeft_ / blockAlign_);
  if (allowed <= 0) return 0;
  std::size_t got = std::fread(at, static_cast<std::size_t>(blockAlign_),
                               static_cast<std::size_t>(allowed), file_);
  dataBytesLeft_ -= static_cast<std::int64_t>(got) * blockAlign_;
  return static_cast<std::int32_t>(got);
}

int WavReader::EmptyLoadResult() const {
  bool atEnd = dataBytesLeft_ < blockAlign_ || std::feof(file_);
  return atEnd ? 1 : -1;
}

void WavReader::DecodeFrame(std::int32_t index, std::int32_t& left, std::int32_t& right) const {
  const std::uint8_t* f = buffer_ + std::size_t(index) * std::size_t(blockAlign_);
  if (bitsPerSample_ == 16) {
    left = static_cast<std::int16_t>(GetLe16(f));
    right = stereoFrames_ ? static_cast<std::int16_t>(GetLe16(f + 2)) : left;
  } else {
    left = (f[0] - 128) * 256;
    right = stereoFrames_ ? (f[1] - 128) * 256 : left;
  }
}

int WavReader::ReadFrame(std::int16_t out[2]) {
  out[0] = 0;
  out[1] = 0;
  if (file_ == nullptr || TargetRate < 1) return -1;
  if (step_.Position + 1 < framesInBuffer_) {
    std::int32_t al, ar, bl, br;
    DecodeFrame(step_.Position, al, ar);
    DecodeFrame(step_.Position + 1, bl, br);
    out[0] = BlendNeighbours(TargetRate, step_.Phase, al, bl);
    out[1] = BlendNeighbours(TargetRate, step_.Phase, ar, br);
  }
  AdvanceRateStep(step_, SourceRate, TargetRate);
  if (step_.Position + 1 == framesInBuffer_) return Refill();
  if (step_.Position >= framesInBuffer_) return Reload();
  return 0;
}

// The left neighbour is the last frame of the buffer: keep it as the first frame of the
// next load, so that interpolation runs across the boundary.
int WavReader::Refill() {
  std::memmove(buffer_, buffer_ + std::size_t(step_.Position) * std::size_t(blockAlign_),
               std::size_t(blockAlign_));
  step_.Position = 0;
  std::int32_t got = ReadFrames(buffer_ + blockAlign_, capacity_ - 1);
  if (got == 0) {
    framesInBuffer_ = 0;
    return EmptyLoadResult();
  }
  framesInBuffer_ = got + 1;
  return 0;
}

// The position has passed the whole buffer: load the frames that follow it.
int WavReader::Reload() {
  step_.Position -= framesInBuffer_;
  framesInBuffer_ = ReadFrames(buffer_, capacity_);
  return framesInBuffer_ == 0 ? EmptyLoadResult() : 0;
}

}  // namespace sorvane
