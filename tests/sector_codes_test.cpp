#include "format/sector_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/little_endian.h"
#include "format/sector.h"
#include "support/named_case.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;

// Two raw sectors that an independent image builder wrote, with their codes.
struct ReferenceCase {
  const char* Name;
  const char* file;
  int codesOffset;  // where the codes start, from the subheader on; they run to the end
};

const ReferenceCase kReferences[] = {
    {"Form2Audio", "form2-audio-lba107.sector", kForm2EdcOffset},
    {"Form1Empty", "form1-empty-lba1000.sector", kForm1EdcOffset},
};

std::vector<std::uint8_t> ReadReference(const char* file) {
  const std::string bytes =
      testing::ReadFileBytes(std::string(SORVANE_TEST_DATA_DIR "/disc/") + file);
  return {bytes.begin(), bytes.end()};
}

class ReferenceSector : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceSector, CodesComputedAgainMatchTheBuilderByteForByte) {
  const std::vector<std::uint8_t> reference = ReadReference(GetParam().file);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(kRawSectorBytes));
  std::vector<std::uint8_t> copy = reference;
  std::uint8_t* sector = copy.data() + kSyncAndHeaderBytes;
  std::fill(sector + GetParam().codesOffset, sector + kSectorBytes, 0);
  ASSERT_NE(copy, reference);

  SetSectorCodes(sector);
  EXPECT_EQ(copy, reference);
}

TEST_P(ReferenceSector, EveryChangedByteChangesTheEdc) {
  const std::vector<std::uint8_t> reference = ReadReference(GetParam().file);
  const std::uint8_t* sector = reference.data() + kSyncAndHeaderBytes;
  const int covered = GetParam().codesOffset;
  const std::uint32_t edc = SectorEdc(sector, covered);
  ASSERT_EQ(edc, GetLe32(sector + covered));
  for (const int at : {0, 2, 7, 8, 1000, covered - 8, covered - 1}) {
    for (const std::uint8_t flip : {0x01, 0x80, 0xFF}) {
      std::vector<std::uint8_t> changed(sector, sector + covered);
      changed[at] ^= flip;
      EXPECT_NE(SectorEdc(changed.data(), changed.size()), edc) << "byte " << at;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SectorCodes, ReferenceSector, ::testing::ValuesIn(kReferences),
                         [](const auto& info) { return std::string(info.param.Name); });

// The parity of Form 1 changes with the user data and never with the header, which Mode 2
// takes as zero; the form bit alone decides which codes a sector gets.
TEST(SectorCodes, Form1ParityFollowsTheDataAndTheFormBitChoosesTheCodes) {
  std::vector<std::uint8_t> form1(kSectorBytes, 0);
  SetSectorCodes(form1.data());
  EXPECT_EQ(GetLe32(form1.data() + kForm1EdcOffset), 0u);  // all zeros: a zero remainder
  std::vector<std::uint8_t> changed(kSectorBytes, 0);
  changed[100] = 1;
  SetForm1Codes(changed.data());
  EXPECT_NE(std::vector(changed.begin() + kForm1EccOffset, changed.begin() + kForm1EccOffset + 172),
            std::vector(form1.begin() + kForm1EccOffset, form1.begin() + kForm1EccOffset + 172));
  EXPECT_NE(std::vector(changed.begin() + kForm1EccOffset + 172, changed.end()),
            std::vector(form1.begin() + kForm1EccOffset + 172, form1.end()));

  std::vector<std::uint8_t> form2(kSectorBytes, 0x5A);
  form2[2] = kSubmodeForm2;
  form2[6] = kSubmodeForm2;
  const std::vector<std::uint8_t> before = form2;
  SetSectorCodes(form2.data());
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + kForm2EdcOffset, form2.begin()));
  EXPECT_EQ(GetLe32(form2.data() + kForm2EdcOffset), SectorEdc(form2.data(), kForm2EdcOffset));
}

}  // namespace
}  // namespace sorvane
