// How a command ended. The message that goes with it, when there is one, is the
// LastErrorText of the file the command worked on.
#pragma once

namespace sorvane {

enum class Outcome {
  Done,       // finished (an answer that only shaped the result still counts as done)
  Cancelled,  // stopped by the progress display's cancel, or a dialog's "キャンセル"
  Declined,   // a question was answered "キャンセル", so the command stopped or did nothing
  Failed,     // failed or refused; LastErrorText says why
};

}  // namespace sorvane
