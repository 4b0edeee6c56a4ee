// Every command on an entry of a disc image, through sorvane-cli: what it prints and exits
// with, that no byte outside the entry's sectors (nor their sync and header) changes, that
// every sector it wrote carries valid error codes, and that undo gives back the image byte
// for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/fixed_texts.h"
#include "edit/export_all.h"
#include "format/sector.h"
#include "format/sector_codes.h"
#include "support/disc_image_builder.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/wav_builder.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using testing::ProgramResult;
using testing::TempDir;

constexpr int kVoiceSectors = 64;

// VOICE.XA: channels 1 and 2, 37.8k mono, interleave 8, six sectors each, with data files
// before and after it, so that a stray write shows in their bytes.
testing::DiscImage BuildVoiceImage(bool zeroForm2Edc = false, std::uint8_t fileNumber = 1) {
  testing::DiscImageBuilder builder;
  const std::string voice = testing::XaBuilder(kVoiceSectors)
                                .Channel(1, true, false, 0, 8, 6)
                                .Channel(2, true, false, 1, 8, 6)
                                .Noise(7)
                                .Bytes();
  std::vector<std::vector<std::uint8_t>> sectors = testing::SplitSectors(voice);
  for (auto& s : sectors)
    if ((s[2] & kSubmodeAudioBits) == kSubmodeAudioBits) s[0] = s[4] = fileNumber;
  builder.Add({"DATA.BIN", testing::DataSectors(20, 1)});
  builder.Add({"XA/VOICE.XA", sectors, testing::kXaInterleavedForm2, fileNumber});
  builder.Add({"AFTER.BIN", testing::DataSectors(10, 2)});
  if (zeroForm2Edc) builder.ZeroForm2Edc();
  return builder.Build();
}

// Bytes 0..2335 of a raw sector agree with their error codes.
bool CodesValid(const std::string& image, long long sector) {
  std::vector<std::uint8_t> s(image.begin() + sector * 2352 + 16,
                              image.begin() + sector * 2352 + 2352);
  std::vector<std::uint8_t> coded = s;
  SetSectorCodes(coded.data());
  return coded == s;
}

class DiscEntryCli : public ::testing::Test {
 protected:
  void SetUp() override {
    image = BuildVoiceImage();
    cue = image.Write(dir.Path());
    bin = dir.File(image.binName);
    before = testing::ReadFileBytes(bin);
    first = image.File("XA/VOICE.XA").lba;
    testing::WavBuilder(1, 37800, 16)
        .Samples16(
            testing::Frames16(3 * 4032, 1, [](int i, int) { return (i * 53) % 4000 - 2000; }))
        .Write(dir.File("in.wav"));
    testing::WavBuilder(1, 37800, 16)
        .Samples16(
            testing::Frames16(40 * 4032, 1, [](int i, int) { return (i * 29) % 6000 - 3000; }))
        .Write(dir.File("long.wav"));
  }
  ProgramResult Run(const std::string& args) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < args.size();) {
      const std::size_t end = std::min(args.find(' ', at), args.size());
      std::string word = args.substr(at, end - at);
      if (word == "IMAGE") word = cue;
      if (word == "BIN") word = bin;
      if (word.ends_with(".wav")) word = dir.File(word);
      words.push_back(word);
      at = end + 1;
    }
    return testing::RunInProcess(words);
  }
  // No byte outside the entry's sectors, nor any sector's sync and header, has changed.
  void ExpectOnlyEntryPayloadChanged(const std::string& after) {
    ASSERT_EQ(after.size(), before.size());
    const long long begin = first * 2352LL, end = (first + kVoiceSectors) * 2352LL;
    EXPECT_EQ(after.compare(0, begin, before, 0, begin), 0);
    EXPECT_EQ(after.compare(end, std::string::npos, before, end, std::string::npos), 0);
    for (long long s = first; s < first + kVoiceSectors; ++s) {
      EXPECT_EQ(after.compare(s * 2352, 16, before, s * 2352, 16), 0) << "sector " << s;
      if (after.compare(s * 2352, 2352, before, s * 2352, 2352) != 0) {
        EXPECT_TRUE(CodesValid(after, s)) << "sector " << s;
      }
    }
  }

  TempDir dir;
  testing::DiscImage image;
  std::string cue, bin, before;
  int first = 0;
};

struct CommandCase {
  const char* Name;
  const char* Args;  // IMAGE stands for the image; names ending in .wav are in the folder
  int Exit;
  const char* Err;      // what standard error must hold, or ""
  bool Changes;         // the image's bytes change (and undo gives them back)
  const char* Listing;  // `list --units sectors` of the entry afterwards, or ""
};

