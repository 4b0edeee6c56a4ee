#include "support/wav_builder.h"

#include "support/temp_dir.h"

namespace sorvane::testing {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string Chunk(const std::string& id, const std::string& body) {
  std::string out = id;
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out += body;
  if (body.size() % 2 != 0) out.push_back('\0');
  return out;
}

}  // namespace

WavBuilder::WavBuilder(int channels, int rate, int bits)
    : channels_(channels),
      rate_(static_cast<std::uint32_t>(rate)),
      bits_(bits),
      align_(channels * bits / 8) {}

WavBuilder& WavBuilder::FormatTag(int tag) {
  tag_ = tag;
  return *this;
}

WavBuilder& WavBuilder::BlockAlign(int align) {
  align_ = align;
  return *this;
}

WavBuilder& WavBuilder::Rate(std::uint32_t rate) {
  rate_ = rate;
  return *this;
}

WavBuilder& WavBuilder::FormatChunkSize(int size) {
  formatSize_ = size;
  return *this;
}

WavBuilder& WavBuilder::Samples16(const std::vector<std::int16_t>& interleaved) {
  data_.clear();
  for (std::int16_t s : interleaved) Put16(data_, static_cast<std::uint16_t>(s));
  return *this;
}

WavBuilder& WavBuilder::Samples8(const std::vector<std::uint8_t>& interleaved) {
  data_.assign(interleaved.begin(), interleaved.end());
  return *this;
}

WavBuilder& WavBuilder::Data(const std::string& bytes) {
  data_ = bytes;
  return *this;
}

WavBuilder& WavBuilder::DataSize(std::uint32_t size) {
  dataSizeSet_ = true;
  dataSize_ = size;
  return *this;
}

WavBuilder& WavBuilder::ChunkBeforeData(const std::string& id, const std::string& body) {
  before_ += Chunk(id, body);
  return *this;
}

WavBuilder& WavBuilder::ChunkAfterData(const std::string& id, const std::string& body) {
  after_ += Chunk(id, body);
  return *this;
}

WavBuilder& WavBuilder::Patch(std::size_t offset, const std::string& bytes) {
  patches_.emplace_back(offset, bytes);
  return *this;
}

WavBuilder& WavBuilder::TruncateTo(std::size_t length) {
  truncateTo_ = length;
  return *this;
}

std::string WavBuilder::Bytes() const {
  std::string format;
  Put16(format, static_cast<std::uint32_t>(tag_));
  Put16(format, static_cast<std::uint32_t>(channels_));
  Put32(format, rate_);
  Put32(format, rate_ * static_cast<std::uint32_t>(align_));
  Put16(format, static_cast<std::uint32_t>(align_));
  Put16(format, static_cast<std::uint32_t>(bits_));
  format.resize(static_cast<std::size_t>(formatSize_), '\0');

  std::string body = "WAVE" + Chunk("fmt ", format) + before_ + "data";
  Put32(body, dataSizeSet_ ? dataSize_ : static_cast<std::uint32_t>(data_.size()));
  body += data_;
  if (data_.size() % 2 != 0) body.push_back('\0');
  body += after_;

  std::string out = "RIFF";
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out += body;
  for (const auto& [offset, bytes] : patches_) out.replace(offset, bytes.size(), bytes);
  if (truncateTo_ < out.size()) out.resize(truncateTo_);
  return out;
}

void WavBuilder::Write(const std::string& path) const { WriteFileBytes(path, Bytes()); }

}  // namespace sorvane::testing
