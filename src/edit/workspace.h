// The process-wide state of one run of the editor or of one command-line call: the open
// file and the codec's state that carries over from one operation to the next. The
// program creates one and hands it to every command by reference.
#pragma once

#include "codec/adpcm_decoder.h"
#include "container/undo_journal.h"
#include "container/xa_file.h"
#include "edit/decode_walk.h"
#include "edit/import_passes.h"

namespace sorvane {

struct Workspace {
  Workspace() { Journal.SetRoot(DefaultUndoRoot()); }

  XaFile File;
  UndoJournal Journal;  // the history of the open file's edits
  DecoderState Decoder;
  DecodeCursor Decoding;  // the channel being exported or played
  Importer Import;
};

}  // namespace sorvane
