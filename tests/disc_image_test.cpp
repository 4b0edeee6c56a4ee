// Disc images that cannot be edited, or only in part: each is refused with its own text or
// passed over with a warning, never read outside the image, never a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/fixed_texts.h"
#include "edit/disc_listing.h"
#include "edit/edit_history.h"
#include "edit/file_open.h"
#include "edit/workspace.h"
#include "support/disc_image_builder.h"
#include "support/in_process_cli.h"
#include "support/named_case.h"
#include "support/temp_dir.h"
#include "support/xa_builder.h"

namespace sorvane {
namespace {

using testing::PrintTo;

struct BadImageCase {
  const char* Name;
  std::function<void(testing::DiscImageBuilder&)> Shape;
  const char* Entry;     // opened with OpenAndScan
  const char* OpenText;  // its refusal, or nullptr when it opens
  const char* ListText;  // the refusal of the listing, or nullptr
  int ListedFiles;       // files of the listing (with --all) when it is not refused
  // What else to do to the written files: given the folder and the image.
  std::function<void(const std::string&, const testing::DiscImage&)> Damage = nullptr;
};

testing::DiscImageBuilder VoiceImage() {
  testing::DiscImageBuilder builder;
  builder.Add({"DATA.BIN", testing::DataSectors(4, 1)});
  builder.Add(
      {"XA/VOICE.XA",
       testing::SplitSectors(testing::XaBuilder(32).Channel(1, true, false, 0, 8, 4).Bytes()),
       testing::kXaInterleavedForm2, 1});
  return builder;
}

const BadImageCase kBadImages[] = {
    {"Sound", [](auto&) {}, "/XA/VOICE.XA", nullptr, nullptr, 2},
    {"DirectoryOfSeveralSectors",
     [](auto& b) {
       for (int k = 0; k < 45; ++k)
         b.Add({"XA/FILE" + std::to_string(k) + ".BIN", testing::DataSectors(1, k)});
     },
     "/XA/VOICE.XA", nullptr, nullptr, 47},
    {"CddaTrackInItsOwnBin", [](auto& b) { b.CddaTrack(300, true); }, "/XA/VOICE.XA", nullptr,
     nullptr, 2},
    {"CueWithoutItsImage", [](auto&) {}, "/XA/VOICE.XA", text::kCueImageMissing,
     text::kCueImageMissing, 0,
     [](const std::string& dir, const testing::DiscImage& image) {
       std::filesystem::remove(dir + "/" + image.binName);
     }},
    {"TruncatedInsideTheEntry", [](auto& b) { b.Truncate(2352 * 40); }, "/XA/VOICE.XA",
     text::kImageTruncated, nullptr, 2},
    {"TruncatedEntryBeforeTheCutOpens", [](auto& b) { b.Truncate(2352 * 40); }, "/DATA.BIN",
     nullptr, nullptr, 2},
    {"DirectoryOutsideTheImage", [](auto& b) { b.OverrideRecord("XA", 900000, std::nullopt); },
     "/XA/VOICE.XA", text::kNoSuchImageFile, nullptr, 1},
    {"DirectoryOfGiantLength", [](auto& b) { b.OverrideRecord("XA", std::nullopt, 0xFFFFFFF0u); },
     "/XA/VOICE.XA", text::kNoSuchImageFile, nullptr, 1},
    {"DirectoryLoop", [](auto& b) { b.LoopDirectory("XA"); }, "/XA/VOICE.XA", nullptr, nullptr, 2},
    {"RootLoop", [](auto& b) { b.LoopDirectory(""); }, "/XA/VOICE.XA", nullptr, nullptr, 2},
    {"FileInsideTheDirectory", [](auto& b) { b.OverrideRecord("DATA.BIN", 18, std::nullopt); },
     "/DATA.BIN", text::kUnsupportedTrack, nullptr, 2},
    {"FilePastTheEnd", [](auto& b) { b.OverrideRecord("DATA.BIN", 5000, std::nullopt); },
     "/DATA.BIN", text::kImageTruncated, nullptr, 2},
    {"DataLengthZeroOpensEmpty", [](auto& b) { b.OverrideRecord("XA/VOICE.XA", std::nullopt, 0); },
     "/XA/VOICE.XA", nullptr, nullptr, 2},
    {"Mode1Track", [](auto& b) { b.Mode(testing::DiscMode::Mode1); }, "/DATA.BIN",
     text::kUnsupportedTrack, text::kUnsupportedTrack, 0},
    {"Iso2048", [](auto& b) { b.Mode(testing::DiscMode::Iso2048); }, "/DATA.BIN",
     text::kIso2048Image, text::kIso2048Image, 0},
    {"CddaFile",
     [](auto& b) {
       b.CddaTrack(300);
       b.Add({"TRACK02.DA", {}, testing::kXaCdda, 0, 300 * 2352, std::nullopt, true});
     },
     "/TRACK02.DA", text::kUnsupportedTrack, nullptr, 3},
    {"RangeIntoTheCddaTrack", [](auto& b) { b.CddaTrack(300, false, 150); }, "@60:200",
     text::kUnsupportedTrack, nullptr, 2},
    {"RecordNameRunsOutOfItsDirectory", [](auto&) {}, "/XA/VOICE.XA", text::kNoSuchImageFile,
     nullptr, 1,
     [](const std::string& dir, const testing::DiscImage& image) {
       std::string bytes = testing::ReadFileBytes(dir + "/" + image.binName);
       const std::size_t name = bytes.find("VOICE.XA;1");
       bytes[name - 1] = char(250);
       testing::WriteFileBytes(dir + "/" + image.binName, bytes);
     }},
    {"OddBytesInNames",
     [](auto& b) {
       b.Add({"A\x01\xFF.XA", testing::DataSectors(2, 3), testing::kXaData, 0});
     },
     "/A\x01\xFF.XA", nullptr, nullptr, 3},
};

class BadImages : public ::testing::TestWithParam<BadImageCase> {};

TEST_P(BadImages, AreRefusedWithTheirTextOrPassedOver) {
  const BadImageCase& c = GetParam();
  testing::TempDir dir;
  testing::DiscImageBuilder builder = VoiceImage();
  c.Shape(builder);
  const testing::DiscImage image = builder.Build();
  const std::string cue = image.Write(dir.Path());
  if (c.Damage) c.Damage(dir.Path(), image);
  const std::string raw = dir.File(image.binName);
  const std::string before = std::filesystem::exists(raw) ? testing::ReadFileBytes(raw) : "";

  auto xa = std::make_unique<XaFile>();
  SilentProgress progress;
  const Outcome opened = OpenAndScan(*xa, cue, ScanExtent::WholeFile, progress, c.Entry);
  if (c.OpenText == nullptr) {
    EXPECT_EQ(opened, Outcome::Done) << xa->LastErrorText;
  } else {
    EXPECT_EQ(opened, Outcome::Failed);
    EXPECT_STREQ(xa->LastErrorText, c.OpenText);
  }
  DiscContents contents;
  const char* listed = ListDiscFiles(cue, true, contents);
  EXPECT_STREQ(listed != nullptr ? listed : "", c.ListText != nullptr ? c.ListText : "");
  EXPECT_EQ(int(contents.Files.size()), c.ListedFiles);
  if (!before.empty()) EXPECT_EQ(testing::ReadFileBytes(raw), before);
}

INSTANTIATE_TEST_SUITE_P(Images, BadImages, ::testing::ValuesIn(kBadImages));

// Without an entry an image is never taken for an XA file of raw sectors; a 2048-byte image
// is refused with or without one, as is an entry of a file that is no image.
TEST(DiscImageOpen, ImagesNeedAnEntryAndOtherFilesTakeNone) {
  testing::TempDir dir;
  const testing::DiscImage image = VoiceImage().Build();
  image.Write(dir.Path());
  testing::XaBuilder(8).Write(dir.File("plain.xa"));
  testing::DiscImageBuilder iso = VoiceImage();
  iso.Mode(testing::DiscMode::Iso2048).Names("GAME.ISO", "", "GAME.CUE");
  iso.Build().Write(dir.Path());
  auto xa = std::make_unique<XaFile>();
  SilentProgress progress;
  struct {
    std::string Path, Entry;
    const char* Text;
  } const cases[] = {
      {dir.File(image.binName), "", text::kImageNeedsEntry},
      {dir.File(image.cueName), "", text::kImageNeedsEntry},
      {dir.File("plain.xa"), "/XA/VOICE.XA", text::kNoIsoVolume},
      {dir.File("GAME.ISO"), "", text::kIso2048Image},
      {dir.File("GAME.ISO"), "/XA/VOICE.XA", text::kIso2048Image},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OpenAndScan(*xa, c.Path, ScanExtent::FirstSectors, progress, c.Entry),
              Outcome::Failed);
    EXPECT_STREQ(xa->LastErrorText, c.Text) << c.Path;
  }
  EXPECT_EQ(
      OpenAndScan(*xa, dir.File(image.binName), ScanExtent::WholeFile, progress, "/XA/VOICE.XA"),
      Outcome::Done);
  EXPECT_EQ(xa->AudioChannelTable.Count, 1);
  EXPECT_EQ(xa->SectorCount, 32);
  EXPECT_EQ(xa->ResizePermission, ResizeForbidden);
}

// An image has one history: the editor holding one entry undoes an edit of another one, and
// redoes it, byte for byte.
TEST(DiscImageHistory, IsOneForEveryEntry) {
  testing::TempDir dir;
  const testing::DiscImage image = VoiceImage().Build();
  const std::string cue = image.Write(dir.Path());
  const std::string bin = dir.File(image.binName);
  const std::string before = testing::ReadFileBytes(bin);
  ASSERT_EQ(
      testing::RunInProcess({"delete", cue, "1", "--entry", "/XA/VOICE.XA", "--yes"}).ExitStatus,
      0);
  const std::string edited = testing::ReadFileBytes(bin);
  ASSERT_NE(edited, before);
  auto work = std::make_unique<Workspace>();
  SilentProgress progress;
  ASSERT_EQ(OpenAndScan(work->File, cue, ScanExtent::WholeFile, progress, "/DATA.BIN"),
            Outcome::Done);
  KeptSettings settings;
  ASSERT_EQ(UndoEdit(*work, settings), Outcome::Done) << work->File.LastErrorText;
  EXPECT_EQ(testing::ReadFileBytes(bin), before);
  ASSERT_EQ(RedoEdit(*work, settings), Outcome::Done) << work->File.LastErrorText;
  EXPECT_EQ(testing::ReadFileBytes(bin), edited);
  EXPECT_EQ(ReloadAfterHistory(*work, settings, progress), Outcome::Done);
  EXPECT_EQ(work->File.SectorCount, 4);
  EXPECT_EQ(work->File.ResizePermission, ResizeForbidden);
}

}  // namespace
}  // namespace sorvane
