#include "sound/wav_reader.h"

#include <cstring>

#include "base/byte_cursor.h"
#include "platform/file_bytes.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint64_t kMaxWavBytes = uint64_t(64) << 20;

bool Tag(const uint8_t* at, const char (&name)[5]) { return std::memcmp(at, name, 4) == 0; }

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

struct Format {
  bool seen = false;
  uint16_t tag = 0;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  uint32_t mask = 0;
};

WavError ReadFormat(std::span<const uint8_t> chunk, Format& f) {
  if (chunk.size() < 16) return WavError::kNoFormat;
  const uint8_t* p = chunk.data();
  f.seen = true;
  f.tag = U16(p);
  f.channels = U16(p + 2);
  f.rate = U32(p + 4);
  f.bits = U16(p + 14);
  if (f.tag == kFormatExtensible) {
    // cbSize, valid bits, the speaker mask, then the sub-format GUID whose
    // first two bytes are the plain format tag.
    if (chunk.size() < 40 || U16(p + 16) < 22) return WavError::kNotPcm;
    f.mask = U32(p + 20);
    f.tag = U16(p + 24);
  }
  if (f.tag != kFormatPcm) return WavError::kNotPcm;
  if (f.channels == 0 || f.rate == 0 || (f.bits != 8 && f.bits != 16)) return WavError::kBadLayout;
  return WavError::kNone;
}

}  // namespace

double WavSound::seconds() const {
  const size_t frame = size_t(channels) * (bits / 8);
  return frame && sample_rate ? double(samples.size() / frame) / sample_rate : 0.0;
}

std::string_view WavErrorText(WavError error) {
  switch (error) {
    case WavError::kNone: return "no error";
    case WavError::kNotRiff: return "not a RIFF WAVE file";
    case WavError::kNoFormat: return "no usable 'fmt ' chunk";
    case WavError::kNotPcm: return "not PCM samples";
    case WavError::kBadLayout: return "unsupported channels, rate or sample size";
    case WavError::kNoData: return "no samples";
    case WavError::kCantRead: return "cannot read the file";
  }
  return "unknown error";
}

WavError ReadWav(std::span<const uint8_t> bytes, WavSound& out) {
  out = WavSound{};
  if (bytes.size() < 12 || !Tag(bytes.data(), "RIFF") || !Tag(bytes.data() + 8, "WAVE")) return WavError::kNotRiff;
  // The RIFF size is not trusted: chunks are walked to the end of the bytes.
  ByteCursor file(bytes);
  (void)file.Seek(12);
  Format format;
  while (file.left() >= 8) {
    const uint8_t* head = file.here();
    (void)file.Skip(8);
    const size_t claimed = U32(head + 4);
    const size_t size = claimed < file.left() ? claimed : file.left();
    std::span<const uint8_t> chunk(file.here(), size);
    if (Tag(head, "fmt ")) {
      if (WavError e = ReadFormat(chunk, format); e != WavError::kNone) return e;
    } else if (Tag(head, "data")) {
      if (!format.seen) return WavError::kNoFormat;
      const size_t frame = size_t(format.channels) * (format.bits / 8);
      const size_t whole = size - size % frame;
      if (whole == 0) return WavError::kNoData;
      out.channels = format.channels;
      out.sample_rate = format.rate;
      out.bits = format.bits;
      out.channel_mask = format.mask;
      out.samples.assign(chunk.begin(), chunk.begin() + std::ptrdiff_t(whole));
      return WavError::kNone;
    }
    // Chunks are padded to an even size.
    if (!file.Skip(size) || (size % 2 && !file.Skip(1))) break;
  }
  return format.seen ? WavError::kNoData : WavError::kNoFormat;
}

WavError ReadWavFile(std::string_view path, WavSound& out) {
  std::vector<uint8_t> bytes;
  if (platform::ReadFileBytes(path, bytes, kMaxWavBytes) != 0) {
    out = WavSound{};
    return WavError::kCantRead;
  }
  return ReadWav(bytes, out);
}

std::string_view WavAlFormatName(const WavSound& s) {
  if (s.bits == 8) {
    if (s.channels == 1) return "AL_FORMAT_MONO8";
    if (s.channels == 2) return "AL_FORMAT_STEREO8";
    return "";
  }
  if (s.bits != 16) return "";
  if (s.channels == 1) return "AL_FORMAT_MONO16";
  if (s.channels == 2) return s.channel_mask == 0x30 ? "AL_FORMAT_REAR16" : "AL_FORMAT_STEREO16";
  struct Layout {
    uint16_t channels;
    uint32_t mask;
    const char* name;
  };
  static constexpr Layout kLayouts[] = {
      {4, 0x33, "AL_FORMAT_QUAD16"},
      {6, 0x3F, "AL_FORMAT_51CHN16"},
      {7, 0x70F, "AL_FORMAT_61CHN16"},
      {8, 0x63F, "AL_FORMAT_71CHN16"},
  };
  for (const Layout& l : kLayouts)
    if (l.channels == s.channels && l.mask == s.channel_mask) return l.name;
  return "";
}
