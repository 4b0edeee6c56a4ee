// The disc image builder read back by an independent reader, libiso9660: the tree, the
// extents, the XA fields; and the raw sectors' addresses and error codes.
#include "support/disc_image_builder.h"

#include <cdio/bytesex.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "format/little_endian.h"
#include "format/sector.h"
#include "format/sector_codes.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::DiscFile;
using testing::DiscImage;
using testing::DiscImageBuilder;
using testing::DiscMode;
using testing::PrintTo;
using testing::TempDir;

void QuietLog(cdio_log_level_t, const char*) {}

struct Entry {
  std::uint32_t lsn, size, sectors;
  std::uint16_t attributes;
  std::uint8_t fileNumber;
};

// Every file and directory under `dir` by path without version, as libiso9660 reads them.
void ReadTree(iso9660_t* iso, const std::string& dir, std::map<std::string, Entry>& out) {
  CdioList_t* list = iso9660_ifs_readdir(iso, (dir + "/").c_str());
  ASSERT_NE(list, nullptr) << dir;
  for (CdioListNode_t* n = _cdio_list_begin(list); n; n = _cdio_list_node_next(n)) {
    const auto* stat = static_cast<iso9660_stat_t*>(_cdio_list_node_data(n));
    std::string name = stat->filename;
    if (name == "." || name == "..") continue;
    name = name.substr(0, name.find(';'));
    const std::string path = dir.empty() ? name : dir + "/" + name;
    out[path] = {static_cast<std::uint32_t>(stat->lsn), stat->size, stat->secsize,
                 uint16_from_be(stat->xa.attributes), stat->xa.filenum};
    if (stat->type == iso9660_stat_s::_STAT_DIR && name != "LOOP") ReadTree(iso, path, out);
  }
  iso9660_filelist_free(list);
}

std::map<std::string, Entry> ReadBack(const std::string& image) {
  cdio_log_set_handler(QuietLog);
  std::map<std::string, Entry> entries;
  iso9660_t* iso = iso9660_open_fuzzy_ext(image.c_str(), ISO_EXTENSION_NONE, 20);
  EXPECT_NE(iso, nullptr) << image;
  if (!iso) return entries;
  ReadTree(iso, "", entries);
  iso9660_close(iso);
  return entries;
}

DiscImageBuilder SampleDisc() {
  DiscImageBuilder b;
  const std::string voice = testing::XaBuilder(16).Channel(0, false, false, 0, 4, 4).Bytes();
  b.Add({.path = "XA/VOICE.XA",
         .sectors = testing::SplitSectors(voice),
         .attributes = testing::kXaInterleavedForm2,
         .fileNumber = 1});
  b.Add({.path = "DATA.BIN", .sectors = testing::DataSectors(3, 5), .dataLength = 3 * 2048 - 100});
  b.Add({.path = "XA/MUSIC.XA",
         .sectors = testing::SplitSectors(voice),
         .attributes = testing::kXaInterleavedForm2,
         .fileNumber = 2,
         .lba = 60});
  b.Add({.path = "TRACK2.DA", .attributes = testing::kXaCdda, .onCddaTrack = true});
  return b;
}

const std::uint16_t kSampleAttributes[] = {0x3D55, 0x0D55, 0x3D55, 0x4000};

struct ModeCase {
  const char* Name;
  DiscMode mode;
  bool zeroForm2Edc;
  bool secondBin;
};

class DiscImageBuilderRead : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DiscImageBuilderRead, LibIso9660ReadsTheTreeWithExtentsAndXaFields) {
  DiscImageBuilder builder = SampleDisc();
  builder.Mode(GetParam().mode).CddaTrack(10, GetParam().secondBin, 150);
  if (GetParam().zeroForm2Edc) builder.ZeroForm2Edc();
  const DiscImage image = builder.Build();
  TempDir dir;
  image.Write(dir.Path());
  const auto entries = ReadBack(dir.File(image.binName));

  ASSERT_EQ(entries.size(), image.files.size() + 1);  // and directory XA
  EXPECT_EQ(entries.at("XA").lsn, static_cast<std::uint32_t>(image.directories.at(1).lba));
  EXPECT_EQ(entries.at("XA").attributes, testing::kXaDirectory);
  for (std::size_t i = 0; i < image.files.size(); ++i) {
    const testing::PlacedExtent& placed = image.files[i];
    const Entry& e = entries.at(placed.path);
    EXPECT_EQ(e.lsn, static_cast<std::uint32_t>(placed.lba)) << placed.path;
    EXPECT_EQ(e.size, placed.dataLength) << placed.path;
    EXPECT_EQ(e.sectors, (placed.dataLength + 2047) / 2048) << placed.path;
    EXPECT_EQ(e.attributes, kSampleAttributes[i]) << placed.path;
  }
  EXPECT_EQ(entries.at("XA/MUSIC.XA").lsn, 60u);
  EXPECT_EQ(entries.at("XA/MUSIC.XA").fileNumber, 2);
  EXPECT_EQ(image.cddaLba, image.dataTrackSectors + 150);
}

