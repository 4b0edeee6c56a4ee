// Padding sectors (file and channel number 0xFF) read as empty sectors: a file filled with
// them lists, maps and exports as the same file without them, an edit writes over them
// without asking, and a real channel 255 stays a channel. Also a file of 130 channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "container/xa_file.h"
#include "support/disc_image_builder.h"
#include "support/edit_sample.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/sound_channel.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunInProcess;
using testing::TempDir;
using testing::XaBuilder;

constexpr std::uint8_t kAudio = 0x64;
constexpr std::uint8_t kData = 0x08;
constexpr std::uint8_t kEmpty = 0x00;
constexpr std::uint8_t kStereo189 = 0x05;  // the coding of the channels below

struct ClassifyCase {
  const char* Name;
  std::uint8_t Subheader[4];
  SectorKind Kind;
  int Channel;
};

class Classify : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(Classify, PaddingIsEmptyAndKeepsItsBytes) {
  const ClassifyCase& c = GetParam();
  const SectorInfo info = ClassifySubheader(c.Subheader);
  EXPECT_EQ(info.Kind, c.Kind);
  EXPECT_EQ(info.Channel, c.Channel);
  EXPECT_EQ(std::vector<int>(info.Subheader, info.Subheader + 4),
            std::vector<int>(c.Subheader, c.Subheader + 4));
}

