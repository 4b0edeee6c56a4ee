#include "input/audio_file.h"

namespace sorvane {

int AudioFile::Open(const std::string& path) {
  Close();
  if (reader_.Open(path) == 0) return 0;
  LastErrorText = reader_.LastErrorText;
  if (reader_.KeepsFile()) return -1;
  if (!other_.Open(path)) return -1;
  throughLibsndfile_ = true;
  return 0;
}

void AudioFile::Close() {
  reader_.Close();
  other_.Close();
  throughLibsndfile_ = false;
}

}  // namespace sorvane
