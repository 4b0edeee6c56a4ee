#include "audio/sdl_audio_output.h"

#include <SDL.h>

namespace sorvane {
namespace {

// Frames per transfer to the hardware: short enough that the queue tells the position to
// within about 23 ms at 44100 Hz.
constexpr Uint16 kDeviceFrames = 1024;

}  // namespace

SdlAudioOutput::~SdlAudioOutput() {
  if (device_ != 0) Close();
}

bool SdlAudioOutput::Open(const AudioFormat& format) {
  // Ctrl-C belongs to the program (the command line turns it into cancel), not to SDL.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = format.SampleRate;
  wanted.format = AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.Channels);
  wanted.samples = kDeviceFrames;
  wanted.callback = nullptr;  // queued audio
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  accounting_.Restart();
  SDL_PauseAudioDevice(device_, 0);
  paused_ = false;
  return true;
}

void SdlAudioOutput::Write(int index, const std::uint8_t* data, int bytes) {
  // SDL copies the bytes; the buffer still counts as held until its bytes have been played,
  // so the caller's ring keeps pace with the sound.
  if (SDL_QueueAudio(device_, data, static_cast<Uint32>(bytes)) != 0) return;
  accounting_.Handed(index, bytes);
  if (paused_) {
    SDL_PauseAudioDevice(device_, 0);
    paused_ = false;
  }
}

bool SdlAudioOutput::IsDone(int index) {
  // A device that SDL gave up will never play what it holds.
  return !Running() || accounting_.IsDone(index, Queued());
}

bool SdlAudioOutput::Position(std::int64_t& bytes) {
  if (!Running()) return false;
  bytes = accounting_.Played(Queued());
  return true;
}

void SdlAudioOutput::Reset() {
  SDL_PauseAudioDevice(device_, 1);
  paused_ = true;
  const std::int64_t unplayed = Queued();
  SDL_ClearQueuedAudio(device_);
  accounting_.Cleared(unplayed);
}

void SdlAudioOutput::Close() {
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Sleep(int milliseconds) { SDL_Delay(static_cast<Uint32>(milliseconds)); }

bool SdlAudioOutput::Running() const {
  return device_ != 0 && SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_STOPPED;
}

std::int64_t SdlAudioOutput::Queued() const { return SDL_GetQueuedAudioSize(device_); }

}  // namespace sorvane
