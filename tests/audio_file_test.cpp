// Audio files beyond the plain WAV: each format is built here, appended to a new file, exported
// back, and compared with the same sound appended from a plain 16-bit WAV; the mixdown of more
// than two channels; files that neither reader can read; a file that fails part-way.
#include "input/audio_file.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/signals.h"
#include "support/sound_file_writer.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::RunInProcess;
using testing::TempDir;
using testing::WavBuilder;

constexpr double kExact = std::numeric_limits<double>::infinity();
// The share of a front channel in its side when more than two channels are mixed down.
constexpr double kFrontShare = 1.0 / 2.4142;

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// A stereo test sound and the file built from it.
struct Sound {
  std::vector<std::int16_t> Stereo;
  int Rate = 0;
};

// Each side on the front channels of a file of `channels` channels, the others silent.
std::vector<std::int16_t> OnFrontChannels(const Sound& s, int channels) {
  std::vector<std::int16_t> out;
  for (std::size_t i = 0; i + 1 < s.Stereo.size(); i += 2) {
    out.push_back(s.Stereo[i]);
    out.push_back(s.Stereo[i + 1]);
    out.insert(out.end(), std::size_t(channels - 2), 0);
  }
  return out;
}

bool WriteWith(int format, const std::string& path, const Sound& s) {
  return testing::WriteSoundFile(path, format, 2, s.Rate, s.Stereo);
}

bool WriteWavWithChunks(const std::string& path, const Sound& s, const std::string& id,
                        const std::string& body, bool afterData) {
  WavBuilder wav(2, s.Rate, 16);
  wav.Samples16(s.Stereo);
  if (afterData) {
    wav.ChunkBeforeData("fact", std::string(4, '\x01')).ChunkAfterData(id, body);
  } else {
    wav.ChunkBeforeData(id, body);
  }
  wav.Write(path);
  return true;
}

// An MP3 made by FFmpeg (LAME, 192 kbit/s); false without FFmpeg. libsndfile 1.2.0 writes
// MP3s too, but what it writes decodes far from its input in every decoder we tried (FFmpeg's
// included), so it would test its encoder rather than our reading.
bool WriteMp3(const std::string& path, const Sound& s) {
  if (!HaveFfmpeg()) return false;
  const std::string wav = path + ".wav";
  WavBuilder(2, s.Rate, 16).Samples16(s.Stereo).Write(wav);
  const std::string command = "ffmpeg -nostdin -loglevel quiet -y -i '" + wav +
                              "' -codec:a libmp3lame -b:a 192k '" + path + "'";
  return std::system(command.c_str()) == 0;
}

using Builder = bool (*)(const std::string& path, const Sound& sound);

struct FormatCase {
  const char* Name;
  const char* Extension;
  int Rate;
  Builder Build;
  double Scale;     // of the reference: the mixdown's share when the file has more channels
  double MinSnrDb;  // of the export against the export of the plain-WAV reference
};

