// The owner of every sector, the collisions of a proposal and the map's columns, worked out
// from channel tables built by hand.
#include "edit/interleave_map.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "container/placement.h"
#include "container/sector_owners.h"
#include "support/sound_channel.h"

namespace sorvane {
namespace {

ChannelRecord Record(int channel, int first, int count, int interleave) {
  return testing::SoundRecord(channel, false, false, first, interleave, count);
}

// Channel 1 on every 8th sector from 0 (end 80), channel 7 on every 4th from 2 (end 22),
// channel 9 wholly on channel 1's sectors, data at 5 and 88; post-gap 16.
class Owners : public ::testing::Test {
 protected:
  Owners() {
    xa.SectorCount = 200;
    xa.ChannelPostGap = 16;
    xa.AudioChannelTable.Append(Record(1, 0, 10, 8));
    xa.AudioChannelTable.Append(Record(7, 2, 5, 4));
    xa.AudioChannelTable.Append(Record(9, 16, 2, 8));
    xa.DataRunTable.Append(Record(255, 5, 1, 32));
    xa.DataRunTable.Append(Record(255, 88, 1, 32));
  }
  XaFile xa;
};

struct OwnerCase {
  int sector;
  int code;
};

TEST_F(Owners, FollowTableOrderThenDataRunsThenPostGaps) {
  const OwnerCase cases[] = {
      {0, 1},   {8, 1},    {72, 1},  // channel 1's first, second and last sector
      {16, 1},  {24, 1},             // channel 9 lies under channel 1, which comes first
      {80, -2},                      // channel 1's post-gap ...
      {88, -1},                      // ... where a data run owns the sector
      {96, -3},                      // the post-gap of 16 ends at 96
      {2, 7},   {18, 7},   {22, -2}, {34, -2}, {38, -3},  // channel 7, its gap and past it
      {5, -1},  {37, -2},  {69, -3},                      // a data run keeps a post-gap too
      {1, -3},  {199, -3},
  };
  SectorOwnerWalk walk(xa);
  for (const OwnerCase& c : cases)
    EXPECT_EQ(OwnerCode(xa, walk.OwnerOf(c.sector)), c.code) << "sector " << c.sector;
}

TEST_F(Owners, APostGapOfZeroOrBelowKeepsNothing) {
  for (int gap : {0, -1, -16}) {
    xa.ChannelPostGap = gap;
    SectorOwnerWalk walk(xa);
    EXPECT_EQ(OwnerCode(xa, walk.OwnerOf(80)), kOwnerEmpty) << gap;
    EXPECT_EQ(OwnerCode(xa, walk.OwnerOf(22)), kOwnerEmpty) << gap;
  }
}

TEST_F(Owners, NameTheRecordAndItsTable) {
  SectorOwnerWalk walk(xa);
  EXPECT_EQ(walk.OwnerOf(6), (SectorOwner{OwnerKind::Audio, 1}));
  EXPECT_EQ(walk.OwnerOf(26), (SectorOwner{OwnerKind::AudioPostGap, 1}));
  EXPECT_EQ(walk.OwnerOf(88), (SectorOwner{OwnerKind::Data, 1}));
  EXPECT_EQ(walk.OwnerOf(37), (SectorOwner{OwnerKind::DataPostGap, 0}));
  EXPECT_EQ(walk.OwnerOf(3), SectorOwner{});
}

// The owner by the definition, record by record, for comparison with the walk.
int OwnerByDefinition(const XaFile& xa, std::int64_t s) {
  for (const ChannelTable* table : {&xa.AudioChannelTable, &xa.DataRunTable}) {
    for (const ChannelRecord& r : *table) {
      if (s >= r.FirstSector && s < RecordEnd(r) && (s - r.FirstSector) % r.Interleave == 0)
        return table == &xa.AudioChannelTable ? r.Channel : kOwnerDataRun;
    }
  }
  for (const ChannelTable* table : {&xa.AudioChannelTable, &xa.DataRunTable}) {
    for (const ChannelRecord& r : *table) {
      const std::int64_t e = RecordEnd(r);
      if (s >= e && s < e + xa.ChannelPostGap && (s - r.FirstSector) % r.Interleave == 0)
        return kOwnerPostGap;
    }
  }
  return kOwnerEmpty;
}

// Twelve records of random places and lengths; in odd rounds some with interleaves that do
// not divide 32, as only a damaged table has them.
XaFile& RandomTables(XaFile& xa, std::mt19937& random, int round) {
  const int interleaves[] = {4, 8, 16, 32, 3, 5};
  xa.SectorCount = 3000;
  xa.ChannelPostGap = static_cast<int>(random() % 200) - 20;
  for (int i = 0; i < 12; ++i) {
    ChannelTable& table = i % 4 == 3 ? xa.DataRunTable : xa.AudioChannelTable;
    const int d = i % 4 == 3 ? 32 : interleaves[random() % (round % 2 ? 6 : 4)];
    table.Append(Record(i, static_cast<int>(random() % 2500), static_cast<int>(random() % 150), d));
  }
  return xa;
}

TEST(OwnerWalk, AgreesWithTheDefinitionInEveryOrderOnRandomTables) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    XaFile xa;
    RandomTables(xa, random, round);
    SectorOwnerWalk rising(xa);
    SectorOwnerWalk falling(xa);
    for (std::int64_t s = 0; s < xa.SectorCount; ++s) {
      ASSERT_EQ(OwnerCode(xa, rising.OwnerOf(s)), OwnerByDefinition(xa, s)) << round << " " << s;
      const std::int64_t back = xa.SectorCount - 1 - s;
      ASSERT_EQ(OwnerCode(xa, falling.OwnerOf(back)), OwnerByDefinition(xa, back));
    }
  }
}

