// Files that a 2048-byte ripper made of XA sound: it read each sector's 2048 bytes of user
// data, which in an audio sector are its first 16 sound groups, and dropped the subheaders.
// Such a file cannot be read as XA; recognising it lets the person extract it again.
#pragma once

#include "container/xa_file.h"

namespace sorvane {

// True when the open file is a whole number of 2048-byte blocks, at least 90 % of which
// begin as XA sound groups do (in each group's 16 header bytes the parameter bytes twice,
// every filter 0..3), and one of those blocks holds a group of sound that is not all zero
// (parameters and sample words). Reads the whole file from byte 0 (any layout); false
// when it cannot.
bool LooksRippedAt2048(XaFile& xa);

// When LooksRippedAt2048, LastErrorText becomes the message that says so.
void ExplainRippedFile(XaFile& xa);

}  // namespace sorvane
