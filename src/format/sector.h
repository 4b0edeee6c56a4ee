// The CD-ROM XA sector as the files hold it: sizes, the subheader's bits and the layout of
// an audio sector's sound groups. Every other file takes these facts from here.
#pragma once

#include <cstdint>

namespace sorvane {

inline constexpr int kSectorBytes = 2336;       // subheader + payload, the part we read and write
inline constexpr int kRawSectorBytes = 2352;    // with the 16 bytes of sync and header
inline constexpr int kSyncAndHeaderBytes = 16;  // before each subheader of a raw sector
inline constexpr int kRiffHeaderBytes = 44;     // before the first raw sector of a RIFF file
inline constexpr int kSubheaderBytes = 8;       // 4 bytes, then the same 4 again
inline constexpr int kSectorsPerSecond = 75;    // at normal speed

// Subheader bytes 0 and 1, the file and channel numbers: both 0xFF mark padding, with which
// games fill unused slots (silent audio sectors among them). It belongs to no channel.
inline constexpr std::uint8_t kPaddingNumber = 0xFF;

// Subheader byte 2, the submode.
inline constexpr std::uint8_t kSubmodeEof = 0x80;
inline constexpr std::uint8_t kSubmodeRealTime = 0x40;
inline constexpr std::uint8_t kSubmodeForm2 = 0x20;
inline constexpr std::uint8_t kSubmodeData = 0x08;
inline constexpr std::uint8_t kSubmodeAudio = 0x04;
// Real-time and Form 2 together mark an audio sector; any other bit but the end of file
// marks a data sector.
inline constexpr std::uint8_t kSubmodeAudioBits = kSubmodeRealTime | kSubmodeForm2;
inline constexpr std::uint8_t kSubmodeKindBits = static_cast<std::uint8_t>(~kSubmodeEof);
// What a new audio sector carries: Form 2, Real-time, Audio (0x64).
inline constexpr std::uint8_t kSubmodeAudioSector = kSubmodeAudioBits | kSubmodeAudio;

// Subheader byte 3, the coding information of an audio sector.
inline constexpr std::uint8_t kCodingStereo = 0x01;
inline constexpr std::uint8_t kCodingLowRate = 0x04;  // 18.9 kHz

// An audio sector: the subheader, 18 sound groups of 128 bytes, 24 bytes left over.
inline constexpr int kGroupsOffset = kSubheaderBytes;  // sound groups start after the subheader
inline constexpr int kSoundGroups = 18;                // per audio sector
inline constexpr int kSoundGroupBytes = 128;
inline constexpr int kGroupAreaBytes = kSoundGroups * kSoundGroupBytes;    // 2304
inline constexpr int kSectorTailOffset = kGroupsOffset + kGroupAreaBytes;  // 2312

// A sound group: 16 parameter bytes, then 28 sample words of 4 bytes; each word holds one
// nibble of each of the 8 units.
inline constexpr int kUnitsPerGroup = 8;
inline constexpr int kSamplesPerUnit = 28;
inline constexpr int kSampleWordsOffset = 16;  // the 28 sample words follow the parameter bytes

// Samples of one sector: a mono sector holds 4032, a stereo sector 2016 frames of two sides.
inline constexpr int kMonoFramesPerSector = kSoundGroups * kUnitsPerGroup * kSamplesPerUnit;
inline constexpr int kStereoFramesPerSector = kMonoFramesPerSector / 2;

// The parameter byte of a unit: the filter in the high nibble, the range in the low one.
// Each unit's byte is stored twice: units 0..3 at bytes 0..3, units 4..7 at bytes 8..11, and
// the second copies 4 bytes later.
inline constexpr int kParameterCopyOffset = 4;
constexpr int ParameterByte(int unit) { return unit < 4 ? unit : unit + 4; }
constexpr int ParameterFilter(std::uint8_t parameter) { return parameter >> 4; }
constexpr int ParameterRange(std::uint8_t parameter) { return parameter & 0x0F; }
constexpr std::uint8_t MakeParameter(int filter, int range) {
  return static_cast<std::uint8_t>(filter * 16 + range);
}

}  // namespace sorvane
