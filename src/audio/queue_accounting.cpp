#include "audio/queue_accounting.h"

#include <algorithm>

namespace sorvane {

void QueueAccounting::Handed(int index, std::int64_t bytes) {
  handed_ += bytes;
  end_[index] = handed_;
  pending_[index] = true;
}

std::int64_t QueueAccounting::Played(std::int64_t queued) const {
  return std::clamp<std::int64_t>(handed_ - queued, 0, handed_);
}

bool QueueAccounting::IsDone(int index, std::int64_t queued) const {
  return !pending_[index] || Played(queued) >= end_[index];
}

void QueueAccounting::Cleared(std::int64_t queued) {
  handed_ = Played(queued);
  pending_.fill(false);
}

void QueueAccounting::Restart() {
  handed_ = 0;
  end_.fill(0);
  pending_.fill(false);
}

}  // namespace sorvane
