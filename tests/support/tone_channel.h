// XA files holding a channel encoded from sine tones (or silence), one tone per side, for
// tests of what the waveform shows.
#pragma once

#include "container/xa_file.h"
#include "support/xa_builder.h"

namespace sorvane::testing {

// A side's sound: a sine of `Amplitude` (0 for silence) at `Hertz` of the channel's rate.
struct Tone {
  int Amplitude = 0;
  double Hertz = 441.0;
};

// A file of `sectors` sectors whose channel `record` is encoded by our encoder from the two
// tones (a mono channel from their mix).
XaBuilder ToneChannelFile(int sectors, const ChannelRecord& record, Tone left, Tone right);

}  // namespace sorvane::testing
