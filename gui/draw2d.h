// The only way the toolkit draws: a small 2D seam. The window's drawer
// (gui/draw2d_gl.cpp) puts it on OpenGL; tests and the command line use a
// recording or a null drawer, so the whole toolkit runs without a display.
// Coordinates are window pixels, y down, relative to the current translation.
#pragma once

#include <cstdint>
#include <string_view>

// The two fonts: the first for item text, the second for titles and big
// text.
enum class GuiFont : uint8_t { kHelvetica = 0, kBookman = 1 };

// Where the drawers put a text's pen relative to the point given to Text:
// the glyphs' baseline lies kTextPenY above it and they start kTextPenX to
// its right (both as the fonts were first placed). Lines are kTextLineStep
// point sizes apart.
inline constexpr float kTextPenX = -4.309f, kTextPenY = 2.5437f;
inline constexpr float kTextLineStep = 1.3f;

// The box one line's glyphs cover, relative to the point given to Text
// (y down: `top` is negative above the baseline).
struct TextBounds {
  float left = 0, right = 0, top = 0, bottom = 0;
};

struct FontState {
  GuiFont font = GuiFont::kHelvetica;
  float size = 10.0f;
  float italic = 0.0f;
  float alpha_ref = 0.1f;
};

class Draw2D {
 public:
  virtual ~Draw2D() = default;
  // The 2D pass over the 3D scene; Leave2D puts back every state the pass
  // changed, so the next 3D pass starts as it would without the interface.
  virtual void Enter2D(int width, int height) = 0;
  virtual void Leave2D() = 0;
  virtual void PushTranslate(float x, float y) = 0;
  virtual void Pop() = 0;

  virtual void Colour(float r, float g, float b, float a) = 0;
  virtual void FillRect(float x, float y, float w, float h) = 0;
  virtual void OutlineRect(float x, float y, float w, float h) = 0;
  // A material's texture (0: none) over the rectangle.
  virtual void Picture(uint32_t texture, float x, float y, float w, float h) = 0;
  // The same picture turned clockwise by `quarter_turns` x 90 degrees;
  // a negative width or height mirrors it.
  virtual void PictureTurned(uint32_t texture, float x, float y, float w, float h, int quarter_turns) = 0;
  virtual void Blend(bool on) = 0;
  // Drawing is kept inside the rectangle (relative to the current
  // translation) until Unclip; clips do not nest.
  virtual void Clip(float x, float y, float w, float h) = 0;
  virtual void Unclip() = 0;

  virtual void SetFont(const FontState& state) = 0;
  // Text in the current font and colour with its baseline origin at (x, y).
  virtual void Text(float x, float y, std::string_view text) = 0;
  virtual float TextWidth(std::string_view text) = 0;
  // One line's glyph box in the current font (a drawer without glyph
  // metrics guesses from the width).
  virtual TextBounds Bounds(std::string_view line) { return {0, TextWidth(line), -8, 2}; }
};

// Draws nothing; text is measured at a fixed width a character.
class NullDraw2D : public Draw2D {
 public:
  void Enter2D(int, int) override {}
  void Leave2D() override {}
  void PushTranslate(float, float) override {}
  void Pop() override {}
  void Colour(float, float, float, float) override {}
  void FillRect(float, float, float, float) override {}
  void OutlineRect(float, float, float, float) override {}
  void Picture(uint32_t, float, float, float, float) override {}
  void PictureTurned(uint32_t, float, float, float, float, int) override {}
  void Blend(bool) override {}
  void Clip(float, float, float, float) override {}
  void Unclip() override {}
  void SetFont(const FontState& s) override { size_ = s.size; }
  void Text(float, float, std::string_view) override {}
  float TextWidth(std::string_view text) override { return float(text.size()) * size_ * 0.6f; }
  TextBounds Bounds(std::string_view line) override { return {0, TextWidth(line), -0.72f * size_, 0.2f * size_}; }

 private:
  float size_ = 10.0f;
};
