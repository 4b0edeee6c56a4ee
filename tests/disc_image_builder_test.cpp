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

std::vector<DiscFile> SampleFiles() {
  const std::string voice = testing::XaBuilder(16).Channel(0, false, false, 0, 4, 4).Bytes();
  return {{.path = "XA/VOICE.XA",
           .sectors = testing::SplitSectors(voice),
           .attributes = testing::kXaInterleavedForm2,
           .fileNumber = 1},
          {.path = "DATA.BIN", .sectors = testing::DataSectors(3, 5), .dataLength = 3 * 2048 - 100},
          {.path = "XA/MUSIC.XA",
           .sectors = testing::SplitSectors(voice),
           .attributes = testing::kXaInterleavedForm2,
           .fileNumber = 2,
           .lba = 60},
          {.path = "TRACK2.DA", .attributes = testing::kXaCdda, .onCddaTrack = true}};
}

// Enough files in one directory that its records take two sectors.
std::vector<DiscFile> SampleFilesAndAFullDirectory() {
  std::vector<DiscFile> files = SampleFiles();
  for (int i = 0; i < 40; ++i)
    files.push_back({.path = "MANY/F" + std::to_string(i) + ".DAT",
                     .sectors = testing::DataSectors(1, i),
                     .fileNumber = static_cast<std::uint8_t>(i)});
  return files;
}

DiscImageBuilder Builder(const std::vector<DiscFile>& files, DiscMode mode, bool zeroForm2Edc) {
  DiscImageBuilder builder;
  for (const DiscFile& f : files) builder.Add(f);
  if (zeroForm2Edc) builder.ZeroForm2Edc();
  builder.Mode(mode);
  return builder;
}

struct ModeCase {
  const char* Name;
  DiscMode mode;
  bool zeroForm2Edc;
  bool secondBin;
};

class DiscImageBuilderRead : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DiscImageBuilderRead, LibIso9660ReadsTheTreeWithExtentsAndXaFields) {
  // libiso9660 reads a directory as one run of 2048-byte blocks from its first sector's data,
  // which is right only in a 2048-byte image: there a directory of two sectors is read back;
  // in raw images each directory fits one sector (the next test compares the user data).
  const bool iso = GetParam().mode == DiscMode::Iso2048;
  const std::vector<DiscFile> files = iso ? SampleFilesAndAFullDirectory() : SampleFiles();
  const DiscImage image = Builder(files, GetParam().mode, GetParam().zeroForm2Edc)
                              .CddaTrack(10, GetParam().secondBin, 150)
                              .Build();
  TempDir dir;
  image.Write(dir.Path());
  const auto entries = ReadBack(dir.File(image.binName));

  ASSERT_EQ(entries.size(), files.size() + image.directories.size() - 1);
  for (const testing::PlacedExtent& d : image.directories) {
    if (d.path.empty()) continue;
    EXPECT_EQ(entries.at(d.path).lsn, static_cast<std::uint32_t>(d.lba)) << d.path;
    EXPECT_EQ(entries.at(d.path).size, d.dataLength) << d.path;
    EXPECT_EQ(entries.at(d.path).attributes, testing::kXaDirectory) << d.path;
  }
  if (iso) {
    EXPECT_EQ(image.directories.at(1).sectors, 2);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const testing::PlacedExtent& placed = image.files[i];
    const Entry& e = entries.at(placed.path);
    EXPECT_EQ(e.lsn, static_cast<std::uint32_t>(placed.lba)) << placed.path;
    EXPECT_EQ(e.size, placed.dataLength) << placed.path;
    EXPECT_EQ(e.sectors, (placed.dataLength + 2047) / 2048) << placed.path;
    EXPECT_EQ(e.attributes, files[i].attributes) << placed.path;
    EXPECT_EQ(e.fileNumber, files[i].fileNumber) << placed.path;
  }
  EXPECT_EQ(entries.at("XA/MUSIC.XA").lsn, 60u);
  EXPECT_EQ(image.cddaLba, image.dataTrackSectors + 150);
}

int Bcd(int value) { return value / 10 * 16 + value % 10; }

