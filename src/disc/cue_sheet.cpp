#include "disc/cue_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace sorvane {
namespace {

std::string Upper(std::string_view word) {
  std::string out(word);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Splits a line into words; a word in double quotes may hold spaces.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    if (at >= line.size()) break;
    if (line[at] == '"') {
      const std::size_t close = line.find('"', at + 1);
      const std::size_t end = close == std::string_view::npos ? line.size() : close;
      words.emplace_back(line.substr(at + 1, end - at - 1));
      at = end + 1;
      continue;
    }
    std::size_t end = at;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    words.emplace_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

// "MM:SS:FF" as a sector number; -1 when it is not one.
std::int32_t SectorOfTime(const std::string& text) {
  int minutes = 0, seconds = 0, frames = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d%c", &minutes, &seconds, &frames, &tail) != 3) return -1;
  if (minutes < 0 || minutes > 99 || seconds < 0 || seconds > 59 || frames < 0 || frames > 74)
    return -1;
  return (minutes * 60 + seconds) * 75 + frames;
}

// Calls `each(KEYWORD, words)` for every line that has words; the keyword in capitals, without
// a byte order mark.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::vector<std::string> words = Words(text.substr(at, end - at));
    at = end + 1;
    if (words.empty()) continue;
    std::string key = Upper(words[0]);
    if (key.starts_with("\xEF\xBB\xBF")) key.erase(0, 3);
    each(key, words);
  }
}

}  // namespace

bool LooksLikeCueSheet(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return false;
  bool file = false, track = false;
  ForEachLine(text, [&](const std::string& key, const std::vector<std::string>&) {
    file = file || key == "FILE";
    track = track || key == "TRACK";
  });
  return file && track;
}

std::vector<CueTrack> ParseCueSheet(std::string_view text) {
  std::vector<CueTrack> tracks;
  std::string file;
  ForEachLine(text, [&](const std::string& key, const std::vector<std::string>& words) {
    if (key == "FILE" && words.size() >= 2) {
      file = words[1];
    } else if (key == "TRACK" && words.size() >= 3) {
      tracks.push_back({std::atoi(words[1].c_str()), Upper(words[2]), file});
    } else if (key == "INDEX" && words.size() >= 3 && !tracks.empty()) {
      const int number = std::atoi(words[1].c_str());
      if (number == 0) tracks.back().Index0 = SectorOfTime(words[2]);
      if (number == 1) tracks.back().Index1 = SectorOfTime(words[2]);
    }
  });
  return tracks;
}

}  // namespace sorvane
