#include "edit/image_open.h"

#include "common/fixed_texts.h"
#include "disc/image_entry.h"

namespace sorvane {
namespace {

int Refuse(XaFile& xa, const char* text) {
  xa.LastErrorText = text;
  return -1;
}

}  // namespace

int OpenDiscEntry(XaFile& xa, const std::string& path, const DiscImage& image,
                  const std::string& name) {
  EntryPlace place;
  if (const char* refused = FindImageEntry(image, name, place)) return Refuse(xa, refused);
  ImageEntry entry;
  entry.Image = path;
  const DiscFile* file = name.starts_with('@') ? nullptr : FindDiscFile(image, name);
  entry.Name = file != nullptr ? file->Path : name;
  entry.Offset = std::int64_t{place.FirstSector} * kRawSectorBytes;
  entry.Sectors = place.SectorCount;
  entry.RecordFileNumber = place.RecordFileNumber;
  return OpenXaFileEntry(xa, image.TrackPath, entry);
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
