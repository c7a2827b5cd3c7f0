// Number and text formatting straight into a char buffer for the exporters,
// with the exact bytes of printf's "%i", "%f", "%.Nf" and "%W.Nf". Each Put*
// writes at most kMaxNumberChars bytes and returns the end.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

// The longest printf("%.6f") of a double: 309 integer digits, sign, point
// and six decimals.
inline constexpr size_t kMaxNumberChars = 320;

namespace number_format {

inline constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline char* PutPair(char* o, uint32_t two_digits) {
  std::memcpy(o, kDigitPairs + 2 * two_digits, 2);
  return o + 2;
}

inline constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
inline constexpr uint64_t kPow5[] = {1, 5, 25, 125, 625, 3125, 15625};

// "-"?, the integer part and N decimals of q / 10^N, blank-padded on the
// left to `width` characters.
template <int N>
inline char* PutScaled(char* o, bool negative, uint64_t q, int width = 0) {
  const uint64_t whole = q / kPow10[N];
  uint32_t f = uint32_t(q % kPow10[N]);
  const int whole_digits = whole < 10 ? 1 : whole < 100 ? 2 : whole < 1000 ? 3 : 4;
  if (width > 0) {
    const int pad = width - (int(negative) + whole_digits + (N ? N + 1 : 0));
    for (int i = 0; i < pad; ++i) *o++ = ' ';
  }
  if (negative) *o++ = '-';
  if (whole < 10) {
    *o++ = char('0' + whole);
  } else if (whole < 100) {
    o = PutPair(o, uint32_t(whole));
  } else {
    o = std::to_chars(o, o + 24, whole).ptr;
  }
  if constexpr (N == 0) return o;
  *o++ = '.';
  if constexpr (N % 2 == 1) {
    o[N - 1] = char('0' + f % 10);
    f /= 10;
  }
  if constexpr (N == 6) {
    // Three independent pairs rather than a chain of divisions.
    const uint32_t hi = f / 10000, lo = f % 10000;
    PutPair(o, hi);
    PutPair(o + 2, lo / 100);
    PutPair(o + 4, lo % 100);
  } else {
    for (int i = N / 2 - 1; i >= 0; --i) {
      std::memcpy(o + 2 * i, kDigitPairs + 2 * (f % 100), 2);
      f /= 100;
    }
  }
  return o + N;
}

// q = m * 5^N * 2^-shift rounded half to even on the exact value, as glibc's
// printf rounds.
inline uint64_t ShiftRound(unsigned __int128 p, int shift) {
  if (shift >= 128) return 0;
  const uint64_t q = uint64_t(p >> shift);
  const unsigned __int128 rem = p & ((((unsigned __int128)1) << shift) - 1);
  const unsigned __int128 half = ((unsigned __int128)1) << (shift - 1);
  return q + (rem > half || (rem == half && (q & 1)));
}

// printf("%.<N>f", x) of a double; values of 2^63 / 10^N and more, NaN and
// infinity go through std::to_chars, which is exact too.
template <int N>
char* FixedDouble(char* out, double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const int exponent = int((bits >> 52) & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t(1) << 52) - 1);
  const uint64_t mantissa = exponent ? fraction | (uint64_t(1) << 52) : fraction;
  const int shift = -((exponent ? exponent - 1075 : -1074) + N);  // x * 10^N = mantissa * 5^N * 2^-shift
  if (exponent == 0x7FF || shift < 4) {
    return std::to_chars(out, out + kMaxNumberChars, x, std::chars_format::fixed, N).ptr;
  }
  return PutScaled<N>(out, bits >> 63, ShiftRound((unsigned __int128)mantissa * kPow5[N], shift));
}

inline uint32_t PairWord(uint32_t two_digits) {
  uint16_t word;
  std::memcpy(&word, kDigitPairs + 2 * two_digits, 2);
  return word;
}

// The same as PutScaled<6> for q below 10^10 and a width of at most 16,
// without a branch on the sign or the number of integer digits, which change
// from one value to the next and were mispredicted half the time: the digits
// go out as whole words and the end moves past the ones shown. Writes up to
// 16 bytes from `o` whatever the text's length.
inline char* PutSmallScaled6(char* o, bool negative, uint64_t q, int width) {
  const uint32_t whole = uint32_t(q / 1000000), f = uint32_t(q - uint64_t(whole) * 1000000);
  const int digits = 1 + (whole >= 10) + (whole >= 100) + (whole >= 1000);
  if (width > 0) {
    std::memset(o, ' ', 16);
    o += std::max(0, width - (int(negative) + digits + 7));
  }
  *o = '-';
  o += negative;
  const uint32_t four = PairWord(whole / 100) | PairWord(whole % 100) << 16;  // leading zeros in the low bytes
  const uint32_t shown = four >> (8 * (4 - digits));
  std::memcpy(o, &shown, 4);
  o += digits;
  const uint32_t hi = f / 10000, lo = f % 10000;
  const uint64_t decimals = uint64_t('.') | uint64_t(PairWord(hi)) << 8 | uint64_t(PairWord(lo / 100)) << 24 |
                            uint64_t(PairWord(lo % 100)) << 40;
  std::memcpy(o, &decimals, 8);
  return o + 7;
}

