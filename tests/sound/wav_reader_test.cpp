// The WAV reader over files made from the RIFF layout (with the faults real
// writers make: sox's and espeak-ng's streamed output claims far more data
// than it holds), and every truncated prefix.
#include <gtest/gtest.h>

#include <string>

#include "sound/wav_reader.h"
#include "tools/fixture/wav_writer.h"

namespace {

using fixture::MakeWav;
using fixture::WavDesc;

TEST(WavReader, LayoutsAndTheirOpenAlFormats) {
  struct Case { WavDesc desc; const char* format; };
  const Case cases[] = {
      {{.channels = 1, .bits = 8}, "AL_FORMAT_MONO8"},
      {{.channels = 2, .bits = 8}, "AL_FORMAT_STEREO8"},
      {{.channels = 1, .bits = 16}, "AL_FORMAT_MONO16"},
      {{.channels = 2, .bits = 16, .list_chunk_first = true}, "AL_FORMAT_STEREO16"},
      {{.channels = 2, .bits = 16, .format_tag = 0xFFFE, .channel_mask = 0x30}, "AL_FORMAT_REAR16"},
      {{.channels = 6, .bits = 16, .format_tag = 0xFFFE, .channel_mask = 0x3F}, "AL_FORMAT_51CHN16"},
      {{.channels = 6, .bits = 8, .format_tag = 0xFFFE, .channel_mask = 0x3F}, ""},  // no 8-bit 5.1
      {{.channels = 3, .bits = 16}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    WavSound s;
    ASSERT_EQ(ReadWav(MakeWav(c.desc), s), WavError::kNone);
    EXPECT_EQ(s.channels, c.desc.channels);
    EXPECT_EQ(s.bits, c.desc.bits);
    EXPECT_EQ(s.sample_rate, 22050u);
    ASSERT_EQ(s.samples.size(), size_t(c.desc.frames) * c.desc.channels * c.desc.bits / 8);
    EXPECT_EQ(s.samples[5], uint8_t(5 * 7 + 3));
    EXPECT_EQ(WavAlFormatName(s), c.format);
  }
}

TEST(WavReader, SizesAreBoundedByTheBytesAndCutToWholeFrames) {
  WavSound s;
  // A streamed file's 2 GiB data size: the samples present are taken.
  ASSERT_EQ(ReadWav(MakeWav({.channels = 2, .frames = 50, .claimed_data = 0x7FFFFFFF}), s), WavError::kNone);
  EXPECT_EQ(s.samples.size(), 200u);
  // A partial last frame is dropped.
  ASSERT_EQ(ReadWav(MakeWav({.channels = 2, .frames = 50, .extra_bytes = 3}), s), WavError::kNone);
  EXPECT_EQ(s.samples.size(), 200u);
  EXPECT_DOUBLE_EQ(s.seconds(), 50.0 / 22050);

  struct Bad { WavDesc desc; WavError error; };
  const Bad bad[] = {
      {{.fmt_size = 14}, WavError::kNoFormat},
      {{.format_tag = 3}, WavError::kNotPcm},  // float samples
      {{.format_tag = 0xFFFE, .fmt_size = 24}, WavError::kNotPcm},
      {{.channels = 0}, WavError::kBadLayout},
      {{.rate = 0}, WavError::kBadLayout},
      {{.bits = 24}, WavError::kBadLayout},
      {{.frames = 0}, WavError::kNoData},
      {{.channels = 2, .frames = 0, .extra_bytes = 3}, WavError::kNoData},
  };
  for (const Bad& b : bad) EXPECT_EQ(ReadWav(MakeWav(b.desc), s), b.error) << WavErrorText(b.error);
}

TEST(WavReader, EveryTruncatedPrefixEndsCleanly) {
  const std::vector<uint8_t> file = MakeWav({.channels = 2, .frames = 40, .list_chunk_first = true});
  for (size_t n = 0; n < file.size(); ++n) {
    WavSound s;
    WavError e = ReadWav({file.data(), n}, s);
    if (e == WavError::kNone) {
      EXPECT_EQ(s.samples.size() % 4, 0u) << n;
      EXPECT_LT(s.samples.size(), 160u) << n;
    } else {
      EXPECT_TRUE(s.samples.empty()) << n;
    }
    EXPECT_TRUE(n >= 12 || e == WavError::kNotRiff) << n << ": " << WavErrorText(e);
  }
  WavSound s;
  EXPECT_EQ(ReadWavFile("/nonexistent/x.wav", s), WavError::kCantRead);
}

}  // namespace
