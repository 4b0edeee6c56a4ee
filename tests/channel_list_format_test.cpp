#include "edit/channel_list_format.h"

#include <gtest/gtest.h>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

struct RowCase {
  ChannelRecord record;
  int unit;
  ChannelRow cells;
};

class ChannelListRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(ChannelListRow, FormatsEveryCellAsTheListShowsIt) {
  EXPECT_EQ(FormatChannelRow(GetParam().record, GetParam().unit), GetParam().cells);
}

const ChannelRecord kMono{1, 1, 0, 0, 3, 124, 8};
const ChannelRecord kDouble{4, 0, 1, 1, 5000, 3000, 8};

INSTANTIATE_TEST_SUITE_P(
    Examples, ChannelListRow,
    ::testing::Values(
        RowCase{kMono,
                UnitTime,
                {"  1", "  3", "  0:00.00", "  0:13.17", "  0:13.17", " 37.8k Mono", "  等速"}},
        RowCase{kMono,
                UnitSectors,
                {"  1", "  3", "      3", "    995", "    992", " 37.8k Mono", "  等速"}},
        RowCase{kMono,
                UnitHexSectors,
                {"  1", "  3", "      3", "    3E3", "    3E0", " 37.8k Mono", "  等速"}},
        RowCase{kDouble,
                UnitTime,
                {"  4", "  0", "  1:06.50", "  6:26.50", "  2:40.00", " 18.9k Stereo", "  倍速"}},
        RowCase{kDouble,
                UnitSectors,
                {"  4", "  0", "   5000", "  29000", "  24000", " 18.9k Stereo", "  倍速"}},
        RowCase{kDouble,
                UnitHexSectors,
                {"  4", "  0", "   1388", "   7148", "   5DC0", " 18.9k Stereo", "  倍速"}}));

TEST(ChannelListHeader, OnlyTheLengthColumnChangesWithTheUnit) {
  const ChannelRow time = ListHeader(UnitTime);
  EXPECT_EQ(time[4], "再生時間");
  EXPECT_EQ(ListHeader(UnitSectors)[4], text::kHeaderLength);
  EXPECT_EQ(ListHeader(UnitHexSectors)[4], "  長さ");
  EXPECT_EQ(time[0], " Ch");
  EXPECT_EQ(time[5], "    音質");
  EXPECT_EQ(time[6], "  回転");
}

}  // namespace
}  // namespace sorvane