// The same for a float, in 64-bit arithmetic: its 24-bit mantissa times
// 5^6 fits with room to spare.
inline char* Fixed6Float(char* out, float x, int width = 0) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const int exponent = int((bits >> 23) & 0xFF);
  const uint32_t fraction = bits & ((1u << 23) - 1);
  const uint64_t p = uint64_t(exponent ? fraction | (1u << 23) : fraction) * kPow5[6];  // < 2^38
  const int shift = -((exponent ? exponent - 150 : -149) + 6);
  uint64_t q;
  if (exponent == 0xFF || shift < -25) {
    return width ? nullptr : FixedDouble<6>(out, double(x));
  } else if (shift <= 0) {
    q = p << -shift;  // a whole number of millionths, below 2^63
  } else if (shift >= 64) {
    q = 0;
  } else {
    // The dropped bits, left-aligned: more than a half rounds up, exactly a
    // half rounds to the even neighbour. Without a branch: which way a
    // value rounds is a coin toss.
    q = p >> shift;
    const uint64_t dropped = p << (64 - shift);
    q += (dropped | (q & 1)) > (uint64_t(1) << 63);
  }
  if (q < 10'000'000'000u && width <= 16) return PutSmallScaled6(out, bits >> 31, q, width);
  return PutScaled<6>(out, bits >> 31, q, width);
}

}  // namespace number_format

// printf("%.6f", x).
inline char* FormatFixed6(char* out, double x) { return number_format::FixedDouble<6>(out, x); }

inline char* PutInt(char* out, long long value) {
  if (value >= 0 && value < 100) {
    if (value < 10) {
      *out = char('0' + value);
      return out + 1;
    }
    return number_format::PutPair(out, uint32_t(value));
  }
  return std::to_chars(out, out + 24, value).ptr;
}

// printf("%.<digits>f", value). A float argument keeps its own fast path
// (printf would promote it to the same double).
inline char* PutFixed(char* out, float value) { return number_format::Fixed6Float(out, value); }
inline char* PutFixed(char* out, double value, int digits = 6) {
  switch (digits) {
    case 6: return number_format::FixedDouble<6>(out, value);
    case 5: return number_format::FixedDouble<5>(out, value);
    case 2: return number_format::FixedDouble<2>(out, value);
    default: return std::to_chars(out, out + kMaxNumberChars, value, std::chars_format::fixed, digits).ptr;
  }
}

// printf("%<width>.<digits>f", value): right-aligned, blank-padded.
inline char* PutFixedWidth(char* out, double value, int digits, int width) {
  char* end = PutFixed(out, value, digits);
  ptrdiff_t len = end - out;
  if (len >= width) return end;
  ptrdiff_t pad = width - len;
  std::memmove(out + pad, out, size_t(len));
  std::memset(out, ' ', size_t(pad));
  return out + width;
}
inline char* PutFixedWidth(char* out, float value, int width) {
  // Values up to 9999 are padded as they are written; the rest are moved.
  if (std::fabs(value) < 9999.5f)
    if (char* end = number_format::Fixed6Float(out, value, width)) return end;
  return PutFixedWidth(out, double(value), 6, width);
}

// The texts of N values that all format to exactly W characters, made
// once: `put(buffer, i)` writes value i's text and returns its end.
template <size_t N, size_t W>
struct FixedTexts {
  char text[N][W];
};
template <size_t N, size_t W, typename Put>
std::unique_ptr<FixedTexts<N, W>> MakeFixedTexts(Put put) {
  auto t = std::make_unique<FixedTexts<N, W>>();
  for (size_t i = 0; i < N; ++i) {
    char buf[kMaxNumberChars];
    std::memcpy(t->text[i], buf, size_t(put(buf, i) - buf));
  }
  return t;
}

inline char* PutText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// A text of at most 8 bytes in one 8-byte move: the source and the output
// must both have 8 bytes to spare (VertexTexts' texts and Reserve's room do).
inline char* PutShort(char* out, std::string_view text) {
  std::memcpy(out, text.data(), 8);
  return out + text.size();
}

// The same for texts of up to 32 bytes, with 32 to spare; longer ones are
// copied as they are.
inline char* PutUpTo32(char* out, std::string_view text) {
  if (text.size() > 32) [[unlikely]] return PutText(out, text);
  std::memcpy(out, text.data(), 32);
  return out + text.size();
}
