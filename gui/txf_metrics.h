// The glyph metrics of a TXF texture font without GL: what the window's
// font library (PLIB fnt) makes of the same file, so the headless
// interface (`vantor --dump-layout`, `vantor-cli gui`, the tests) measures
// and places text exactly as the window draws it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "gui/draw2d.h"

class TxfMetrics {
 public:
  enum class Result { kOk, kTooShort, kNotTxf, kBadSize, kBadGlyph };
  // The header and glyph table of a TXF file; the texels are not read.
  [[nodiscard]] Result Parse(std::span<const uint8_t> file);
  [[nodiscard]] Result Load(const std::string& path);
  bool loaded() const { return loaded_; }
  // The box the glyphs of one line cover at `size`, from the pen (PLIB's
  // getBBox: units of the font's tallest ascent, a gap of 0.1 after each
  // glyph, half a unit for a space).
  TextBounds Bounds(std::string_view line, float size, float italic) const;

 private:
  struct Glyph {
    bool exists = false;
    float advance = 0, left = 0, right = 0, bottom = 0, top = 0;
  };
  std::array<Glyph, 256> glyphs_{};
  bool loaded_ = false;
};

// A drawer that draws nothing and measures with the two fonts' metrics
// (loaded from the data folder); without them, as NullDraw2D does.
class MeasuringDraw2D : public NullDraw2D {
 public:
  // True when both fonts were read.
  bool LoadFonts(const std::string& data_dir);
  void SetFont(const FontState& state) override;
  float TextWidth(std::string_view text) override;
  TextBounds Bounds(std::string_view line) override;

 protected:
  FontState state_;

 private:
  const TxfMetrics* Current() const;
  TxfMetrics fonts_[2];
};