class DiscEntryCommands : public DiscEntryCli, public ::testing::WithParamInterface<CommandCase> {};

constexpr char kBoth[] =
    " Ch  Trk 開始位置 終了位置   長さ     音質   回転\n"
    "  1   0       0      48      48  37.8k Mono   等速\n"
    "  2   1       1      49      48  37.8k Mono   等速\n";

const CommandCase kCommands[] = {
    {"List", "list IMAGE --entry xa/voice.xa --units sectors", 0, "", false, kBoth},
    {"ListByRange", "list IMAGE --entry @42:64 --quick", 0, "", false, ""},
    {"Export", "export IMAGE 1 out.wav --entry /XA/VOICE.XA;1", 0, "", false, kBoth},
    {"Map", "map IMAGE --entry /XA/VOICE.XA --json", 0, "", false, kBoth},
    {"ImportShorter", "import IMAGE 1 in.wav --entry /XA/VOICE.XA", 0, text::kWavShorter, true,
     kBoth},
    {"ImportLongerIsCutToTheRoom", "import IMAGE 2 long.wav --entry /XA/VOICE.XA --fit wav --yes",
     0, text::kWavLonger, true, kBoth},
    {"Append", "append IMAGE in.wav --entry /XA/VOICE.XA --slot 2 --yes", 0, "", true,
     " Ch  Trk 開始位置 終了位置   長さ     音質   回転\n"
     "  1   0       0      48      48  37.8k Mono   等速\n"
     "  2   1       1      49      48  37.8k Mono   等速\n"
     "  3   2       2      26      24  37.8k Mono   等速\n"},
    {"DeleteEmptiesTheSectors", "delete IMAGE 1 --entry /XA/VOICE.XA --yes", 0, "", true,
     " Ch  Trk 開始位置 終了位置   長さ     音質   回転\n"
     "  2   1       1      49      48  37.8k Mono   等速\n"},
    {"SettingsGaps", "settings IMAGE --entry /XA/VOICE.XA --channel-gap 0.05 --end-gap 0.10", 0, "",
     false, kBoth},
    {"SettingsResize", "settings IMAGE --entry /XA/VOICE.XA --resize allow", 1,
     text::kImageSizeFixed, false, kBoth},
    {"WithoutEntry", "list IMAGE", 1, text::kImageNeedsEntry, false, kBoth},
    {"ExportOntoTheImage", "export IMAGE 1 BIN --entry /XA/VOICE.XA", 1, text::kExportOntoOpenFile,
     false, kBoth},
    {"NoSuchFile", "import IMAGE 1 in.wav --entry /XA/NONE.XA", 1, text::kNoSuchImageFile, false,
     kBoth},
    {"RangeOverTheDirectory", "list IMAGE --entry @18:4", 1, text::kUnsupportedTrack, false, kBoth},
    {"RangeOverTheSystemArea", "list IMAGE --entry @0:2", 1, text::kUnsupportedTrack, false, kBoth},
    {"RangePastTheEnd", "list IMAGE --entry @140:100", 1, text::kImageTruncated, false, kBoth},
};

TEST_P(DiscEntryCommands, WriteOnlyTheEntryAndUndoGivesTheImageBack) {
  const CommandCase& c = GetParam();
  const ProgramResult result = Run(c.Args);
  EXPECT_EQ(result.ExitStatus, c.Exit) << result.Err;
  EXPECT_NE(result.Err.find(c.Err), std::string::npos) << result.Err;
  const std::string after = testing::ReadFileBytes(bin);
  EXPECT_EQ(after != before, c.Changes);
  ExpectOnlyEntryPayloadChanged(after);
  if (*c.Listing != '\0')
    EXPECT_EQ(Run("list IMAGE --entry /XA/VOICE.XA --units sectors").Out, c.Listing);
  const ProgramResult undo = Run("undo IMAGE");
  EXPECT_EQ(undo.ExitStatus, c.Changes ? 0 : 1) << undo.Err;
  EXPECT_EQ(testing::ReadFileBytes(bin), before);
}

INSTANTIATE_TEST_SUITE_P(Commands, DiscEntryCommands, ::testing::ValuesIn(kCommands));

