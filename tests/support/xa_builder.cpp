#include "support/xa_builder.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "support/temp_dir.h"

namespace sorvane::testing {
namespace {

constexpr int kSector = 2336;

void SetSubheader(std::vector<std::uint8_t>& s, std::uint8_t file, std::uint8_t channel,
                  std::uint8_t submode, std::uint8_t coding) {
  s[0] = s[4] = file;
  s[1] = s[5] = channel;
  s[2] = s[6] = submode;
  s[3] = s[7] = coding;
}

}  // namespace

long long SubheaderOffset(Layout layout, int index) {
  switch (layout) {
    case Layout::Plain2336:
      return 2336LL * index;
    case Layout::Raw2352:
      return 2352LL * index + 16;
    case Layout::Riff2352:
      return 2352LL * index + 60;
  }
  return 0;
}

XaBuilder::XaBuilder(int sectors, Layout layout) : layout_(layout), sectors_(sectors) {
  for (auto& s : sectors_) {
    s.assign(kSector, 0);
    SetSubheader(s, 1, 0, 0, 0);
  }
}

XaBuilder& XaBuilder::Channel(int channel, bool highRate, bool stereo, int first, int interleave,
                              int count) {
  const std::uint8_t coding = (stereo ? 0x01 : 0) | (highRate ? 0 : 0x04);
  for (int k = 0; k < count; ++k) {
    int index = first + k * interleave;
    if (index < static_cast<int>(sectors_.size()))
      SetSubheader(sectors_[index], 1, static_cast<std::uint8_t>(channel), 0x64, coding);
  }
  return *this;
}

XaBuilder& XaBuilder::Data(int index) { return Subheader(index, 1, 0, 0x08, 0); }

XaBuilder& XaBuilder::DataRange(int first, int count) {
  for (int i = first; i < first + count; ++i) Data(i);
  return *this;
}

XaBuilder& XaBuilder::Subheader(int index, std::uint8_t file, std::uint8_t channel,
                                std::uint8_t submode, std::uint8_t coding) {
  SetSubheader(sectors_[index], file, channel, submode, coding);
  return *this;
}

XaBuilder& XaBuilder::Padding(int index, std::uint8_t submode, std::uint8_t coding) {
  return Subheader(index, 0xFF, 0xFF, submode, coding);
}

XaBuilder& XaBuilder::BreakSubheader(int index) {
  sectors_[index][7] ^= 0xFF;
  return *this;
}

XaBuilder& XaBuilder::Eof(int index) {
  sectors_[index][2] |= 0x80;
  sectors_[index][6] |= 0x80;
  return *this;
}

XaBuilder& XaBuilder::Noise(unsigned seed) {
  std::mt19937 random(seed);
  for (auto& s : sectors_)
    std::generate(s.begin() + 8, s.end(), [&] { return static_cast<std::uint8_t>(random()); });
  return *this;
}

XaBuilder& XaBuilder::Payload(int index, const std::vector<std::uint8_t>& bytes) {
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), kSector - 8),
              sectors_[index].begin() + 8);
  return *this;
}

std::string XaBuilder::Bytes() const {
  std::string out;
  if (layout_ == Layout::Riff2352) {
    out.assign(44, '\0');
    std::memcpy(out.data(), "RIFF", 4);
    std::memcpy(out.data() + 8, "CDXAfmt ", 8);
    out[16] = 16;  // format chunk length; it also keeps the header from passing for raw sectors
    std::memcpy(out.data() + 36, "data", 4);
  }
  for (std::size_t i = 0; i < sectors_.size(); ++i) {
    if (layout_ != Layout::Plain2336) {
      std::string prefix(16, '\xFF');
      prefix[0] = prefix[11] = '\0';
      prefix[12] = prefix[13] = prefix[14] = '\0';
      prefix[15] = '\x02';
      out += prefix;
    }
    out.append(reinterpret_cast<const char*>(sectors_[i].data()), kSector);
  }
  return out;
}

std::string XaBuilder::Bytes2048() const {
  std::string out;
  for (const auto& s : sectors_) out.append(reinterpret_cast<const char*>(s.data()) + 8, 2048);
  return out;
}

void XaBuilder::Write(const std::string& path) const { WriteFileBytes(path, Bytes()); }

}  // namespace sorvane::testing