// Every raw sector carries sync, its BCD address (LBA + 150), its mode, the user data of the
// 2048-byte image of the same files, and its error codes.
TEST_P(DiscImageBuilderRead, RawSectorsCarryAddressUserDataAndCodes) {
  const std::vector<DiscFile> files = SampleFilesAndAFullDirectory();
  const DiscImage image = Builder(files, GetParam().mode, GetParam().zeroForm2Edc).Build();
  const DiscImage iso = Builder(files, DiscMode::Iso2048, false).Build();
  ASSERT_EQ(iso.bin.size(), std::size_t(iso.dataTrackSectors) * 2048);
  EXPECT_EQ(iso.bin.substr(32769, 5), "CD001");
  if (GetParam().mode == DiscMode::Iso2048) return;
  const bool mode1 = GetParam().mode == DiscMode::Mode1;
  const std::string sync = std::string(1, '\0') + std::string(10, '\xFF') + std::string(1, '\0');
  ASSERT_EQ(image.bin.size(), std::size_t(image.dataTrackSectors) * kRawSectorBytes);
  for (int lba = 0; lba < image.dataTrackSectors; ++lba) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(image.bin.data()) + lba * 2352LL;
    const int a = lba + 150;
    ASSERT_EQ(image.bin.substr(lba * 2352LL, 12), sync);
    EXPECT_EQ(
        std::vector(raw + 12, raw + 16),
        std::vector<std::uint8_t>({std::uint8_t(Bcd(a / 4500)), std::uint8_t(Bcd(a / 75 % 60)),
                                   std::uint8_t(Bcd(a % 75)), std::uint8_t(mode1 ? 1 : 2)}));
    EXPECT_EQ(image.bin.substr(lba * 2352LL + (mode1 ? 16 : 24), 2048),
              iso.bin.substr(lba * 2048LL, 2048))
        << lba;
    if (mode1) {
      EXPECT_EQ(GetLe32(raw + 2064), SectorEdc(raw, 2064)) << lba;
    } else if ((raw[18] & kSubmodeForm2) && GetParam().zeroForm2Edc) {
      EXPECT_EQ(GetLe32(raw + 16 + kForm2EdcOffset), 0u) << lba;
    } else {
      std::vector<std::uint8_t> again(raw + 16, raw + kRawSectorBytes);
      SetSectorCodes(again.data());
      EXPECT_TRUE(std::equal(again.begin(), again.end(), raw + 16)) << lba;
    }
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
  const DiscImage image = Builder(SampleFiles(), DiscMode::Mode2, false)
                              .OverrideRecord("DATA.BIN", 900000, std::nullopt)
                              .OverrideRecord("XA/VOICE.XA", std::nullopt, 0)
                              .LoopDirectory("")
                              .Build();
  TempDir dir;
  image.Write(dir.Path());
  const auto entries = ReadBack(dir.File(image.binName));
  EXPECT_EQ(entries.at("LOOP").lsn, static_cast<std::uint32_t>(image.directories[0].lba));
  EXPECT_EQ(entries.at("DATA.BIN").lsn, 900000u);
  EXPECT_EQ(entries.at("XA/VOICE.XA").size, 0u);
  EXPECT_EQ(entries.at("XA/VOICE.XA").lsn,
            static_cast<std::uint32_t>(image.File("XA/VOICE.XA").lba));
}

TEST(DiscImageBuilderDamage, TruncatedImageAndCueOfASecondBin) {
  const DiscImage image = Builder(SampleFiles(), DiscMode::Mode2, false)
                              .CddaTrack(10, true, 150)
                              .Truncate(40 * 2352)
                              .Build();
  EXPECT_EQ(image.bin.size(), 40u * 2352);
  EXPECT_EQ(image.audioBin.size(), 160u * 2352);
  EXPECT_EQ(image.cue,
            "FILE \"IMAGE.BIN\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
            "FILE \"IMAGE (Track 2).BIN\" BINARY\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n"
            "    INDEX 01 00:02:00\n");
}

}  // namespace
}  // namespace sorvane
