// A sound device on a virtual clock for playback tests: it plays the buffers handed over one
// after the other, each taking PlayMs of virtual time, and logs every call. Sleep only
// advances the clock, so a test of minutes of polling runs at once.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_output.h"

namespace sorvane::testing {

class ScriptedAudioOutput : public AudioOutput {
 public:
  struct Handover {
    int Index = 0;
    const std::uint8_t* Data = nullptr;
    std::string Bytes;  // what the buffer held when it was handed over
    long long At = 0;   // virtual ms
  };

  // Script.
  bool OpenFails = false;
  int FailAllocationAt = 0;  // 1 = the first allocation fails; 0 never
  int PlayMs = 53;           // virtual time each buffer takes to play; -1: nothing ever plays
  // Readings that Position returns in turn (nullopt: the reading fails); when used up,
  // the bytes played by the clock.
  std::deque<std::optional<std::int64_t>> Positions;

  // What happened. Log entries: "open", "write I", "done? I", "sleep MS", "position",
  // "reset", "close"; tests may add their own.
  std::vector<std::string> Log;
  std::vector<Handover> Writes;
  std::vector<std::uint8_t*> Allocated;  // in order of allocation
  int Frees = 0;
  int LiveBlocks = 0;
  std::optional<AudioFormat> OpenedWith;
  long long Now = 0;  // virtual ms

  bool Open(const AudioFormat& format) override;
  void Write(int index, const std::uint8_t* data, int bytes) override;
  bool IsDone(int index) override;
  bool Position(std::int64_t& bytes) override;
  void Reset() override;
  void Close() override;
  void Sleep(int milliseconds) override;
  std::uint8_t* AllocateBlock(std::size_t bytes) override;
  void FreeBlock(std::uint8_t* block) override;

  // Log entries equal to `entry`.
  int Count(const std::string& entry) const;
  // Index in Log of the first entry equal to `entry`; -1 when there is none.
  int Find(const std::string& entry) const;

 private:
  struct Playing {
    long long Start = 0;
    long long End = 0;
    int Bytes = 0;
  };
  std::vector<std::optional<Playing>> playing_ = std::vector<std::optional<Playing>>(16);
  std::vector<Playing> played_;  // every buffer handed over, for the position
  long long queueEnd_ = 0;
  bool reset_ = false;
};

}  // namespace sorvane::testing
