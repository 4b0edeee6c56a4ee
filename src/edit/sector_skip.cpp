#include "edit/sector_skip.h"

#include <memory>

namespace sorvane {

// One thread on purpose: a second thread for the right side, reading the file through a reader
// of its own, measured slower (bench/waveform_timing.sh) on a machine whose two cores are
// shared, since both threads then copy the whole span of the file.
SkipEnd SkipChannelSectors(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                           std::int64_t count, ProgressMonitor& monitor) {
  const auto values = std::make_unique<SectorValues>();
  for (std::int64_t passed = 0; passed < count;) {
    monitor.SetPosition(ProgressPercent(cursor.Current, cursor.Record.FirstSector, cursor.End));
    if (monitor.PollCancel()) return SkipEnd::Cancelled;
    const WalkStep step = DecodeNextValues(xa, cursor, state, *values);
    if (step == WalkStep::Failed) return SkipEnd::Failed;
    if (step == WalkStep::End) return SkipEnd::End;
    if (step == WalkStep::Decoded) ++passed;
  }
  return SkipEnd::Done;
}

}  // namespace sorvane
