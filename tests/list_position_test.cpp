// Position texts as the channel list writes them, read back, and the frames they name.
#include "edit/list_position.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane {
namespace {

struct ParseCase {
  const char* Text;
  std::optional<int> Unit;
  bool Read;
  std::int64_t Sector;
};

class ListPositionParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ListPositionParse, ReadsTheListsUnitsOrRefuses) {
  std::int64_t sector = -7;
  EXPECT_EQ(ParseListPosition(GetParam().Text, GetParam().Unit, sector), GetParam().Read);
  EXPECT_EQ(sector, GetParam().Read ? GetParam().Sector : -7);
}

const ParseCase kParses[] = {
    {"  1:02.74", std::nullopt, true, (62 * 75) + 74},
    {"12:00", std::nullopt, true, 720 * 75},
    {"0:00.5", UnitTime, true, 5},
    {"0:59.00", std::nullopt, true, 59 * 75},
    {"0:60.00", std::nullopt, false, 0},
    {"0:10.75", std::nullopt, false, 0},
    {"0:10.", std::nullopt, false, 0},
    {":10.00", std::nullopt, false, 0},
    {"-1:00.00", std::nullopt, false, 0},
    {"1234", std::nullopt, true, 1234},
    {"1234", UnitHexSectors, true, 0x1234},
    {"  4D2 ", std::nullopt, true, 0x4D2},
    {"4d2", UnitSectors, false, 0},
    {"12:00", UnitSectors, false, 0},
    {"100", UnitTime, false, 0},
    {"0x10", std::nullopt, false, 0},
    {"-5", std::nullopt, false, 0},
    {"", std::nullopt, false, 0},
    // A huge number is held below any overflow, and so lies past every channel.
    {"99999999999999999999999", std::nullopt, true, std::int64_t{1} << 40},
};

INSTANTIATE_TEST_SUITE_P(Texts, ListPositionParse, ::testing::ValuesIn(kParses));

TEST(ListPositionFrame, CutsToTheFrameAndRefusesOutsideTheChannel) {
  // 18.9 kHz stereo at interleave 8 from sector 11: 2352 frames per channel sector.
  ChannelRecord r{};
  r.Stereo = 1;
  r.FirstSector = 11;
  r.Interleave = 8;
  r.SectorCount = 10;  // end 91
  struct Case {
    const char* Text;
    std::int64_t Frame;  // -1: refused as outside
  } cases[] = {{"11", 0},  {"12", 294}, {"19", 2352},    {"91", 23520},      {"0:00.08", 0},
               {"10", -1}, {"92", -1},  {"0:00.07", -1}, {"0:01.16", 23520}, {"5A", 23226}};
  for (const Case& c : cases) {
    std::int64_t frame = -1;
    const char* error = nullptr;
    const bool read = ChannelFrameOf(r, c.Text, std::nullopt, frame, error);
    EXPECT_EQ(read, c.Frame >= 0) << c.Text;
    if (read) {
      EXPECT_EQ(frame, c.Frame) << c.Text;
    } else {
      EXPECT_STREQ(error, text::kPositionOutsideChannel) << c.Text;
    }
  }
}

}  // namespace
}  // namespace sorvane
