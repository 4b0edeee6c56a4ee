#include "support/scripted_audio_output.h"

#include <algorithm>

namespace sorvane::testing {

bool ScriptedAudioOutput::Open(const AudioFormat& format) {
  Log.push_back("open");
  if (OpenFails) return false;
  OpenedWith = format;
  return true;
}

void ScriptedAudioOutput::Write(int index, const std::uint8_t* data, int bytes) {
  Log.push_back("write " + std::to_string(index));
  Writes.push_back({index, data, std::string(reinterpret_cast<const char*>(data), bytes), Now});
  Playing p;
  p.Start = std::max(Now, queueEnd_);
  p.End = PlayMs < 0 ? -1 : p.Start + PlayMs;
  p.Bytes = bytes;
  queueEnd_ = p.End;
  playing_[index] = p;
  played_.push_back(p);
}

bool ScriptedAudioOutput::IsDone(int index) {
  Log.push_back("done? " + std::to_string(index));
  const std::optional<Playing>& p = playing_[index];
  return reset_ || !p || (p->End >= 0 && Now >= p->End);
}

bool ScriptedAudioOutput::Position(std::int64_t& bytes) {
  Log.push_back("position");
  if (!Positions.empty()) {
    const std::optional<std::int64_t> reading = Positions.front();
    Positions.pop_front();
    if (reading) bytes = *reading;
    return reading.has_value();
  }
  bytes = 0;
  for (const Playing& p : played_) {
    if (p.End < 0 || Now <= p.Start) continue;
    bytes += Now >= p.End ? p.Bytes : p.Bytes * (Now - p.Start) / (p.End - p.Start);
  }
  return true;
}

void ScriptedAudioOutput::Reset() {
  Log.push_back("reset");
  reset_ = true;
}

void ScriptedAudioOutput::Close() { Log.push_back("close"); }

void ScriptedAudioOutput::Sleep(int milliseconds) {
  Log.push_back("sleep " + std::to_string(milliseconds));
  Now += milliseconds;
}

std::uint8_t* ScriptedAudioOutput::AllocateBlock(std::size_t bytes) {
  if (FailAllocationAt > 0 && static_cast<int>(Allocated.size()) + 1 == FailAllocationAt) {
    return nullptr;
  }
  std::uint8_t* block = AudioOutput::AllocateBlock(bytes);
  Allocated.push_back(block);
  ++LiveBlocks;
  return block;
}

void ScriptedAudioOutput::FreeBlock(std::uint8_t* block) {
  ++Frees;
  --LiveBlocks;
  AudioOutput::FreeBlock(block);
}

int ScriptedAudioOutput::Count(const std::string& entry) const {
  return static_cast<int>(std::count(Log.begin(), Log.end(), entry));
}

int ScriptedAudioOutput::Find(const std::string& entry) const {
  const auto at = std::find(Log.begin(), Log.end(), entry);
  return at == Log.end() ? -1 : static_cast<int>(at - Log.begin());
}

}  // namespace sorvane::testing
