#include "container/placement.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

ChannelRecord Record(int first, int count, int interleave, std::uint8_t channel = 1) {
  ChannelRecord r;
  r.Channel = channel;
  r.FirstSector = first;
  r.SectorCount = count;
  r.Interleave = interleave;
  return r;
}

class Placement : public ::testing::Test {
 protected:
  void Add(const ChannelRecord& r) { xa.AudioChannelTable.Append(r); }
  XaFile xa;
};

TEST_F(Placement, EmptyTablesLetEverythingThroughAndProposeZero) {
  ChannelRecord trial = Record(40, 10, 8);
  EXPECT_EQ(CheckCollision(xa, trial), 0);
  EXPECT_EQ(CheckCollisionExcept(xa, trial, nullptr), 0);
  EXPECT_EQ(trial.SectorCount, 10);
  EXPECT_EQ(FindFreeStart(xa, trial), 0);
  EXPECT_EQ(trial.FirstSector, 40);
  for (int wanted : {0, -5}) {
    trial.FirstSector = wanted;
    FindFreeStart(xa, trial);
    EXPECT_EQ(trial.FirstSector, 0) << wanted;
  }
}

struct CollisionCase {
  const char* name;
  int postGap;
  ChannelRecord recorded;
  ChannelRecord trial;
  int expected;
};

class Collision : public Placement, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(Collision, FollowsSlotsSpansAndPostGaps) {
  xa.ChannelPostGap = GetParam().postGap;
  Add(GetParam().recorded);
  EXPECT_EQ(CheckCollision(xa, GetParam().trial), GetParam().expected);
}

// Recorded channel: sectors 0, 8, ..., 72 (end 80).
INSTANTIATE_TEST_SUITE_P(
    Cases, Collision,
    ::testing::Values(
        // Post-gap 16 ends at 96: a trial starting there is free, one step earlier is not.
        CollisionCase{"after_post_gap", 16, Record(0, 10, 8), Record(96, 5, 8), 0},
        CollisionCase{"inside_post_gap", 16, Record(0, 10, 8), Record(88, 5, 8), -1},
        // A post-gap of 10 is raised to two whole steps.
        CollisionCase{"gap_rounded_up", 10, Record(0, 10, 8), Record(88, 5, 8), -1},
        CollisionCase{"no_gap_next_step", 0, Record(0, 10, 8), Record(80, 5, 8), 0},
        CollisionCase{"wholly_inside", 0, Record(0, 10, 8), Record(16, 2, 8), -1},
        CollisionCase{"other_slots", 1000, Record(0, 10, 8), Record(4, 500, 8), 0},
        CollisionCase{"overlapping_later", 0, Record(40, 10, 8), Record(0, 10, 8), -1},
        CollisionCase{"ends_where_other_starts", 0, Record(40, 10, 8), Record(0, 5, 8), 0},
        // Interleave 4 at slot 0 holds slots 0, 4, ..., 28; interleave 8 at slot 4 meets it.
        CollisionCase{"finer_interleave", 0, Record(0, 10, 4), Record(4, 2, 8), -1},
        CollisionCase{"negative_gap", -16, Record(0, 10, 8), Record(72, 1, 8), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Placement, CheckCollisionExceptCutsTheTrialBeforeTheNextStartOnItsSlots) {
  Add(Record(0, 5, 8));
  Add(Record(12, 3, 4, 2));  // starts 12 sectors after the trial, on its slots
  ChannelRecord trial = xa.AudioChannelTable.Records[0];
  trial.SectorCount = 500000;
  EXPECT_EQ(CheckCollisionExcept(xa, trial, &xa.AudioChannelTable.Records[0]), -1);
  EXPECT_EQ(trial.SectorCount, 1);  // (12 - 0) / 8, although sector 8 lies before 12
}

TEST_F(Placement, CheckCollisionExceptLeavesARoomyTrialAlone) {
  Add(Record(0, 5, 8));
  Add(Record(4, 5, 8, 2));
  ChannelRecord trial = xa.AudioChannelTable.Records[0];
  trial.SectorCount = 500000;
  EXPECT_EQ(CheckCollisionExcept(xa, trial, &xa.AudioChannelTable.Records[0]), 0);
  EXPECT_EQ(trial.SectorCount, 500000);
}

TEST_F(Placement, AnEventAtTheTrialsEndEndsTheCheck) {
  Add(Record(0, 5, 8));
  Add(Record(40, 5, 8, 2));
  ChannelRecord trial = Record(0, 5, 8);  // ends at 40, where channel 2 starts
  EXPECT_EQ(CheckCollisionExcept(xa, trial, &xa.AudioChannelTable.Records[0]), 0);
  EXPECT_EQ(trial.SectorCount, 5);
}

TEST_F(Placement, DataRunsCountAsChannels) {
  xa.DataRunTable.Append(Record(3, 4, 32, 255));
  ChannelRecord trial = Record(3, 10, 8);
  EXPECT_EQ(CheckCollision(xa, trial), -1);
  trial.FirstSector = 4;
  EXPECT_EQ(CheckCollision(xa, trial), 0);
}

TEST_F(Placement, FindFreeStartKeepsAFreeWantedStartAndSearchesOtherwise) {
  Add(Record(0, 100, 8));
  ChannelRecord trial = Record(201, 10, 8);
  FindFreeStart(xa, trial);
  EXPECT_EQ(trial.FirstSector, 201);
  trial.FirstSector = 0;
  FindFreeStart(xa, trial);
  EXPECT_EQ(trial.FirstSector, 1);  // lowest free residue at the first event
}

TEST_F(Placement, FindFreeStartWaitsForTheEventThatFreesAWholeClass) {
  // Every slot is held until the post-gap of the channel on slot 1 ends at 100.
  xa.ChannelPostGap = 0;
  Add(Record(0, 100, 4));
  Add(Record(1, 25, 4, 2));
  Add(Record(2, 100, 4, 3));
  Add(Record(3, 100, 4, 4));
  ChannelRecord trial = Record(0, 10, 4);
  FindFreeStart(xa, trial);
  EXPECT_EQ(trial.FirstSector, 101);
  EXPECT_EQ(CheckCollision(xa, trial), 0);
}

TEST_F(Placement, FindFreeStartSkipsACandidateThatALaterChannelWouldStartOn) {
  Add(Record(0, 4, 8));      // slot 0 busy until 32
  Add(Record(17, 2, 8, 2));  // slot 1 from 17 on
  ChannelRecord trial = Record(0, 10, 8);
  FindFreeStart(xa, trial);
  EXPECT_EQ(trial.FirstSector, 2);
  EXPECT_EQ(CheckCollision(xa, trial), 0);
}

TEST_F(Placement, FindFreeStartNeverProposesAStartBeforeTheFile) {
  Add(Record(0, 10, 8));
  ChannelRecord trial = Record(-37, 5, 8);
  FindFreeStart(xa, trial);
  EXPECT_GE(trial.FirstSector, 0);
  EXPECT_EQ(CheckCollision(xa, trial), 0);
}

TEST_F(Placement, ProposalsAfterEveryRecordedChannelStillFit) {
  for (int k = 0; k < 8; ++k) Add(Record(k, 100, 8, static_cast<std::uint8_t>(k)));
  ChannelRecord trial = Record(0, 10, 8);
  FindFreeStart(xa, trial);
  EXPECT_GE(trial.FirstSector, 800);
  EXPECT_EQ(CheckCollision(xa, trial), 0);
}

}  // namespace
}  // namespace sorvane
