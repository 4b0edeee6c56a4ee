#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "codec/adpcm_decoder.h"
#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "container/xa_file.h"
#include "edit/decode_walk.h"
#include "support/sound_data.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::SoundData;
using testing::XaBuilder;
using Block = std::array<std::uint8_t, kPcmBlockBytes>;

ChannelRecord Record(int channel, int first, int count, int interleave, bool stereo = false) {
  ChannelRecord r;
  r.Channel = static_cast<std::uint8_t>(channel);
  r.HighRate = 1;
  r.Stereo = stereo ? 1 : 0;
  r.FirstSector = first;
  r.SectorCount = count;
  r.Interleave = interleave;
  return r;
}

// Sound that tells sectors apart: every nibble of unit 0 of group 0 is `mark`.
SoundData Marked(int mark) {
  SoundData data;
  data.Parameter(0, 0, 0, 8).FillNibbles(0, 0, mark);
  return data;
}

// The steps written as the numbers of the tables below: 0 a block, 1 still searching,
// 2 the end, -1 a failure.
int Code(WalkStep step) {
  switch (step) {
    case WalkStep::Decoded:
      return 0;
    case WalkStep::Searching:
      return 1;
    case WalkStep::End:
      return 2;
    case WalkStep::Failed:
      break;
  }
  return -1;
}

class DecodeNextSectorTest : public ::testing::Test {
 protected:
  void Open(const XaBuilder& builder) {
    path_ = dir_.File("walk.xa");
    builder.Write(path_);
    ASSERT_EQ(OpenXaFile(xa_, path_), 0);
  }

  // The results of DecodeNextSector until 2 or -1, with the blocks of the 0 results.
  std::vector<int> Walk(const ChannelRecord& record, std::vector<Block>* blocks = nullptr) {
    DecodeCursor cursor;
    SelectDecodeChannel(cursor, record);
    std::vector<int> results;
    Block out;
    for (int calls = 0; calls < 1000; ++calls) {
      out.fill(0xAB);
      const int result = Code(DecodeNextSector(xa_, cursor, state_, out.data()));
      results.push_back(result);
      if (result == 0 && blocks) blocks->push_back(out);
      if (result != 0) {
        for (std::uint8_t b : out) EXPECT_EQ(b, 0xAB) << "only result 0 writes the block";
      }
      if (result == 2 || result == -1) break;
    }
    last_ = cursor;
    return results;
  }

  testing::TempDir dir_;
  std::string path_;
  XaFile xa_;
  DecoderState state_;
  DecodeCursor last_;
};

TEST_F(DecodeNextSectorTest, SelectCopiesTheRecordAndItsSpan) {
  DecodeCursor cursor;
  SelectDecodeChannel(cursor, Record(9, 10, 5, 8));
  EXPECT_EQ(cursor.Record.Channel, 9);
  EXPECT_EQ(cursor.Current, 10);
  EXPECT_EQ(cursor.End, 50);
  SelectDecodeChannel(cursor, Record(9, 2000000000, 100000000, 32));
  EXPECT_EQ(cursor.End, INT32_MAX);  // no overflow for absurd records
}

TEST_F(DecodeNextSectorTest, Interleave32IsFoundWithoutResultOne) {
  Open(XaBuilder(100).Channel(1, true, false, 0, 32, 3));
  EXPECT_EQ(Walk(Record(1, 0, 3, 32)), (std::vector<int>{0, 0, 0, 2}));
}

TEST_F(DecodeNextSectorTest, SectorsFartherApartThan32GiveResultOneInBetween) {
  Open(XaBuilder(130).Channel(1, true, false, 0, 40, 3));
  std::vector<Block> blocks;
  EXPECT_EQ(Walk(Record(1, 0, 3, 40), &blocks), (std::vector<int>{0, 1, 0, 1, 0, 1, 2}));
  EXPECT_EQ(blocks.size(), 3u);
  EXPECT_EQ(last_.Current, 120);
}

TEST_F(DecodeNextSectorTest, DecodesOnlyTheChannelsSectorsInFileOrder) {
  XaBuilder builder(12);
  builder.Channel(1, true, false, 0, 4, 3).Channel(2, true, false, 2, 4, 3).Data(1);
  builder.Subheader(8, 7, 1, 0xE4, 0x00);  // another file number and the end mark still match
  for (int i : {0, 4, 8}) builder.Payload(i, Marked(i / 4 + 1).Payload());
  for (int i : {2, 6, 10}) builder.Payload(i, Marked(-5).Payload());
  Open(builder);
  std::vector<Block> blocks;
  EXPECT_EQ(Walk(Record(1, 0, 3, 4), &blocks), (std::vector<int>{0, 0, 0, 2}));
  ASSERT_EQ(blocks.size(), 3u);
  DecoderState fresh;
  Block expected;
  for (int n = 0; n < 3; ++n) {
    DecodeMonoSector(fresh, Marked(n + 1).Groups(), expected.data());
    EXPECT_EQ(blocks[n], expected) << "block " << n;
  }
}

TEST_F(DecodeNextSectorTest, TheSectorsOwnStereoFlagDecides) {
  XaBuilder builder(8);
  builder.Channel(1, false, false, 0, 8, 1).Subheader(0, 1, 1, 0x64, 0x05);  // stereo 18.9 kHz
  builder.Payload(0, Marked(3).Payload());
  Open(builder);
  std::vector<Block> blocks;
  EXPECT_EQ(Walk(Record(1, 0, 1, 16, false), &blocks), (std::vector<int>{0, 2}));
  DecoderState fresh;
  Block stereo;
  DecodeStereoSector(fresh, Marked(3).Groups(), stereo.data());
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], stereo);
  DecoderState other;
  Block mono;
  DecodeMonoSector(other, Marked(3).Groups(), mono.data());
  EXPECT_NE(mono, stereo);
}

TEST_F(DecodeNextSectorTest, ARecordReachingPastTheFileEndsWithResultTwo) {
  Open(XaBuilder(8).Channel(1, true, false, 0, 4, 2));
  EXPECT_EQ(Walk(Record(1, 0, 5, 4)), (std::vector<int>{0, 0, 2}));
}

TEST_F(DecodeNextSectorTest, ABrokenSubheaderFailsWithItsMessage) {
  Open(XaBuilder(12).Channel(1, true, false, 0, 4, 3).BreakSubheader(5));
  EXPECT_EQ(Walk(Record(1, 0, 3, 4)), (std::vector<int>{0, 0, -1}));
  EXPECT_STREQ(xa_.LastErrorText, text::kBadData);
  EXPECT_EQ(last_.Current, 6);  // the cursor moved past the failing sector
}

TEST_F(DecodeNextSectorTest, AShortReadFailsWithReadError) {
  Open(XaBuilder(12).Channel(1, true, false, 0, 4, 3));
  std::filesystem::resize_file(path_, 3 * kSectorBytes);
  EXPECT_EQ(Walk(Record(1, 0, 3, 4)), (std::vector<int>{0, -1}));
  EXPECT_STREQ(xa_.LastErrorText, text::kReadError);
}

TEST_F(DecodeNextSectorTest, ANegativeSectorFailsWithReadError) {
  Open(XaBuilder(12).Channel(1, true, false, 0, 4, 3));
  EXPECT_EQ(Walk(Record(1, -2, 3, 4)), (std::vector<int>{-1}));
  EXPECT_STREQ(xa_.LastErrorText, text::kReadError);
}

}  // namespace
}  // namespace sorvane
