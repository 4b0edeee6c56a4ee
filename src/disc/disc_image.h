// Disc images: what an image is (known by its content, not its name), which file holds its
// data track, and the files its ISO 9660 directory lists, with where their sectors lie.
// Sector numbers are logical block addresses: sector N of the data track lies at byte
// N x 2352 of the track's file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvane {

enum class ImageKind {
  None,      // not a disc image
  CueSheet,  // a CUE sheet naming the image's files
  Raw2352,   // whole 2352-byte sectors whose sector 16 is a Mode 2 primary volume descriptor
  RawMode1,  // the same with a Mode 1 data track, which holds no XA sectors
  Iso2048,   // an ordinary image of 2048-byte sectors, without subheaders
};

// What the file at `path` is. Reads at most a few kilobytes.
ImageKind SniffImage(const std::string& path);

struct SectorRange {
  std::int32_t First = 0;
  std::int32_t Count = 0;
  std::int64_t End() const { return std::int64_t{First} + Count; }
};

// XA attributes of a directory record (host order).
inline constexpr std::uint16_t kXaForm1 = 0x0800;
inline constexpr std::uint16_t kXaForm2 = 0x1000;
inline constexpr std::uint16_t kXaInterleaved = 0x2000;
inline constexpr std::uint16_t kXaCdda = 0x4000;

// A file the image's directory lists.
struct DiscFile {
  std::string Path;              // from the root, with its version: "/XA/VOICE.XA;1"
  std::int32_t FirstSector = 0;  // the extent's first sector
  std::int32_t SectorCount = 0;  // ⌈data length ÷ 2048⌉, cut where the next extent begins
  std::int64_t DataLength = 0;   // bytes, as the directory records it
  std::uint16_t Attributes = 0;  // XA attributes; 0 without an XA field
  std::uint8_t FileNumber = 0;   // the XA field's file number
  bool Cut = false;              // its extent ran into the next one and was cut there

  int Form() const { return (Attributes & kXaForm2) != 0 ? 2 : 1; }
  bool Interleaved() const { return (Attributes & kXaInterleaved) != 0; }
  bool CdDa() const { return (Attributes & kXaCdda) != 0; }
  // Form 2 or interleaved: a file that can hold XA audio.
  bool MayHoldAudio() const { return !CdDa() && (Form() == 2 || Interleaved()); }
};

struct DiscImage {
  std::string TrackPath;          // the file that holds the data track
  std::int32_t TrackSectors = 0;  // whole sectors of the data track present in it
  std::vector<DiscFile> Files;    // every file, directories left out, in directory order
  // What no entry may touch: the system area, the volume descriptors, the path tables and
  // the directories, and CD-DA tracks in the data track's file.
  std::vector<SectorRange> Reserved;
  std::vector<std::string> Warnings;
};

// Finds the file of the data track of the image at `path` (TrackPath, TrackSectors, and the
// CD-DA tracks that follow it in that file), without reading its directory. nullptr or the
// fixed text of why not, as ReadDiscImage.
const char* FindDataTrack(const std::string& path, DiscImage& image);

// Reads the image at `path`: a CUE sheet, or a raw image. nullptr when it was read; else the
// fixed text of why not (no ISO 9660 volume, a track layout we cannot edit, the CUE's image
// missing, a 2048-byte image).
const char* ReadDiscImage(const std::string& path, DiscImage& image);

// Reads the ISO 9660 directory tree of the data track in `image.TrackPath` into `image`
// (Files, the directories' sectors in Reserved, Warnings). nullptr or the fixed text why not.
const char* ReadIsoTree(DiscImage& image);

}  // namespace sorvane
