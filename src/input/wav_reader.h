// Reader of PCM WAV files with the canonical 44-byte header, 8 or 16 bits per sample. It
// delivers 16-bit stereo frames at a rate the caller chooses, converting the rate by linear
// interpolation with a weight resolution of one hundredth of the phase.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace sorvane {

// Where the rate conversion stands: the source frame left of the next output frame, and the
// phase towards the next source frame (0 .. target rate - 1).
struct RateStep {
  std::int32_t Position = 0;
  std::int32_t Phase = 0;
};

// The output sample between source neighbours `a` and `b` at `phase`: weighted by whole
// hundredths of the target rate, in the signed 32-bit arithmetic of the weighting (products
// and sum wrap, division truncates); `a` itself when the target rate is below 100.
std::int16_t BlendNeighbours(std::int32_t targetRate, std::int32_t phase, std::int32_t a,
                             std::int32_t b);

// Moves the conversion on by one output frame. The position saturates only where 32 signed
// bits could not hold it anyway.
void AdvanceRateStep(RateStep& step, std::int32_t sourceRate, std::int32_t targetRate);

// frames x targetRate / sourceRate in double precision, truncated; 0 when either rate is
// below 1, at most INT32_MAX.
std::int32_t TargetFrames(std::int64_t frames, std::int32_t targetRate, std::int32_t sourceRate);

class WavReader {
 public:
  static constexpr int kHeaderBytes = 44;
  static constexpr int kBufferBytes = 2352;

  WavReader() = default;
  ~WavReader();
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // Opens and checks the file and primes the buffer; sets SourceRate, ChannelCount and
  // TargetRate (= SourceRate). Returns 0, or -1 with LastErrorText set and no file held.
  // Besides the layout checks it refuses, as unsupported, a block alignment of 0, above 2352
  // or too small for the samples of one frame, and a sample rate of 0 or above 2^31 - 1.
  int Open(const std::string& path);

  // Frames of the data chunk at TargetRate: frames x TargetRate / SourceRate in double
  // precision, truncated (a partial last frame is not counted). When the header's data size
  // is not plausible (0, negative or beyond the file) the data runs to the end of the file,
  // and that is what is counted. 0 when TargetRate is below 1; at most INT32_MAX.
  std::int32_t TargetLength() const;

  // Writes the next frame at TargetRate (left, right) and advances. 0: more may follow;
  // 1: the end of the data has been reached; -1: a read error (or no file is held). `out` is
  // always written; from the end on it is (0, 0).
  // A TargetRate from 1 to 99 gives the left neighbour of each position (the hundredths
  // weight is then always 0); a TargetRate below 1 delivers (0, 0) and -1 without advancing.
  int ReadFrame(std::int16_t out[2]);

  // Closes the file if one is held; harmless on a closed reader.
  void Close();

  bool IsOpen() const { return file_ != nullptr; }

  // True when the file of the last Open has the plain 44-byte header of tag 1 with 8 or 16
  // bits: a file this reader reads or refuses itself, never handed to another reader.
  bool KeepsFile() const;

  std::int32_t SourceRate = 0;
  std::int32_t ChannelCount = 0;
  std::int32_t TargetRate = 44100;
  // The fixed text of the last failed Open; callers copy it into XaFile::LastErrorText.
  const char* LastErrorText = "";

 private:
  int Fail(const char* text);
  int CheckHeader(std::int64_t fileLength);
  // Reads up to `frames` whole frames of the data chunk to `at`; returns the number read.
  std::int32_t ReadFrames(std::uint8_t* at, std::int32_t frames);
  // Result of a load that read nothing: 1 at the end of the data, -1 on a read error.
  int EmptyLoadResult() const;
  int Refill();
  int Reload();
  void DecodeFrame(std::int32_t index, std::int32_t& left, std::int32_t& right) const;

  std::FILE* file_ = nullptr;
  std::uint8_t header_[kHeaderBytes] = {};
  std::uint8_t buffer_[kBufferBytes] = {};
  RateStep step_;  // in frames of the buffer
  std::int32_t framesInBuffer_ = 0;
  std::int32_t capacity_ = 0;
  std::int32_t blockAlign_ = 0;
  std::int32_t bitsPerSample_ = 0;
  bool stereoFrames_ = false;       // channel count other than 1: left and right are read
  std::int64_t dataBytes_ = 0;      // length of the data chunk as it is read
  std::int64_t dataBytesLeft_ = 0;  // of it, not yet read into the buffer
};

}  // namespace sorvane
