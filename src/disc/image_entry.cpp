#include "disc/image_entry.h"

#include <cctype>
#include <charconv>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

// A path compared without case, without a leading '/', and without the version of its
// last part (";1"), nor the '.' a name without extension keeps before it.
std::string PathKey(const std::string& path) {
  std::string key = path.starts_with('/') ? path.substr(1) : path;
  const std::size_t slash = key.rfind('/');
  const std::size_t semicolon = key.rfind(';');
  if (semicolon != std::string::npos && (slash == std::string::npos || semicolon > slash))
    key.erase(semicolon);
  if (key.ends_with('.')) key.pop_back();
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

bool ParseCount(std::string_view text, std::int32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// "@LBA:COUNT" with COUNT of at least one sector.
bool ParseRange(const std::string& name, EntryPlace& place) {
  const std::size_t colon = name.find(':');
  if (!name.starts_with('@') || colon == std::string::npos) return false;
  const std::string_view text(name);
  return ParseCount(text.substr(1, colon - 1), place.FirstSector) &&
         ParseCount(text.substr(colon + 1), place.SectorCount) && place.SectorCount > 0;
}

// Why the sectors of `place` cannot be an entry (one of them is reserved, or lies past the
// image's end), or nullptr.
const char* RefusePlace(const DiscImage& image, const EntryPlace& place) {
  const std::int64_t end = std::int64_t{place.FirstSector} + place.SectorCount;
  for (const SectorRange& r : image.Reserved)
    if (place.FirstSector < r.End() && r.First < end) return text::kUnsupportedTrack;
  return end > image.TrackSectors ? text::kImageTruncated : nullptr;
}

}  // namespace

const DiscFile* FindDiscFile(const DiscImage& image, const std::string& name) {
  const std::string key = PathKey(name);
  for (const DiscFile& file : image.Files)
    if (PathKey(file.Path) == key) return &file;
  return nullptr;
}

const char* FindImageEntry(const DiscImage& image, const std::string& name, EntryPlace& place) {
  place = EntryPlace{};
  if (name.starts_with('@')) {
    if (!ParseRange(name, place)) return text::kNoSuchImageFile;
    return RefusePlace(image, place);
  }
  const DiscFile* file = FindDiscFile(image, name);
  if (file == nullptr) return text::kNoSuchImageFile;
  if (file->CdDa()) return text::kUnsupportedTrack;
  place.FirstSector = file->FirstSector;
  place.SectorCount = file->SectorCount;
  if (file->Attributes != 0) place.RecordFileNumber = file->FileNumber;
  return RefusePlace(image, place);
}

}  // namespace sorvane
