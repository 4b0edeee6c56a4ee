// Every channel of many XA files to WAVs in one folder, several files at once: the files
// named and those found below named folders, their output names checked against each other
// before anything is written, then each file opened, scanned and exported on a thread of its
// own (every_channel_export.h), with one progress display and one cancel for the whole run.
#pragma once

#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/file_io.h"
#include "edit/every_channel_export.h"
#include "edit/file_open.h"

namespace sorvane {

// A name read from a disc image, spelled so that it stays one name inside its folder: an empty
// name, ".", "..", and '/', '\\' and control bytes are replaced.
std::string SafeImageName(const std::string& name);

// The base of the open file's WAVs in `folder` as the editor's 全チャンネルをWAV出力 writes
// them: the file's name, or for an entry of a disc image the entry's ("VOICE" for
// /XA/VOICE.XA;1), not the name of the image's data track, which every entry shares.
std::string WavBaseOfOpenFile(const XaFile& xa, const std::string& folder);

// How a source is named in messages: the file, or "IMAGE:/ENTRY" for an entry of an image.
std::string SourceName(const std::string& file, const std::string& entry);

// One XA file of the run and where its WAVs go.
struct ExportSource {
  std::string File;   // as named, or found below a named folder
  std::string Entry;  // the entry when File is a disc image (its ISO path), else empty
  std::string Base;   // the WAVs' base (ChannelWavPath): in the output folder, below it the
                      // folders between the named folder and the file, then the file's name
                      // without its extension
};

// What became of one file (or of a folder that could not be read).
struct FileExport {
  std::string File;
  std::vector<ChannelWav> Channels;  // the WAVs written, whole, under their final names
  Outcome Result = Outcome::Done;
  std::string Error;                 // the message when Result is not Done
  std::vector<std::string> Notices;  // what the scan noticed (a repeated channel number)
};

struct ExportPlan {
  std::vector<ExportSource> Sources;  // in the order named, each folder's files sorted
  std::vector<FileExport> Unread;  // folders whose listing failed ("フォルダが読めません。")
  // Empty, or the refusal: two sources would write the same WAV names. Nothing may then be
  // written.
  std::string Clash;
};

// The sources of `paths`: a folder stands for every file below it whose name ends in ".xa"
// (any case), at any depth; a disc image for every file in it that can hold audio, its WAVs
// in a folder named after the image that mirrors the ISO paths; anything else for itself,
// opened or not.
ExportPlan PlanExportAll(const std::vector<std::string>& paths, const std::string& outFolder);

struct ExportAllOptions {
  int Jobs = 1;  // files exported at once, each on its own thread
  ScanExtent Extent = ScanExtent::WholeFile;
  FileIo* Io = &SystemFileIo();
};

// Opens, scans and exports every source, Jobs at a time; a file that does not open, whose
// scan fails or whose export fails is reported in its entry and the others go on. `monitor`
// is started once, shows the share of the whole run done, and is polled (from the calling
// thread only) for the cancel: then the files being exported stop with "キャンセルしました。",
// leaving no partial WAV under a final name, and those not begun are not opened (their entries
// say "キャンセルしました。" too). Returns one entry per source, in the order of `sources`.
std::vector<FileExport> ExportAll(const std::vector<ExportSource>& sources,
                                  const ExportAllOptions& options, ProgressMonitor& monitor);

}  // namespace sorvane