// Lossless formats deliver the very 16-bit frames the plain WAV does (16-bit values are exact in
// 24/32-bit integers, float and double, and the mixdown rounds as the reference does), so the
// sectors are identical: kExact. Lossy codecs lose against the reference what they lose against
// the source (libsndfile's decoders remove the codec delay, so no lag is allowed for); each floor
// is about 6 dB under what was measured (in the note beside it), so that an encoder library's
// update does not fail the test, while a wrong channel, rate, scale or offset (all near or
// below 0 dB) does.
const FormatCase kFormats[] = {
    {"ListBeforeData", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWavWithChunks(p, s, "LIST", std::string("INFOISFT\x0d\0\0\0Lavf60.3.100\0", 25),
                                 false);
     },
     1.0, kExact},
    {"Bext", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWavWithChunks(p, s, "bext", std::string(602, '\0'), false);
     },
     1.0, kExact},
    {"Junk", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWavWithChunks(p, s, "JUNK", std::string(28, '\0'), false);
     },
     1.0, kExact},
    {"OddChunkWithPadByte", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWavWithChunks(p, s, "odd ", std::string(7, 'x'), false);
     },
     1.0, kExact},
    {"FactAndChunkAfterData", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWavWithChunks(p, s, "LIST", std::string(9, 'y'), true);
     },
     1.0, kExact},
    {"Extensible16", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, p, s);
     },
     1.0, kExact},
    {"Extensible24", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, p, s);
     },
     1.0, kExact},
    {"PlainHeader24", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAV | SF_FORMAT_PCM_24, p, s);
     },
     1.0, kExact},
    {"Int32", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAV | SF_FORMAT_PCM_32, p, s);
     },
     1.0, kExact},
    {"Float", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAV | SF_FORMAT_FLOAT, p, s);
     },
     1.0, kExact},
    {"Double", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_WAV | SF_FORMAT_DOUBLE, p, s);
     },
     1.0, kExact},
    {"FourChannelsExtensible", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return testing::WriteSoundFile(p, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 4, s.Rate,
                                      OnFrontChannels(s, 4));
     },
     kFrontShare, kExact},
    {"SixChannelsExtensible", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return testing::WriteSoundFile(p, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 6, s.Rate,
                                      OnFrontChannels(s, 6));
     },
     kFrontShare, kExact},
    {"FourChannelsFlac", "flac", 44100,
     [](const std::string& p, const Sound& s) {
       return testing::WriteSoundFile(p, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 4, s.Rate,
                                      OnFrontChannels(s, 4));
     },
     kFrontShare, kExact},
    {"SixChannelsFlac", "flac", 44100,
     [](const std::string& p, const Sound& s) {
       return testing::WriteSoundFile(p, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 6, s.Rate,
                                      OnFrontChannels(s, 6));
     },
     kFrontShare, kExact},
    {"Rf64", "wav", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_RF64 | SF_FORMAT_PCM_16, p, s);
     },
     1.0, kExact},
    {"W64", "w64", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_W64 | SF_FORMAT_PCM_16, p, s);
     },
     1.0, kExact},
    {"Aiff", "aiff", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, p, s);
     },
     1.0, kExact},
    {"Flac", "flac", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, p, s);
     },
     1.0, kExact},
    {"Flac24At48k", "flac", 48000,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_FLAC | SF_FORMAT_PCM_24, p, s);
     },
     1.0, kExact},
    {"OggVorbis", "ogg", 44100,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_OGG | SF_FORMAT_VORBIS, p, s);
     },
     1.0, 20.0},  // measured 26.9 dB
    {"Opus48k", "opus", 48000,
     [](const std::string& p, const Sound& s) {
       return WriteWith(SF_FORMAT_OGG | SF_FORMAT_OPUS, p, s);
     },
     1.0, 14.0},                                 // measured 20.3 dB
    {"Mp3", "mp3", 44100, WriteMp3, 1.0, 24.0},  // measured 30.2 dB
};

class FormatRoundTrip : public ::testing::TestWithParam<FormatCase> {
 protected:
  // new, append (answering yes), export: the exported channel's samples.
  std::vector<std::int32_t> AppendAndExport(const std::string& input, const std::string& name) {
    const std::string xa = dir.File(name + ".xa");
    const std::string out = dir.File(name + "-out.wav");
    EXPECT_EQ(RunInProcess("new " + xa).ExitStatus, 0);
    const auto appended = RunInProcess("append " + xa + " " + input + " --yes");
    EXPECT_EQ(appended.ExitStatus, 0) << appended.Err;
    EXPECT_EQ(RunInProcess("export " + xa + " 0 " + out).ExitStatus, 0);
    const std::string bytes = testing::ReadFileBytes(out);
    std::vector<std::int32_t> samples;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
      samples.push_back(
          static_cast<std::int16_t>(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
    return samples;
  }

  TempDir dir;
};

TEST_P(FormatRoundTrip, ExportsWhatThePlainWavOfTheSameSoundExports) {
  const FormatCase& c = GetParam();
  const Sound sound{testing::ChordWithSweep(c.Rate, 1.0, 2), c.Rate};
  const std::string input = dir.File(std::string("in.") + c.Extension);
  if (!c.Build(input, sound))
    GTEST_SKIP() << "no writer for this format here (libsndfile or ffmpeg)";

  std::vector<std::int16_t> reference;
  for (const std::int16_t v : sound.Stereo)
    reference.push_back(static_cast<std::int16_t>(std::nearbyint(v * c.Scale)));
  const std::string plain = dir.File("reference.wav");
  WavBuilder(2, c.Rate, 16).Samples16(reference).Write(plain);

  const auto expected = AppendAndExport(plain, "reference");
  const auto got = AppendAndExport(input, "tested");
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(got.size(), expected.size());
  const double snr = testing::SnrDb(expected, got);
  RecordProperty("snr_db", std::to_string(snr));
  EXPECT_GE(snr, c.MinSnrDb);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatRoundTrip, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.Name); });