TEST_F(DiscEntryCli, ExportAllWritesEachAudioFileInAFolderThatMirrorsTheImage) {
  const ProgramResult all = Run("export-all IMAGE --out " + dir.File("out"));
  ASSERT_EQ(all.ExitStatus, 0) << all.Err;
  ASSERT_EQ(Run("export IMAGE 2 one.wav --entry /XA/VOICE.XA").ExitStatus, 0);
  const std::string folder = dir.File("out/IMAGE/XA/");
  EXPECT_EQ(testing::ReadFileBytes(folder + "VOICE_ch002.wav"),
            testing::ReadFileBytes(dir.File("one.wav")));
  EXPECT_GT(testing::FileLength(folder + "VOICE_ch001.wav"), 44);
  EXPECT_EQ(testing::ReadFileBytes(bin), before);
}

// A read-only image opens for listening and export; every change is refused before a write.
TEST_F(DiscEntryCli, AReadOnlyImageIsListenedToAndNotChanged) {
  ASSERT_EQ(::chmod(bin.c_str(), 0444), 0);
  EXPECT_EQ(Run("list IMAGE --entry /XA/VOICE.XA --units sectors").Out, kBoth);
  EXPECT_EQ(Run("export IMAGE 1 out.wav --entry /XA/VOICE.XA").ExitStatus, 0);
  const ProgramResult import = Run("import IMAGE 1 in.wav --entry /XA/VOICE.XA --yes");
  EXPECT_EQ(import.ExitStatus, 1);
  EXPECT_EQ(import.Err, std::string(text::kReadOnlyFile) + "\n");
  EXPECT_EQ(testing::ReadFileBytes(bin), before);
}

// Names read from an image stay one name inside the output folder.
TEST(SafeImageName, ReplacesWhatWouldLeaveTheFolder) {
  const std::pair<std::string, std::string> cases[] = {
      {"VOICE", "VOICE"}, {"", "_"},       {".", "_."},          {"..", "_.."},
      {"A/B", "A_B"},     {"A\\B", "A_B"}, {"A\x01\x7F", "A__"}, {"\xC3\xA9", "\xC3\xA9"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(SafeImageName(name), safe) << name;
}

// Sectors an edit creates carry the file number of the entry's audio sectors; Form 2 sectors
// keep a zero EDC in an entry whose Form 2 sectors all have one, else get theirs.
struct CreatedCase {
  const char* Name;
  bool ZeroEdc;
  std::uint8_t FileNumber;
};

class CreatedSectors : public ::testing::TestWithParam<CreatedCase> {};

TEST_P(CreatedSectors, CarryTheEntrysFileNumberAndItsKindOfEdc) {
  const CreatedCase& c = GetParam();
  TempDir dir;
  const testing::DiscImage image = BuildVoiceImage(c.ZeroEdc, c.FileNumber);
  const std::string cue = image.Write(dir.Path());
  testing::WavBuilder(1, 37800, 16)
      .Samples16(testing::Frames16(2 * 4032, 1, [](int i, int) { return i % 900 - 450; }))
      .Write(dir.File("in.wav"));
  const std::string entry = "--entry /XA/VOICE.XA";
  ASSERT_EQ(testing::RunInProcess("delete " + cue + " 1 " + entry + " --yes").ExitStatus, 0);
  ASSERT_EQ(testing::RunInProcess("append " + cue + " " + dir.File("in.wav") + " " + entry +
                                  " --slot 2 --yes")
                .ExitStatus,
            0);
  const std::string bytes = testing::ReadFileBytes(dir.File(image.binName));
  const long long first = image.File("XA/VOICE.XA").lba;
  for (const int index : {0, 8, 2, 10}) {  // two emptied sectors, two of the new channel
    const long long at = (first + index) * 2352 + 16;
    SCOPED_TRACE(index);
    EXPECT_EQ(std::uint8_t(bytes[at]), c.FileNumber);
    const bool form2 = (bytes[at + 2] & kSubmodeForm2) != 0;
    EXPECT_EQ(form2, index % 8 == 2);
    const bool zero = bytes.compare(at + kForm2EdcOffset, 4, std::string(4, '\0')) == 0;
    if (form2 && c.ZeroEdc) {
      EXPECT_TRUE(zero);
    } else {
      EXPECT_TRUE(CodesValid(bytes, first + index));
    }
  }
}

const CreatedCase kCreated[] = {
    {"FileNumberOneWithEdc", false, 1},
    {"FileNumberThreeWithEdc", false, 3},
    {"FileNumberThreeZeroEdc", true, 3},
};

INSTANTIATE_TEST_SUITE_P(Images, CreatedSectors, ::testing::ValuesIn(kCreated));

}  // namespace
}  // namespace sorvane
