// The interface sounds' WAV files: RIFF "WAVE" with a PCM "fmt " chunk (plain
// or the extensible form with its channel mask) and a "data" chunk. No
// OpenAL here: the player picks the buffer format from what this returns.
//
// Nothing in the file is trusted: every chunk is bounded by the bytes
// present (some writers put 2 GiB in the data size of a streamed file), the
// samples are cut to whole frames (a partial frame makes the upload fail),
// and only 8- and 16-bit samples with at least one channel and a non-zero
// rate are taken.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct WavSound {
  uint16_t channels = 0;
  uint32_t sample_rate = 0;
  uint16_t bits = 0;          // 8 or 16
  uint32_t channel_mask = 0;  // the extensible form's speaker mask, else 0
  std::vector<uint8_t> samples;  // whole frames only

  double seconds() const;
};

enum class WavError {
  kNone,
  kNotRiff,       // no "RIFF" ... "WAVE" header
  kNoFormat,      // no "fmt " chunk before the data, or one shorter than 16 bytes
  kNotPcm,        // a compressed or unknown sample format
  kBadLayout,     // no channels, no rate, or a sample size other than 8 or 16 bits
  kNoData,        // no "data" chunk, or not one whole frame in it
  kCantRead,      // the file could not be read (missing, a folder, too large)
};

// What a failed load says in its log line.
std::string_view WavErrorText(WavError error);

WavError ReadWav(std::span<const uint8_t> bytes, WavSound& out);
// Files of the interface are small: anything past 64 MiB is refused unread.
WavError ReadWavFile(std::string_view path, WavSound& out);

// The OpenAL format the sound plays as, by its enum name ("AL_FORMAT_MONO16");
// "" when no format fits. Multichannel 16-bit files go by their speaker mask:
// rear 0x30, quad 0x33, 5.1 0x3F, 6.1 0x70F, 7.1 0x63F.
std::string_view WavAlFormatName(const WavSound& sound);