TEST(MapColumns, ShowTheOwnerOfMostSectorsOfEachRowOnRandomTables) {
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    XaFile xa;
    RandomTables(xa, random, round);
    InterleaveMap map(xa);
    SectorOwnerWalk walk(xa);
    const std::int64_t first = random() % 90;
    const PeriodSpan span{first, first + 1 + static_cast<std::int64_t>(random() % 20)};
    const MapColumn column = map.Summarize(span);
    for (int row = 0; row < kMapRows; ++row) {
      std::map<std::pair<OwnerKind, int>, int> counts;
      for (std::int64_t p = span.First; p < span.End; ++p) {
        const SectorOwner owner = walk.OwnerOf(p * 32 + row);
        ++counts[{owner.Kind, owner.Record}];
      }
      int most = 0;
      for (const auto& [owner, count] : counts) most = std::max(most, count);
      const SectorOwner shown = column.Owner[row];
      EXPECT_EQ((counts[{shown.Kind, shown.Record}]), most) << round << " row " << row;
    }
    EXPECT_EQ(column.Present, 0xFFFFFFFFu);
  }
}

TEST_F(Owners, CollisionsAreTheProposedSectorsThatSomethingHolds) {
  const ChannelRecord free = Record(3, 4, 12, 8);  // slots 4, 12, 20, 28: nobody's
  EXPECT_TRUE(CollidingSectors(xa, free).empty());
  EXPECT_EQ(CheckCollision(xa, free), 0);
  // 64, 72 channel 1; 80 its gap; 88 data; 96 inside the data run's hold of slot 24.
  const ChannelRecord late = Record(3, 64, 5, 8);
  EXPECT_EQ(CollidingSectors(xa, late), (std::vector<std::int64_t>{64, 72, 80, 88, 96}));
  EXPECT_EQ(CheckCollision(xa, late), -1);
  const ChannelRecord after = Record(3, 160, 5, 8);  // every hold has ended
  EXPECT_TRUE(CollidingSectors(xa, after).empty());
  EXPECT_EQ(CheckCollision(xa, after), 0);
}

TEST_F(Owners, InsideAHoldOfOneOfItsSlotsEveryProposedSectorCollides) {
  // The data run at 88 holds slot 24 until its post-gap ends at 152; a proposal on slots
  // 0, 8, 16, 24 needs slot 24 too, although 96, 104 and 112 are free themselves.
  const ChannelRecord proposal = Record(3, 96, 3, 8);
  EXPECT_EQ(CollidingSectors(xa, proposal), (std::vector<std::int64_t>{96, 104, 112}));
  EXPECT_EQ(CheckCollision(xa, proposal), -1);
  EXPECT_TRUE(CollidingSectors(xa, Record(3, 152, 3, 8)).empty());
  EXPECT_EQ(CheckCollision(xa, Record(3, 152, 3, 8)), 0);
}

TEST(Collisions, ShowExactlyWhenTheProposalIsRefusedOnRandomTables) {
  std::mt19937 random(3);
  const int interleaves[] = {4, 8, 16, 32};
  for (int round = 0; round < 5000; ++round) {
    XaFile xa;
    xa.SectorCount = 3000;
    xa.ChannelPostGap = static_cast<int>(random() % 100);
    for (int i = 0; i < 6; ++i) {
      const bool data = i % 3 == 2;
      (data ? xa.DataRunTable : xa.AudioChannelTable)
          .Append(Record(i, static_cast<int>(random() % 2000), static_cast<int>(random() % 60),
                         data ? 32 : interleaves[random() % 4]));
    }
    const ChannelRecord proposal =
        Record(99, static_cast<int>(random() % 2500), 1 + static_cast<int>(random() % 40),
               interleaves[random() % 4]);
    ASSERT_EQ(CheckCollision(xa, proposal) != 0, !CollidingSectors(xa, proposal).empty())
        << "round " << round;
  }
}

TEST(Collisions, ARecordWithoutSectorsOrGapHoldsItsSlotFromItsStartOn) {
  // Its post-gap ends where it starts, and the placement rules free a slot before they take
  // it at one position: the slot stays taken, which the next event inside the proposal
  // (channel 0 starting at 804, on slot 4) finds.
  XaFile xa;
  xa.SectorCount = 3000;
  xa.AudioChannelTable.Append(Record(0, 804, 40, 32));
  xa.DataRunTable.Append(Record(255, 546, 0, 32));        // slot 2
  const ChannelRecord proposal = Record(3, 786, 25, 16);  // slots 2 and 18
  ASSERT_EQ(CheckCollision(xa, proposal), -1);
  // The proposed sector whose step holds the event at 804.
  EXPECT_EQ(CollidingSectors(xa, proposal), (std::vector<std::int64_t>{802}));
}

