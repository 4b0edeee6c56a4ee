// Builds XA files for tests: a number of sectors in one of the three layouts, with
// audio channels, data sectors and hand-made subheaders placed by sector index.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sorvane::testing {

enum class Layout { Plain2336, Raw2352, Riff2352 };

class XaBuilder {
 public:
  explicit XaBuilder(int sectors, Layout layout = Layout::Plain2336);

  // Every sector starts empty: subheader 01 00 00 00 twice, zero payload.
  // Audio sectors of `channel` at first, first+interleave, ... (count of them).
  XaBuilder& Channel(int channel, bool highRate, bool stereo, int first, int interleave, int count);
  // A data sector (submode 0x08).
  XaBuilder& Data(int index);
  XaBuilder& DataRange(int first, int count);
  // The four subheader bytes of one sector, written twice.
  XaBuilder& Subheader(int index, std::uint8_t file, std::uint8_t channel, std::uint8_t submode,
                       std::uint8_t coding);
  // A padding sector as games fill unused slots with: file and channel number 0xFF.
  XaBuilder& Padding(int index, std::uint8_t submode, std::uint8_t coding = 0);
  // Makes the second subheader copy of a sector differ from the first.
  XaBuilder& BreakSubheader(int index);
  // Sets the end-of-file bit on a sector.
  XaBuilder& Eof(int index);
  // Fills the payload (bytes 8..2335) of a sector.
  XaBuilder& Payload(int index, const std::vector<std::uint8_t>& bytes);
  // Fills the payload of every sector with pseudo-random bytes from `seed`: sound that leaves
  // the decoder's histories far from zero.
  XaBuilder& Noise(unsigned seed);

  std::vector<std::uint8_t>& SectorBytes(int index) { return sectors_[index]; }
  std::string Bytes() const;
  // What a 2048-byte ripper keeps of the file: the 2048 bytes after each sector's
  // subheader (an audio sector's first 16 sound groups), nothing else.
  std::string Bytes2048() const;
  void Write(const std::string& path) const;

 private:
  Layout layout_;
  std::vector<std::vector<std::uint8_t>> sectors_;
};

// The byte position of sector `index`'s subheader in a file of the given layout.
long long SubheaderOffset(Layout layout, int index);

}  // namespace sorvane::testing
