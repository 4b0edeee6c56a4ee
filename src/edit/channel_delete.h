// The channel delete: after the user confirms, the channel's sectors become empty sectors,
// its entry leaves the table and the file is brought to its length. Channel data is never
// moved.
#pragma once

#include "codec/wav_import.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/xa_file.h"

namespace sorvane {

enum class DeleteResult { Declined, Done, Failed };

// Deletes entry `index` of the audio table. Declined: the confirmation was answered
// "キャンセル", nothing changed. Failed: a sector could not be read or written; the
// sectors emptied so far stay empty and the entry stays listed (no message is due).
// A cancel in the progress display counts as Done: the entry goes, the sectors not yet
// reached keep their sound.
DeleteResult DeleteChannel(XaFile& xa, EncodeCursor& cursor, int index, ProgressMonitor& progress,
                           Prompter& prompter);

}  // namespace sorvane
