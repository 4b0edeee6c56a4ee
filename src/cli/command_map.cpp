// `map`: the interleave map as 32 lines of characters and a legend, or the owner of every
// sector as JSON.
#include <charconv>
#include <cstdio>
#include <string>

#include "cli/command_descriptor.h"
#include "edit/interleave_map.h"

namespace sorvane::cli {
namespace {

constexpr long long kWidestPicture = 100000;

// Marks of the audio records where no colour tells them apart.
constexpr char kRecordMarks[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kRecordMarkCount = sizeof kRecordMarks - 1;
constexpr const char* kChannelBlock = "█";
constexpr const char* kDataMark = "▓";
constexpr const char* kPostGapMark = "░";
constexpr const char* kEmptyMark = "·";
constexpr const char* kResetColour = "\x1b[0m";

std::string Foreground(const MapRgb& c) {
  return "\x1b[38;2;" + std::to_string(c.R) + ";" + std::to_string(c.G) + ";" +
         std::to_string(c.B) + "m";
}

// Numbers written through a fixed buffer, so that the owners of a large file take no more
// memory than a small one's.
class NumberStream {
 public:
  explicit NumberStream(std::FILE* out) : out_(out) {}
  ~NumberStream() { Flush(); }
  void Add(int value) {
    if (used_ + 16 > sizeof buffer_) Flush();
    if (!first_) {
      buffer_[used_++] = ',';
      buffer_[used_++] = ' ';
    }
    first_ = false;
    used_ = static_cast<std::size_t>(
        std::to_chars(buffer_ + used_, buffer_ + sizeof buffer_, value).ptr - buffer_);
  }

 private:
  void Flush() {
    std::fwrite(buffer_, 1, used_, out_);
    used_ = 0;
  }
  std::FILE* out_;
  char buffer_[1 << 16];
  std::size_t used_ = 0;
  bool first_ = true;
};

void PrintOwners(std::FILE* out, const XaFile& xa) {
  std::fprintf(out, "{\"sector_count\": %d, \"channel_post_gap\": %d, \"owner\": [", xa.SectorCount,
               xa.ChannelPostGap);
  {
    NumberStream numbers(out);
    SectorOwnerWalk walk(xa);
    for (std::int64_t s = 0; s < xa.SectorCount; ++s) numbers.Add(OwnerCode(xa, walk.OwnerOf(s)));
  }
  std::fprintf(out, "]}\n");
}

class PicturePrinter {
 public:
  PicturePrinter(std::FILE* out, const XaFile& xa, bool colour)
      : out_(out), xa_(xa), colour_(colour) {}

  void Print(long long width) {
    InterleaveMap map(xa_);
    std::vector<MapColumn> columns;
    const std::int64_t periods = PeriodCount(xa_);
    for (long long c = 0; c < width; ++c)
      columns.push_back(map.Summarize(ColumnPeriods(c, width, periods)));
    for (int row = 0; row < kMapRows; ++row) {
      std::string line;
      for (const MapColumn& column : columns) line += Cell(column, row);
      std::fprintf(out_, "%s\n", line.c_str());
    }
    PrintLegend();
  }

 private:
  std::string Painted(const std::string& mark, const MapRgb& rgb) const {
    return colour_ ? Foreground(rgb) + mark + kResetColour : mark;
  }

  std::string RecordMark(int record) const {
    if (colour_)
      return Painted(kChannelBlock, ChannelColour(xa_.AudioChannelTable.Records[record].Channel));
    return std::string(1, kRecordMarks[record % kRecordMarkCount]);
  }

  std::string Cell(const MapColumn& column, int row) const {
    if (!(column.Present >> row & 1u)) return " ";
    const SectorOwner& owner = column.Owner[row];
    switch (owner.Kind) {
      case OwnerKind::Audio:
        return RecordMark(owner.Record);
      case OwnerKind::Data:
        return Painted(kDataMark, kDataColour);
      case OwnerKind::AudioPostGap:
      case OwnerKind::DataPostGap:
        return Painted(kPostGapMark, OwnerColour(xa_, owner));
      case OwnerKind::Empty:
        break;
    }
    return kEmptyMark;
  }

  void PrintLegend() const {
    for (int i = 0; i < xa_.AudioChannelTable.Count; ++i) {
      const ChannelRecord& r = xa_.AudioChannelTable.Records[i];
      std::fprintf(out_, "%s ch %d: first sector %d, %d sectors, interleave %d\n",
                   RecordMark(i).c_str(), r.Channel, r.FirstSector, r.SectorCount, r.Interleave);
    }
    std::fprintf(out_, "%s data\n", Painted(kDataMark, kDataColour).c_str());
    std::fprintf(out_, "%s post-gap (%d sectors)\n", kPostGapMark, xa_.ChannelPostGap);
    std::fprintf(out_, "%s empty\n", kEmptyMark);
  }

  std::FILE* out_;
  const XaFile& xa_;
  bool colour_;
};

}  // namespace

int CheckMap(CommandRun& run) {
  if (auto text = run.Args.Value("--width")) {
    long long width = 0;
    if (!ParseInteger(*text, width) || width < 1 || width > kWidestPicture)
      return run.UsageError("--width takes a whole number from 1 to 100000");
  }
  return ExitDone;
}

int RunMap(CommandRun& run) {
  if (run.Args.Has("--json")) {
    PrintOwners(run.Io.Out, run.Work.File);
    return ExitDone;
  }
  long long width = run.Io.OutIsTerminal ? run.Io.OutColumns : 80;
  if (auto text = run.Args.Value("--width")) ParseInteger(*text, width);
  PicturePrinter(run.Io.Out, run.Work.File, run.Io.OutIsTerminal).Print(width);
  return ExitDone;
}

}  // namespace sorvane::cli
