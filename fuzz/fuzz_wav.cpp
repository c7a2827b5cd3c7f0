// Fuzzes the WAV reader and the format pick of what it accepts. Input: the
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sound/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WavSound sound;
  if (ReadWav({data, size}, sound) == WavError::kNone) {
    const size_t frame = size_t(sound.channels) * (sound.bits / 8);
    if (sound.samples.empty() || sound.samples.size() % frame || sound.samples.size() > size) std::abort();
    (void)WavAlFormatName(sound);
  }
  return 0;
}
