#include "edit/image_open.h"

#include "common/fixed_texts.h"
#include "disc/image_entry.h"

namespace sorvane {
namespace {

int Refuse(XaFile& xa, const char* text) {
  xa.LastErrorText = text;
  return -1;
}

// The entry `name` of `image`, read from `path`; nullptr or the fixed text why not.
const char* EntryOf(const std::string& path, const DiscImage& image, const std::string& name,
                    ImageEntry& entry) {
  EntryPlace place;
  if (const char* refused = FindImageEntry(image, name, place)) return refused;
  entry = ImageEntry{};
  entry.Image = path;
  const DiscFile* file = name.starts_with('@') ? nullptr : FindDiscFile(image, name);
  entry.Name = file != nullptr ? file->Path : name;
  entry.Offset = std::int64_t{place.FirstSector} * kRawSectorBytes;
  entry.Sectors = place.SectorCount;
  entry.RecordFileNumber = place.RecordFileNumber;
  return nullptr;
}

}  // namespace

int OpenDiscEntry(XaFile& xa, const std::string& path, const DiscImage& image,
                  const std::string& name) {
  ImageEntry entry;
  if (const char* refused = EntryOf(path, image, name, entry)) return Refuse(xa, refused);
  return OpenXaFileEntry(xa, image.TrackPath, entry);
}

int SwitchDiscEntry(XaFile& xa, const std::string& name) {
  DiscImage image;
  if (const char* refused = ReadDiscImage(xa.Entry.Image, image)) return Refuse(xa, refused);
  ImageEntry entry;
  if (const char* refused = EntryOf(xa.Entry.Image, image, name, entry)) return Refuse(xa, refused);
  SwitchXaFileEntry(xa, entry);
  return 0;
}

bool IsDiscImage(const std::string& path) { return SniffImage(path) != ImageKind::None; }

int OpenFileOrEntry(XaFile& xa, const std::string& path, const std::string& entry) {
  switch (SniffImage(path)) {
    case ImageKind::None:
      if (!entry.empty()) return Refuse(xa, text::kNoIsoVolume);
      return OpenXaFile(xa, path);
    case ImageKind::Iso2048:
      return Refuse(xa, text::kIso2048Image);
    case ImageKind::RawMode1:
      return Refuse(xa, text::kUnsupportedTrack);
    case ImageKind::CueSheet:
    case ImageKind::Raw2352:
      break;
  }
  if (entry.empty()) return Refuse(xa, text::kImageNeedsEntry);
  DiscImage image;
  if (const char* refused = ReadDiscImage(path, image)) return Refuse(xa, refused);
  return OpenDiscEntry(xa, path, image, entry);
}

const char* HistoryPathOf(const std::string& path, std::string& history) {
  history = path;
  if (SniffImage(path) != ImageKind::CueSheet) return nullptr;
  DiscImage image;
  if (const char* refused = FindDataTrack(path, image)) return refused;
  history = image.TrackPath;
  return nullptr;
}

}  // namespace sorvane
