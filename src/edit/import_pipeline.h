// The sectors of an import between their frames and the file. Sectors are queued in batches
// (of kBatchSectors stereo sectors, or half as many mono ones); a full batch is encoded on
// two threads of its own, the left sides of its stereo sectors on one and the right sides
// and mono sectors on the other (each side is a chain of its own), while the next batch is
// read; then it is written, in order, on the calling thread. The file's bytes and the
// encoder's state come out as if each sector had been encoded and written as soon as its
// frames were read: after a failed write, nothing after that sector is written and the
// state is the one after it.
#pragma once

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "codec/adpcm_encoder.h"
#include "container/xa_file.h"

namespace sorvane {

class ImportPipeline {
 public:
  static constexpr int kBatchSectors = 32;

  // `threaded` false encodes each batch on the calling thread instead.
  ImportPipeline(XaFile& xa, EncoderState& encoder, bool threaded);
  ~ImportPipeline();  // waits for the batch being encoded; writes nothing more
  ImportPipeline(const ImportPipeline&) = delete;
  ImportPipeline& operator=(const ImportPipeline&) = delete;

  // Room for the frames of the next sector (4032 left, right pairs).
  std::int16_t* Frames();
  // Queues the sector whose frames are in Frames() for sector `index` under `subheader`.
  // False once a write has failed.
  bool Queue(std::int32_t index, const std::uint8_t subheader[4]);
  // Encodes and writes all that is queued; false once a write has failed.
  bool Drain();
  // The sector whose write failed.
  std::int32_t FailedSector() const { return failedSector_; }

 private:
  struct Batch;

  void Launch(Batch& batch);
  bool Write(Batch& batch);
  bool Rotate();

  XaFile& xa_;
  EncoderState& encoder_;
  bool threaded_;
  std::unique_ptr<Batch> filling_;
  std::unique_ptr<Batch> encoding_;  // launched, not yet written
  bool failed_ = false;
  std::int32_t failedSector_ = 0;
};

}  // namespace sorvane
