// Builds CD images for tests the way a PlayStation image builder lays them out: raw 2352-byte
// Mode 2 sectors (sync, BCD address, subheaders, EDC/ECC), the system area, an ISO 9660
// primary volume descriptor marked CD-XA001, path tables, directories whose records carry
// the XA system-use field, and files at chosen or next-free sectors; optionally a CD-DA
// track, a Mode 1 or 2048-byte-sector variant, and damage for the tests of bad input.
//
// The data track: sectors 0-15 the system area (Form 1, zeros, subheader 00 00 08 00), 16 the
// primary volume descriptor, 17 the terminator, 18 and 19 the little- and big-endian path
// tables, from 20 the directories (root first, path table order), then the files; sectors
// between files are Form 1 zeros with subheader 00 00 00 00. It ends with the last extent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::testing {

// XA attributes of a directory record (stored big-endian).
inline constexpr std::uint16_t kXaInterleavedForm2 = 0x3D55;  // interleaved Form 2 audio
inline constexpr std::uint16_t kXaData = 0x0D55;              // Form 1 data
inline constexpr std::uint16_t kXaCdda = 0x4000;              // a file on a CD-DA track
inline constexpr std::uint16_t kXaDirectory = 0x8D55;

struct DiscFile {
  // From the root, "XA/VOICE.XA": directory XA is made; ";1" is added. Names are written as
  // given, odd bytes included, and sorted by their bytes.
  std::string path;
  // 2336 bytes each, subheader on, written as given but for the error codes, which are
  // computed for the form the submode says. Mode 1 and 2048-byte images keep bytes 8..2055.
  std::vector<std::vector<std::uint8_t>> sectors{};
  std::uint16_t attributes = kXaData;
  std::uint8_t fileNumber = 0;
  std::optional<std::uint32_t> dataLength{};  // default: sectors × 2048
  // Default: the next free sector after the files before it. A chosen one may overlap others
  // (the later file's sectors win).
  std::optional<int> lba{};
  bool onCddaTrack = false;  // no sectors of its own: it names the CD-DA track
};

enum class DiscMode {
  Mode2,    // raw 2352-byte Mode 2 sectors, Form 1 or 2 by each subheader
  Mode1,    // raw 2352-byte Mode 1 sectors: 2048 user bytes, EDC, parity left zero
  Iso2048,  // the user data of each sector only; CD001 at byte 32,769
};

// Where a file or directory was put: its extent's first sector (on the disc, counted from the
// data track's start) and its length in sectors and bytes.
struct PlacedExtent {
  std::string path;  // as given, without version; "" is the root
  int lba = 0;
  int sectors = 0;
  std::uint32_t dataLength = 0;
};

struct DiscImage {
  std::string bin;       // the data track's file (and the CD-DA track when in the same file)
  std::string audioBin;  // the CD-DA track's own file, or empty
  std::string cue;       // FILE, TRACK and INDEX lines naming the files below
  std::string binName, audioBinName, cueName;
  int dataTrackSectors = 0;
  int cddaLba = -1;                       // the CD-DA track's first sector after its pregap, or -1
  std::vector<PlacedExtent> files;        // in the order they were added
  std::vector<PlacedExtent> directories;  // the root first, in path table order

  const PlacedExtent& File(const std::string& path) const;
  // Writes bin, audioBin (when there is one) and cue into `folder`; returns the CUE's path.
  std::string Write(const std::string& folder) const;
};

class DiscImageBuilder {
 public:
  DiscImageBuilder& Add(DiscFile file);
  DiscImageBuilder& Mode(DiscMode mode);
  // Form 2 sectors keep a zero EDC, as older mastering tools left them.
  DiscImageBuilder& ZeroForm2Edc();
  // A CD-DA track of `sectors` after the data track, after `pregap` silent sectors (INDEX 00),
  // in the data track's BIN or in a second one.
  DiscImageBuilder& CddaTrack(int sectors, bool secondBin = false, int pregap = 0);
  DiscImageBuilder& Names(std::string bin, std::string audioBin, std::string cue);

  // Damage. The record of `path` (file or directory; "" the root's record in the volume
  // descriptor) says another extent or length; the layout and the path tables stay.
  DiscImageBuilder& OverrideRecord(const std::string& path, std::optional<std::uint32_t> lba,
                                   std::optional<std::uint32_t> dataLength);
  // Directory `path` ("" is the root) gets a subdirectory LOOP whose extent is its own.
  DiscImageBuilder& LoopDirectory(const std::string& path);
  // The data track's file is cut to `bytes`.
  DiscImageBuilder& Truncate(std::size_t bytes);

  // The image of the files in the order added, each at its chosen or the next free sector.
  DiscImage Build() const;

 private:
  friend class DiscLayout;
  struct Override {
    std::string path;
    std::optional<std::uint32_t> lba, dataLength;
  };
  std::vector<DiscFile> files_;
  DiscMode mode_ = DiscMode::Mode2;
  bool zeroForm2Edc_ = false;
  int cddaSectors_ = 0, cddaPregap_ = 0;
  bool cddaSecondBin_ = false;
  std::string binName_ = "IMAGE.BIN", audioBinName_ = "IMAGE (Track 2).BIN", cueName_ = "IMAGE.CUE";
  std::vector<Override> overrides_;
  std::vector<std::string> loops_;
  std::optional<std::size_t> truncate_;
};

// The sectors of a plain 2336-byte XA file (an XaBuilder's Bytes()) as a file's sectors.
std::vector<std::vector<std::uint8_t>> SplitSectors(const std::string& plain2336);
// `count` Form 1 data sectors (subheader 00 00 08 00, the last 00 00 89 00) of bytes from
// `seed`.
std::vector<std::vector<std::uint8_t>> DataSectors(int count, unsigned seed);

}  // namespace sorvane::testing