// Every raw sector carries sync, its BCD address (LBA + 150) and mode, and its error codes.
TEST_P(DiscImageBuilderRead, RawSectorsCarryAddressAndCodes) {
  if (GetParam().mode == DiscMode::Iso2048) {
    const DiscImage image = SampleDisc().Mode(DiscMode::Iso2048).Build();
    EXPECT_EQ(image.bin.substr(32769, 5), "CD001");
    return;
  }
  DiscImageBuilder builder = SampleDisc();
  if (GetParam().zeroForm2Edc) builder.ZeroForm2Edc();
  const DiscImage image = builder.Mode(GetParam().mode).Build();
  ASSERT_EQ(image.bin.size(), std::size_t(image.dataTrackSectors) * kRawSectorBytes);
  for (int lba = 0; lba < image.dataTrackSectors; ++lba) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(image.bin.data()) + lba * 2352LL;
    ASSERT_EQ(std::string(image.bin, lba * 2352LL, 12),
              std::string("\0", 1) + std::string(10, '\xFF') + std::string("\0", 1));
    const int a = lba + 150;
    EXPECT_EQ(raw[12], (a / 4500) / 10 * 16 + (a / 4500) % 10);
    EXPECT_EQ(raw[13], (a / 75 % 60) / 10 * 16 + (a / 75 % 60) % 10);
    EXPECT_EQ(raw[14], (a % 75) / 10 * 16 + (a % 75) % 10);
    EXPECT_EQ(raw[15], GetParam().mode == DiscMode::Mode1 ? 1 : 2);
    if (GetParam().mode == DiscMode::Mode1) {
      EXPECT_EQ(GetLe32(raw + 2064), SectorEdc(raw, 2064)) << lba;
      continue;
    }
    std::vector<std::uint8_t> again(raw + 16, raw + kRawSectorBytes);
    const bool form2 = raw[18] & kSubmodeForm2;
    if (form2 && GetParam().zeroForm2Edc) {
      EXPECT_EQ(GetLe32(raw + 16 + kForm2EdcOffset), 0u) << lba;
      continue;
    }
    SetSectorCodes(again.data());
    EXPECT_TRUE(std::equal(again.begin(), again.end(), raw + 16)) << lba;
  }
}

const ModeCase kModes[] = {
    {"Mode2", DiscMode::Mode2, false, false},
    {"Mode2ZeroEdcSecondBin", DiscMode::Mode2, true, true},
    {"Mode1", DiscMode::Mode1, false, false},
    {"Iso2048", DiscMode::Iso2048, false, false},
};
INSTANTIATE_TEST_SUITE_P(Modes, DiscImageBuilderRead, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.Name); });

// The damage hooks show in what a reader sees: a record outside the image, a zero length, a
// directory that lists itself; a truncated file; the CUE's tracks.
TEST(DiscImageBuilderDamage, RecordsSayWhatTheDamageAsks) {
  const DiscImage image = SampleDisc()
                              .OverrideRecord("DATA.BIN", 900000, std::nullopt)
                              .OverrideRecord("XA/VOICE.XA", std::nullopt, 0)
                              .LoopDirectory("")
                              .CddaTrack(10, true, 150)
                              .Truncate(40 * 2352)
                              .Build();
  TempDir dir;
  SampleDisc().LoopDirectory("").Build().Write(dir.Path());
  auto entries = ReadBack(dir.File(image.binName));
  EXPECT_EQ(entries.at("LOOP").lsn, static_cast<std::uint32_t>(image.directories[0].lba));

  image.Write(dir.Path());
  EXPECT_EQ(testing::FileLength(dir.File(image.binName)), 40 * 2352);
  EXPECT_EQ(image.cue,
            "FILE \"IMAGE.BIN\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
            "FILE \"IMAGE (Track 2).BIN\" BINARY\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n"
            "    INDEX 01 00:02:00\n");
  const DiscImage whole = SampleDisc()
                              .OverrideRecord("DATA.BIN", 900000, std::nullopt)
                              .OverrideRecord("XA/VOICE.XA", std::nullopt, 0)
                              .Build();
  whole.Write(dir.Path());
  entries = ReadBack(dir.File(whole.binName));
  EXPECT_EQ(entries.at("DATA.BIN").lsn, 900000u);
  EXPECT_EQ(entries.at("XA/VOICE.XA").size, 0u);
  EXPECT_EQ(entries.at("XA/VOICE.XA").lsn,
            static_cast<std::uint32_t>(whole.File("XA/VOICE.XA").lba));
}

}  // namespace
}  // namespace sorvane
