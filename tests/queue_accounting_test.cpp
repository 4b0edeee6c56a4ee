// The byte accounting that turns SDL's queued-bytes count into done flags and a position.
#include "audio/queue_accounting.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

constexpr std::int64_t kBlock = 9408;

TEST(QueueAccounting, BuffersNeverHandedOverAreDone) {
  QueueAccounting queue;
  for (int i = 0; i < QueueAccounting::kBuffers; ++i) EXPECT_TRUE(queue.IsDone(i, 0));
  EXPECT_EQ(queue.Played(0), 0);
}

struct Reading {
  std::int64_t Queued;
  std::int64_t Played;
  bool Done[3];  // buffers 0, 1, 2
};

TEST(QueueAccounting, ABufferIsDoneOnceTheDeviceHasTakenItsLastByte) {
  QueueAccounting queue;
  queue.Handed(0, kBlock);
  queue.Handed(1, kBlock);
  queue.Handed(2, kBlock);
  const Reading readings[] = {
      {3 * kBlock, 0, {false, false, false}},
      {3 * kBlock - 2048, 2048, {false, false, false}},
      {2 * kBlock + 1, kBlock - 1, {false, false, false}},
      {2 * kBlock, kBlock, {true, false, false}},
      {kBlock - 4096, 2 * kBlock + 4096, {true, true, false}},
      {0, 3 * kBlock, {true, true, true}},
  };
  for (const Reading& r : readings) {
    EXPECT_EQ(queue.Played(r.Queued), r.Played) << r.Queued;
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(queue.IsDone(i, r.Queued), r.Done[i]) << r.Queued << " " << i;
  }
}

TEST(QueueAccounting, ARefilledBufferWaitsForItsNewBytes) {
  QueueAccounting queue;
  for (int i = 0; i < QueueAccounting::kBuffers; ++i) queue.Handed(i, kBlock);
  // Buffer 0 played, then handed over again behind the other 15.
  queue.Handed(0, kBlock);
  EXPECT_FALSE(queue.IsDone(0, 16 * kBlock));
  EXPECT_FALSE(queue.IsDone(1, 15 * kBlock + 1));
  EXPECT_TRUE(queue.IsDone(1, 15 * kBlock));
  EXPECT_TRUE(queue.IsDone(15, kBlock));
  EXPECT_FALSE(queue.IsDone(0, 1));
  EXPECT_TRUE(queue.IsDone(0, 0));
  EXPECT_EQ(queue.Played(0), 17 * kBlock);
}

TEST(QueueAccounting, ClearingGivesBackEveryBufferAndKeepsThePosition) {
  QueueAccounting queue;
  queue.Handed(0, kBlock);
  queue.Handed(1, kBlock);
  queue.Cleared(kBlock + 100);  // stopped 100 bytes before the end of buffer 0
  EXPECT_TRUE(queue.IsDone(0, 0));
  EXPECT_TRUE(queue.IsDone(1, 0));
  EXPECT_EQ(queue.Played(0), kBlock - 100);
  // The stream goes on from where the sound stopped.
  queue.Handed(2, kBlock);
  EXPECT_FALSE(queue.IsDone(2, 1));
  EXPECT_EQ(queue.Played(kBlock), kBlock - 100);
  EXPECT_EQ(queue.Played(0), 2 * kBlock - 100);
}

TEST(QueueAccounting, MoreQueuedThanHandedOverCountsAsNothingPlayed) {
  QueueAccounting queue;
  queue.Handed(0, kBlock);
  EXPECT_EQ(queue.Played(2 * kBlock), 0);
  EXPECT_FALSE(queue.IsDone(0, 2 * kBlock));
}

TEST(QueueAccounting, RestartForgetsTheStream) {
  QueueAccounting queue;
  queue.Handed(3, kBlock);
  queue.Restart();
  EXPECT_TRUE(queue.IsDone(3, 0));
  EXPECT_EQ(queue.Played(0), 0);
}

}  // namespace
}  // namespace sorvane