// Files that neither reader takes are refused with the WAV reader's message; a plain WAV it
// refuses is not handed on. Nothing is written either way.
struct RefusalCase {
  const char* Name;
  std::string Bytes;
  const char* Message;
};

const RefusalCase kRefusals[] = {
    {"NotAudio", std::string(100, 'x'), text::kWavUnexpectedLayout},
    {"ShorterThanAHeader", "RIFF", text::kWavCannotRead},
    {"PlainHeaderWithBlockAlignZero",
     WavBuilder(2, 44100, 16).Samples16(std::vector<std::int16_t>(200)).BlockAlign(0).Bytes(),
     text::kWavUnsupported},
    {"PlainHeaderAtRateZero",
     WavBuilder(2, 44100, 16).Samples16(std::vector<std::int16_t>(200)).Rate(0).Bytes(),
     text::kWavUnsupported},
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, SaysTheWavReadersMessageAndChangesNothing) {
  TempDir dir;
  const std::string xa = dir.File("a.xa");
  const std::string input = dir.File("in.wav");
  const std::string good = dir.File("good.wav");
  WavBuilder(2, 44100, 16).Samples16(testing::ChordWithSweep(44100, 0.2, 2)).Write(good);
  ASSERT_EQ(RunInProcess("new " + xa).ExitStatus, 0);
  ASSERT_EQ(RunInProcess("append " + xa + " " + good + " --yes").ExitStatus, 0);
  testing::WriteFileBytes(input, GetParam().Bytes);
  const std::string before = testing::ReadFileBytes(xa);
  for (const std::string& command :
       {"append " + xa + " " + input + " --yes", "import " + xa + " 0 " + input + " --yes"}) {
    const auto result = RunInProcess(command);
    EXPECT_EQ(result.ExitStatus, 1) << command;
    EXPECT_NE(result.Err.find(GetParam().Message), std::string::npos) << result.Err << result.Out;
    EXPECT_EQ(testing::ReadFileBytes(xa), before) << command;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Refusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.Name); });

// A FLAC whose stream ends long before the length its header states: the import reads what
// there is, then stops with the read error instead of encoding silence as sound, on the
// default path and through the high-quality rate conversion alike. The half-written edit is
// taken back, so the file is exactly as it was and nothing is left to redo; a stream that
// fails before the first sector is written leaves no edit to take back, and the earlier
// append stays the newest edit.
class ReadFailure : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadFailure, PartWayThroughAnImportIsReportedAndTheFileIsPutBack) {
  TempDir dir;
  const std::string xa = dir.File("a.xa");
  const std::string flac = dir.File("in.flac");
  const auto sound = testing::ChordWithSweep(44100, 3.0, 2);
  ASSERT_TRUE(testing::WriteSoundFile(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, sound));
  ASSERT_EQ(RunInProcess("new " + xa).ExitStatus, 0);
  ASSERT_EQ(RunInProcess("append " + xa + " " + flac + " --yes").ExitStatus, 0);
  const std::string bytes = testing::ReadFileBytes(flac);
  const std::string before = testing::ReadFileBytes(xa);
  for (const std::size_t cut : {bytes.size() / 3, std::size_t{2500}}) {
    testing::WriteFileBytes(flac, bytes.substr(0, cut));
    for (const std::string& command :
         {"append " + xa + " " + flac + " --yes", "import " + xa + " 0 " + flac + " --yes"}) {
      const auto result = RunInProcess(command + GetParam());
      EXPECT_EQ(result.ExitStatus, 1) << command << " cut at " << cut;
      EXPECT_NE(result.Err.find(text::kReadError), std::string::npos) << result.Err;
      EXPECT_EQ(testing::ReadFileBytes(xa), before) << command << " cut at " << cut;
      EXPECT_EQ(RunInProcess("redo " + xa).ExitStatus, 1) << command;
      const std::string edits = RunInProcess("undo " + xa + " --list").Out;
      EXPECT_EQ(std::count(edits.begin(), edits.end(), '\n'), 1) << command << " cut at " << cut;
    }
  }
  // The first append is still the newest edit that can be undone.
  EXPECT_EQ(RunInProcess("undo " + xa).ExitStatus, 0);
  EXPECT_LT(testing::ReadFileBytes(xa).size(), before.size());
}

INSTANTIATE_TEST_SUITE_P(Paths, ReadFailure, ::testing::Values("", " --hq"), [](const auto& info) {
  return std::string(*info.param ? "HighQuality" : "Default");
});

}  // namespace
}  // namespace sorvane