INSTANTIATE_TEST_SUITE_P(
    Subheaders, Classify,
    ::testing::Values(ClassifyCase{"PaddingAudio", {0xFF, 0xFF, 0x64, 0x05}, SectorEmpty, 0},
                      ClassifyCase{"PaddingAudioEnd", {0xFF, 0xFF, 0xE4, 0x04}, SectorEmpty, 0},
                      ClassifyCase{"PaddingData", {0xFF, 0xFF, 0x08, 0x00}, SectorEmpty, 0},
                      ClassifyCase{"PaddingEmpty", {0xFF, 0xFF, 0x00, 0x00}, SectorEmpty, 0},
                      ClassifyCase{"Channel255OfFile1", {0x01, 0xFF, 0x64, 0x05}, SectorAudio, 255},
                      ClassifyCase{"Channel1OfFile255", {0xFF, 0x01, 0x64, 0x05}, SectorAudio, 1},
                      ClassifyCase{"DataOfFile255", {0xFF, 0x00, 0x08, 0x00}, SectorData, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

// Audio sectors of `channel` holding varied sound.
void SoundChannel(XaBuilder& b, int channel, std::uint8_t coding, int first, int count) {
  b.Channel(channel, (coding & 0x04) == 0, (coding & 0x01) != 0, first, 8, count);
  for (int k = 0; k < count; ++k) b.Payload(first + 8 * k, testing::VariedSound(k).Payload());
}

// Padding sectors that carry sound too, so that a reader taking them for a channel would
// hear them.
void AddPadding(XaBuilder& b, const std::vector<int>& sectors, std::uint8_t submode) {
  for (int s : sectors) {
    b.Padding(s, submode, submode == kAudio ? kStereo189 : 0);
    b.Payload(s, testing::VariedSound(s).Payload());
  }
}

std::vector<int> SectorsWhere(int count, bool (*keep)(int)) {
  std::vector<int> sectors;
  for (int s = 0; s < count; ++s)
    if (keep(s)) sectors.push_back(s);
  return sectors;
}

// What the commands that read a file show of it.
struct Seen {
  ProgramResult List;
  ProgramResult Map;
  std::vector<std::string> Wavs;  // the export of each channel asked for, or its error
};

Seen Look(const TempDir& dir, const std::string& xa, const std::vector<int>& channels) {
  Seen seen{RunInProcess({"list", xa, "--json"}), RunInProcess({"map", xa, "--json"}), {}};
  const std::string wav = dir.File("out.wav");
  for (int channel : channels) {
    const ProgramResult run = RunInProcess({"export", xa, std::to_string(channel), wav});
    seen.Wavs.push_back(run.ExitStatus == 0 ? ReadFileBytes(wav) : run.Err);
  }
  return seen;
}

void ExpectSame(const Seen& padded, const Seen& plain) {
  EXPECT_EQ(padded.List.ExitStatus, 0) << padded.List.Err;
  EXPECT_EQ(padded.List.Out, plain.List.Out);
  EXPECT_EQ(padded.Map.Out, plain.Map.Out);
  ASSERT_EQ(padded.Wavs.size(), plain.Wavs.size());
  for (std::size_t k = 0; k < plain.Wavs.size(); ++k)
    EXPECT_TRUE(padded.Wavs[k] == plain.Wavs[k]) << "channel " << k;
}

// 120 sectors: channel 1 (18.9k stereo) on 0, 8, .. 40; channel 2 (37.8k mono) on 1, 9, ..
// 73; a data run on 2, 34, 66. The post-gap of 22 sectors keeps 48, 56, 64 for channel 1.
XaBuilder BaseFile() {
  XaBuilder b(120);
  SoundChannel(b, 1, kStereo189, 0, 6);
  SoundChannel(b, 2, 0x00, 1, 10);
  b.Data(2).Data(34).Data(66);
  return b;
}

struct PaddingCase {
  const char* Name;
  std::uint8_t Submode;
  bool (*Where)(int sector);
};

bool InFreeSlots(int s) { return s % 8 >= 3; }
bool InsideChannel2(int s) { return s == 10 || s == 27 || s == 44 || s == 63; }
bool AfterChannel1(int s) { return s % 8 == 0 && s >= 48; }

class PaddedFile : public ::testing::TestWithParam<PaddingCase> {};

TEST_P(PaddedFile, ListsMapsAndExportsAsWithoutIt) {
  TempDir dir;
  const std::string xa = dir.File("f.xa");
  BaseFile().Write(xa);
  const Seen plain = Look(dir, xa, {1, 2});
  ASSERT_EQ(plain.List.ExitStatus, 0) << plain.List.Err;
  ASSERT_NE(plain.List.Out.find("\"data_runs\": [{"), std::string::npos) << plain.List.Out;
  XaBuilder padded = BaseFile();
  AddPadding(padded, SectorsWhere(120, GetParam().Where), GetParam().Submode);
  padded.Write(xa);
  ExpectSame(Look(dir, xa, {1, 2}), plain);
}

INSTANTIATE_TEST_SUITE_P(Placements, PaddedFile,
                         ::testing::Values(PaddingCase{"AudioInFreeSlots", kAudio, InFreeSlots},
                                           PaddingCase{"DataInFreeSlots", kData, InFreeSlots},
                                           PaddingCase{"EmptyInFreeSlots", kEmpty, InFreeSlots},
                                           PaddingCase{"AudioInsideASpan", kAudio, InsideChannel2},
                                           PaddingCase{"DataInsideASpan", kData, InsideChannel2},
                                           PaddingCase{"EmptyInsideASpan", kEmpty, InsideChannel2},
                                           PaddingCase{"AudioAfterTheEnd", kAudio, AfterChannel1},
                                           PaddingCase{"DataAfterTheEnd", kData, AfterChannel1},
                                           PaddingCase{"EmptyAfterTheEnd", kEmpty, AfterChannel1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Channel255, BesideAudioPaddingStaysAChannelThatHearsNoPadding) {
  TempDir dir;
  const std::string xa = dir.File("f.xa");
  XaBuilder b(80);
  SoundChannel(b, 255, kStereo189, 0, 6);
  b.Write(xa);
  const Seen plain = Look(dir, xa, {255});
  ASSERT_NE(plain.List.Out.find("\"channel\": 255"), std::string::npos) << plain.List.Out;
  ASSERT_EQ(plain.Wavs[0].size(), 44u + 6 * 9408);
  AddPadding(b, SectorsWhere(80, [](int s) { return s % 8 != 0 || s >= 48; }), kAudio);
  b.Write(xa);
  ExpectSame(Look(dir, xa, {255}), plain);
}

std::string SubheaderAt(const std::string& file, int sector) {
  return file.substr(std::size_t(sector) * 2336, 4);
}

// Channel 1 on 0, 8, 16, 24 with audio padding after it in its slot and in slots 2..7, and
// channel 2 on 1, 9, .. 25.
class EditOverPadding : public ::testing::Test {
 protected:
  void SetUp() override {
    XaBuilder b(100);
    SoundChannel(b, 1, kStereo189, 0, 4);
    SoundChannel(b, 2, kStereo189, 1, 4);
    AddPadding(b, SectorsWhere(100, [](int s) { return s % 8 >= 2 || s >= 32; }), kAudio);
    b.Write(xa);
    before = ReadFileBytes(xa);
  }
  void ExpectUndoPutsItBack() {
    const ProgramResult undo = RunInProcess({"undo", xa});
    EXPECT_EQ(undo.ExitStatus, 0) << undo.Err;
    EXPECT_TRUE(ReadFileBytes(xa) == before);
  }

  TempDir dir;
  std::string xa = dir.File("f.xa");
  std::string before;
};

TEST_F(EditOverPadding, AnImportGrowsOverItWithoutAskingAndUndoPutsItBack) {
  const std::string wav = dir.File("in.wav");
  testing::BuildSampleWav(8, wav);
  const ProgramResult run = RunInProcess({"import", xa, "1", wav, "--fit", "wav", "--yes"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Err.find(text::kAskOverwriteAudio), std::string::npos) << run.Err;
  EXPECT_EQ(run.Err.find(text::kAskOverwriteData), std::string::npos) << run.Err;
  const std::string after = ReadFileBytes(xa);
  for (int s : {32, 40, 48}) EXPECT_EQ(SubheaderAt(after, s), "\x01\x01\x64\x05") << s;
  EXPECT_EQ(SubheaderAt(after, 56), "\x01\x01\xE4\x05");  // the channel's new end
  EXPECT_EQ(SubheaderAt(after, 64), "\xFF\xFF\x64\x05");
  ExpectUndoPutsItBack();
}

TEST_F(EditOverPadding, ADeleteLeavesItAndUndoPutsTheChannelBack) {
  const ProgramResult run = RunInProcess({"delete", xa, "1", "--yes"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  const std::string after = ReadFileBytes(xa);
  for (int s : {0, 8, 16, 24}) EXPECT_EQ(SubheaderAt(after, s), std::string("\x01\0\0\0", 4)) << s;
  for (int s : {2, 15, 31}) EXPECT_EQ(SubheaderAt(after, s), "\xFF\xFF\x64\x05") << s;
  const ProgramResult list = RunInProcess({"list", xa, "--json"});
  EXPECT_EQ(list.Out.find("\"channel\": 1,"), std::string::npos) << list.Out;
  EXPECT_NE(list.Out.find("\"channel\": 2,"), std::string::npos) << list.Out;
  ExpectUndoPutsItBack();
}

// Inside a disc image, sectors an edit creates carry the file number of the entry's audio,
// which audio padding before it does not give.
TEST(PaddingInADiscImage, GivesNoFileNumberToCreatedSectors) {
  TempDir dir;
  XaBuilder voice(48);
  for (int s = 0; s < 8; ++s) voice.Padding(s, kAudio, 0x00);
  voice.Subheader(8, 3, 1, kAudio, 0x00).Subheader(16, 3, 1, kAudio, 0x00);
  voice.Subheader(9, 3, 2, kAudio, 0x00).Subheader(17, 3, 2, kAudio, 0x00);
  testing::DiscImageBuilder builder;
  builder.Add({"XA/VOICE.XA", testing::SplitSectors(voice.Bytes()), testing::kXaInterleavedForm2});
  const testing::DiscImage image = builder.Build();
  const std::string cue = image.Write(dir.Path());
  const ProgramResult run = RunInProcess({"delete", cue, "1", "--entry", "/XA/VOICE.XA", "--yes"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  const std::string bytes = ReadFileBytes(dir.File(image.binName));
  for (int s : {8, 16}) {
    const std::size_t at = std::size_t(image.File("XA/VOICE.XA").lba + s) * 2352 + 16;
    EXPECT_EQ(bytes.substr(at, 4), std::string("\x03\0\0\0", 4)) << s;
  }
}

// 130 channels of two sectors, eight at a time in the slots 0..7 of interleave 8: channel
// k on (k / 8) x 16 + k % 8 and 8 sectors later; the file ends a period after the last.
int FirstSectorOf(int channel) { return channel / 8 * 16 + channel % 8; }

TEST(ManyChannels, OneHundredThirtyAreListedMappedAndExported) {
  TempDir dir;
  const std::string xa = dir.File("many.xa");
  XaBuilder b(288);
  std::vector<int> owner(288, -3);
  for (int k = 0; k < 130; ++k) {
    SoundChannel(b, k, kStereo189, FirstSectorOf(k), 2);
    owner[FirstSectorOf(k)] = owner[FirstSectorOf(k) + 8] = k;
  }
  b.Write(xa);
  const ProgramResult list = RunInProcess({"list", xa});
  ASSERT_EQ(list.ExitStatus, 0) << list.Err;
  EXPECT_EQ(std::count(list.Out.begin(), list.Out.end(), '\n'), 131);
  std::string json = "{\"sector_count\": 288, \"channel_post_gap\": 0, \"owner\": [";
  for (std::size_t s = 0; s < owner.size(); ++s) json += (s ? ", " : "") + std::to_string(owner[s]);
  EXPECT_EQ(RunInProcess({"map", xa, "--json"}).Out, json + "]}\n");
  const std::string wav = dir.File("out.wav");
  for (int k : {0, 77, 129}) {
    EXPECT_EQ(RunInProcess({"export", xa, std::to_string(k), wav}).ExitStatus, 0) << k;
    EXPECT_EQ(testing::FileLength(wav), 44 + 2 * 9408) << k;
  }
}

}  // namespace
}  // namespace sorvane
