// Positions in a file as the channel list writes them, read back from text, and the frame of
// a channel's exported sound that a position stands for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "container/xa_file.h"

namespace sorvane {

// Reads a sector position of the file written in one of the list's units: "M:SS.FF" (".FF"
// may be left out; SS 0..59, FF sectors 0..74, 75 to a second), a decimal sector number, or
// hex without a prefix. `unit` (DisplayUnitValue) says how to read it; without one, a colon
// means time, a letter A..F hex, and digits alone a decimal sector number. Blanks around the
// text are passed over. false, `sector` untouched, when the text is none of these.
bool ParseListPosition(const std::string& text, std::optional<int> unit, std::int64_t& sector);

// Frames (samples of each side) of the exported sound of one of the channel's sectors:
// 9408 bytes of 16-bit samples, so 4704 mono and 2352 stereo.
std::int64_t ExportFramesPerSector(const ChannelRecord& record);

// The frame of the channel's exported sound at file sector `sector`:
// (sector - FirstSector) / Interleave x frames per sector, cut to the frame.
std::int64_t FrameAtSector(const ChannelRecord& record, std::int64_t sector);

// The first file sector whose frame is `frame` or later; FrameAtSector's way back.
std::int64_t SectorOfFrame(const ChannelRecord& record, std::int64_t frame);

// A frame of the channel read from a position text: Done with `frame` set, or Failed with
// `error` "位置が読めません。" (no position) or "チャンネルの範囲外の位置です。" (before the
// channel's first sector or past its end). A time text is written at the list's resolution,
// the start column showing the first sector rounded down to the interleave, so a time text
// from there up to the first sector means the channel's first frame.
bool ChannelFrameOf(const ChannelRecord& record, const std::string& text, std::optional<int> unit,
                    std::int64_t& frame, const char*& error);

}  // namespace sorvane
