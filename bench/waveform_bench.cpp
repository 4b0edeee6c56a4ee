// waveform_bench FILE CH [RUNS]: times the waveform's summary of channel CH (the worker
// threads from start to the last piece, median of RUNS, default 5) and gives the memory the
// summary holds; then times how long `play --from` of the channel's last minute takes to hand
// its first block to the sound device (median of RUNS).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/audio_output.h"
#include "edit/channel_play.h"
#include "edit/file_open.h"
#include "edit/list_position.h"
#include "edit/waveform_job.h"
#include "edit/workspace.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// CPU seconds (user and system) of the whole process so far.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) / 2];
}

// A device that notes when the first block arrives; every buffer plays at once.
class FirstBlockOutput : public sorvane::AudioOutput {
 public:
  bool Open(const sorvane::AudioFormat&) override { return true; }
  void Write(int, const std::uint8_t*, int) override {
    if (!written) at = Clock::now();
    written = true;
  }
  bool IsDone(int) override { return true; }
  bool Position(std::int64_t&) override { return false; }
  void Reset() override {}
  void Close() override {}
  void Sleep(int) override {}
  bool written = false;
  Clock::time_point at;
};

// Stops the play at its first poll after the first block.
class StopAfterFirstBlock : public sorvane::SilentProgress {
 public:
  explicit StopAfterFirstBlock(const FirstBlockOutput& output) : output_(output) {}
  bool PollCancel() override { return output_.written; }

 private:
  const FirstBlockOutput& output_;
};

double SummaryRun(const sorvane::XaFile& xa, const sorvane::ChannelRecord& record,
                  std::size_t& memory, double& cpu) {
  const double cpuBefore = CpuSeconds();
  sorvane::WaveformSummary summary;
  summary.Reset(record);
  std::mutex lock;
  const Clock::time_point start = Clock::now();
  sorvane::WaveformJob job(sorvane::SourceOf(xa), record, [&](sorvane::WaveformPiece&& piece) {
    const std::lock_guard<std::mutex> hold(lock);
    summary.Add(piece);
  });
  job.Wait();
  const double seconds = Seconds(start);
  cpu = CpuSeconds() - cpuBefore;
  if (!summary.Complete()) std::fprintf(stderr, "the summary is incomplete\n");
  memory = summary.MemoryBytes();
  return seconds;
}

double PlayFromLastMinute(sorvane::Workspace& work, const sorvane::ChannelRecord& record) {
  const std::int64_t end = sorvane::RecordEnd(record);
  const std::int64_t frame =
      sorvane::FrameAtSector(record, std::max<std::int64_t>(record.FirstSector, end - 60 * 75));
  FirstBlockOutput output;
  StopAfterFirstBlock monitor(output);
  const Clock::time_point start = Clock::now();
  sorvane::PlayChannelFrom(work, record, frame, output, monitor);
  return std::chrono::duration<double>(output.at - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: waveform_bench FILE CH [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  auto work = std::make_unique<sorvane::Workspace>();
  sorvane::SilentProgress silent;
  if (sorvane::OpenAndScan(work->File, argv[1], sorvane::ScanExtent::FirstSectors, silent) ==
      sorvane::Outcome::Failed) {
    std::fprintf(stderr, "%s: %s\n", argv[1], work->File.LastErrorText);
    return 1;
  }
  const sorvane::ChannelRecord* record = nullptr;
  for (const sorvane::ChannelRecord& r : work->File.AudioChannelTable)
    if (r.Channel == std::atoi(argv[2])) record = &r;
  if (record == nullptr) {
    std::fprintf(stderr, "no such channel\n");
    return 1;
  }
  std::vector<double> summaries;
  std::vector<double> cpus;
  std::vector<double> plays;
  std::size_t memory = 0;
  for (int run = 0; run < runs; ++run) {
    double cpu = 0;
    summaries.push_back(SummaryRun(work->File, *record, memory, cpu));
    cpus.push_back(cpu);
  }
  for (int run = 0; run < runs; ++run) plays.push_back(PlayFromLastMinute(*work, *record));
  std::printf("channel sectors %d\n", record->SectorCount);
  std::printf("summary seconds (median of %d) %.3f\n", runs, Median(summaries));
  std::printf("summary cpu seconds (median of %d) %.3f\n", runs, Median(cpus));
  std::printf("summary memory bytes %zu (%.2f MB)\n", memory, memory / 1e6);
  std::printf("play --from last minute, first block after seconds (median of %d) %.3f\n", runs,
              Median(plays));
  return 0;
}
