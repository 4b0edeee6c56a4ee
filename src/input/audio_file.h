// An audio file opened for import: the described WAV reader takes the plain WAVs it knows
// (and refuses them exactly as described); libsndfile takes every other file it can read.
#pragma once

#include <cstdint>
#include <string>

#include "input/frame_source.h"
#include "input/sndfile_frames.h"
#include "input/wav_reader.h"

namespace sorvane {

class AudioFile : public FrameSource {
 public:
  // Returns 0, or -1 with LastErrorText set (the WAV reader's message) and no file held.
  int Open(const std::string& path);
  void Close();

  std::int32_t SourceRate() const override { return Frames().SourceRate(); }
  std::int32_t ChannelCount() const override { return Frames().ChannelCount(); }
  std::int32_t SetTargetRate(std::int32_t rate) override { return Frames().SetTargetRate(rate); }
  void ReadFrame(std::int16_t out[2]) override { Frames().ReadFrame(out); }
  bool ReadFailed() const override { return Frames().ReadFailed(); }

  // True when the open file is read through libsndfile.
  bool ThroughLibsndfile() const { return throughLibsndfile_; }
  bool IsOpen() const { return reader_.IsOpen() || other_.IsOpen(); }

  const char* LastErrorText = "";

 private:
  FrameSource& Frames() { return throughLibsndfile_ ? static_cast<FrameSource&>(other_) : wav_; }
  const FrameSource& Frames() const {
    return throughLibsndfile_ ? static_cast<const FrameSource&>(other_) : wav_;
  }

  WavReader reader_;
  WavFrames wav_{reader_};
  SndfileFrames other_;
  bool throughLibsndfile_ = false;
};

}  // namespace sorvane