struct SpanCase {
  std::int64_t column, columns, periods;
  PeriodSpan expected;
};

TEST(MapColumns, EachStandsForAnEqualShareOfThePeriods) {
  const SpanCase cases[] = {
      {0, 4, 10, {0, 2}},  {1, 4, 10, {2, 5}},  {3, 4, 10, {7, 10}},   {0, 80, 10, {0, 1}},
      {7, 80, 10, {0, 1}}, {8, 80, 10, {1, 2}}, {79, 80, 10, {9, 10}}, {79, 80, 1000, {987, 1000}},
  };
  for (const SpanCase& c : cases) {
    const PeriodSpan span = ColumnPeriods(c.column, c.columns, c.periods);
    EXPECT_EQ(span.First, c.expected.First) << c.column << "/" << c.columns;
    EXPECT_EQ(span.End, c.expected.End) << c.column << "/" << c.columns;
  }
}

TEST_F(Owners, AColumnShowsTheOwnerOfMostOfEachRow) {
  xa.SectorCount = 96;
  InterleaveMap map(xa);
  const MapColumn column = map.Summarize({0, 3});
  EXPECT_EQ(column.Present, 0xFFFFFFFFu);
  EXPECT_EQ(column.Owner[0], (SectorOwner{OwnerKind::Audio, 0}));   // 0, 32, 64
  EXPECT_EQ(column.Owner[16], (SectorOwner{OwnerKind::Audio, 0}));  // 16, 48 and the gap's 80
  EXPECT_EQ(column.Owner[2], (SectorOwner{OwnerKind::Audio, 1}));   // 2; 34 gap; 66 empty
  EXPECT_EQ(column.Owner[5], (SectorOwner{OwnerKind::Data, 0}));    // 5; 37 gap; 69 empty
  EXPECT_EQ(column.Owner[1], SectorOwner{});
  EXPECT_EQ(column.Proposed, 0u);
}

TEST_F(Owners, AColumnAcrossAChannelsEndCountsEverySector) {
  xa.SectorCount = 320;
  xa.ChannelPostGap = 0;
  InterleaveMap map(xa);
  // Row 0 holds channel 1 in three periods (0, 32, 64) and nothing in seven.
  EXPECT_EQ(map.Summarize({0, 10}).Owner[0], SectorOwner{});
  // Row 0 of periods 0 to 4: channel 1 three times, empty twice.
  EXPECT_EQ(map.Summarize({0, 5}).Owner[0], (SectorOwner{OwnerKind::Audio, 0}));
}

TEST_F(Owners, RowsPastTheLastSectorAreNotPresent) {
  xa.SectorCount = 100;
  InterleaveMap map(xa);
  EXPECT_EQ(map.Summarize({3, 4}).Present, 0xFu);
  EXPECT_EQ(map.Summarize({4, 6}).Present, 0u);
}

TEST_F(Owners, AProposalMarksItsRowsAndItsCollisions) {
  InterleaveMap map(xa);
  // 136 and 144 lie inside the data run's hold of slot 24 (until 152); 152 and 160 do not.
  map.Propose(Record(3, 136, 4, 8));
  const MapColumn first = map.Summarize({4, 5});  // 128 .. 159
  EXPECT_EQ(first.Proposed, 1u << 8 | 1u << 16 | 1u << 24);
  EXPECT_EQ(first.Colliding, 1u << 8 | 1u << 16);
  const MapColumn second = map.Summarize({5, 6});  // 160 .. 191
  EXPECT_EQ(second.Proposed, 1u << 0);
  EXPECT_EQ(second.Colliding, 0u);
  EXPECT_TRUE(map.ProposalCollidesAt(144));
  EXPECT_FALSE(map.ProposalCollidesAt(152));
  EXPECT_FALSE(map.ProposalCollidesAt(88));  // held, but not the proposal's
  map.ClearProposal();
  EXPECT_EQ(map.Summarize({4, 5}).Proposed, 0u);
}

TEST(MapColours, EveryChannelHasItsOwnFarFromTheFixedColours) {
  std::set<std::tuple<int, int, int>> seen;
  auto distance = [](MapRgb a, MapRgb b) {
    return std::abs(a.R - b.R) + std::abs(a.G - b.G) + std::abs(a.B - b.B);
  };
  for (int channel = 0; channel < 256; ++channel) {
    const MapRgb c = ChannelColour(channel);
    seen.insert({c.R, c.G, c.B});
    for (MapRgb fixed : {kDataColour, kEmptyColour, kProposalColour, kCollisionColour})
      EXPECT_GT(distance(c, fixed), 60) << channel;
    if (channel > 0) {
      EXPECT_GT(distance(c, ChannelColour(channel - 1)), 80) << channel;
    }
  }
  EXPECT_EQ(seen.size(), 256u);
}

}  // namespace
}  // namespace sorvane
