#include "gui/txf_metrics.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_bytes.h"

namespace {

// "\xfftxf", the byte-order word, then format, texture width and height,
// tallest ascent, tallest descent and glyph count; 12 bytes a glyph.
constexpr size_t kHeaderBytes = 4 + 7 * 4;
constexpr size_t kGlyphBytes = 12;

class Reader {
 public:
  Reader(std::span<const uint8_t> bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}
  uint32_t Word(size_t at) const { return Get<uint32_t>(at); }
  uint16_t Half(size_t at) const { return Get<uint16_t>(at); }

 private:
  template <typename T>
  T Get(size_t at) const {
    uint8_t b[sizeof(T)];
    std::memcpy(b, bytes_.data() + at, sizeof(T));
    if (swapped_) std::reverse(b, b + sizeof(T));
    T v;
    std::memcpy(&v, b, sizeof(T));
    return v;
  }
  std::span<const uint8_t> bytes_;
  bool swapped_;
};

}  // namespace

TxfMetrics::Result TxfMetrics::Parse(std::span<const uint8_t> file) {
  loaded_ = false;
  glyphs_ = {};
  if (file.size() < kHeaderBytes) return Result::kTooShort;
  if (file[0] != 0xFF || file[1] != 't' || file[2] != 'x' || file[3] != 'f') return Result::kNotTxf;
  uint32_t order;
  std::memcpy(&order, file.data() + 4, 4);
  const Reader r(file, order != 0x12345678u);
  const uint32_t ascent = r.Word(20), count = r.Word(28);
  if (ascent == 0 || ascent > 4096) return Result::kBadSize;
  if (count > (file.size() - kHeaderBytes) / kGlyphBytes) return Result::kTooShort;
  const float unit = 1.0f / float(ascent);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kHeaderBytes + size_t(i) * kGlyphBytes;
    const uint16_t c = r.Half(at);
    // PLIB keeps the character in a char: the low byte names the glyph.
    Glyph& g = glyphs_[c & 0xFF];
    const int w = file[at + 2], h = file[at + 3];
    const int x_off = int8_t(file[at + 4]), y_off = int8_t(file[at + 5]);
    g.exists = true;
    g.advance = float(int8_t(file[at + 6])) * unit;
    g.left = float(x_off) * unit;
    g.right = float(x_off + w) * unit;
    g.bottom = float(y_off) * unit;
    g.top = float(y_off + h) * unit;
  }
  glyphs_[' '].exists = false;  // as PLIB: a space is half a unit
  loaded_ = true;
  return Result::kOk;
}

TxfMetrics::Result TxfMetrics::Load(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (platform::ReadFileBytes(path, bytes, 16u << 20) != 0) return Result::kTooShort;
  return Parse(bytes);
}

TextBounds TxfMetrics::Bounds(std::string_view line, float size, float italic) const {
  constexpr float kGap = 0.1f;  // fntTexFont's default
  float pen = 0, l = 0, r = 0, b = 0, t = 0;
  for (char ch : line) {
    unsigned c = static_cast<unsigned char>(ch);
    if (!glyphs_[c].exists) {
      if (c >= 'A' && c <= 'Z') {
        c = c - 'A' + 'a';
      } else if (c >= 'a' && c <= 'z') {
        c = c - 'a' + 'A';
      }
      if (c == ' ') {
        r += 0.5f;
        pen += 0.5f;
        continue;
      }
    }
    const Glyph& g = glyphs_[c];
    if (!g.exists) continue;
    l = std::min(l, pen + g.left + std::min(italic, 0.0f));
    r = std::max(r, kGap + pen + g.right + std::max(italic, 0.0f));
    b = std::min(b, g.bottom);
    t = std::max(t, g.top);
    pen += kGap + g.advance;
  }
  // y down: the top lies above the baseline.
  return {l * size, r * size, -t * size, -b * size};
}

bool MeasuringDraw2D::LoadFonts(const std::string& data_dir) {
  const bool helvetica = fonts_[0].Load(data_dir + "/Fonts/Helvetica-Bold.txf") == TxfMetrics::Result::kOk;
  const bool bookman = fonts_[1].Load(data_dir + "/Fonts/Bookman-Demi.txf") == TxfMetrics::Result::kOk;
  return helvetica && bookman;
}

const TxfMetrics* MeasuringDraw2D::Current() const {
  const TxfMetrics& f = fonts_[state_.font == GuiFont::kBookman ? 1 : 0];
  return f.loaded() ? &f : nullptr;
}

void MeasuringDraw2D::SetFont(const FontState& state) {
  state_ = state;
  NullDraw2D::SetFont(state);
}

float MeasuringDraw2D::TextWidth(std::string_view text) {
  const TxfMetrics* f = Current();
  if (!f) return NullDraw2D::TextWidth(text);
  if (text.empty()) return 0;
  const TextBounds b = f->Bounds(text, state_.size, state_.italic);
  return b.right - b.left;
}

TextBounds MeasuringDraw2D::Bounds(std::string_view line) {
  const TxfMetrics* f = Current();
  if (!f) return NullDraw2D::Bounds(line);
  TextBounds b = f->Bounds(line, state_.size, state_.italic);
  b.left += kTextPenX;
  b.right += kTextPenX;
  b.top -= kTextPenY;
  b.bottom -= kTextPenY;
  return b;
}
