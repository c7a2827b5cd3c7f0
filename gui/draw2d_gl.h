// The toolkit's drawer on OpenGL 1.1: the 2D projection over the 3D view,
// quads, pictures and text in the two TXF fonts (PLIB fnt). The only GL in
// the interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/draw2d.h"

class fntTexFont;

class GlDraw2D : public Draw2D {
 public:
  GlDraw2D();
  ~GlDraw2D() override;

  // "Fonts/Helvetica-Bold.txf" and "Fonts/Bookman-Demi.txf" under
  // `data_dir`, each with its log line. A font that does not load leaves
  // its text undrawn; nothing else changes.
  void LoadFonts(const std::string& data_dir);
  // Deletes both fonts (their textures) with the shutdown lines, and the
  // pictures' sampler.
  void DeleteFonts();

  void Enter2D(int width, int height) override;
  void Leave2D() override;
  void PushTranslate(float x, float y) override;
  void Pop() override;
  void Colour(float r, float g, float b, float a) override;
  void FillRect(float x, float y, float w, float h) override;
  void OutlineRect(float x, float y, float w, float h) override;
  void Picture(uint32_t texture, float x, float y, float w, float h) override;
  void PictureTurned(uint32_t texture, float x, float y, float w, float h, int quarter_turns) override;
  void Blend(bool on) override;
  void Clip(float x, float y, float w, float h) override;
  void Unclip() override;
  void SetFont(const FontState& state) override;
  void Text(float x, float y, std::string_view text) override;
  float TextWidth(std::string_view text) override;
  TextBounds Bounds(std::string_view line) override;

 private:
  fntTexFont* Current() const;
  bool Invisible() const;
  bool Magnified(float w, float h);

  std::unique_ptr<fntTexFont> fonts_[2];
  FontState state_;
  bool in_2d_ = false;
  int height_ = 0;
  struct Offset {
    float x, y;
  };
  std::vector<Offset> translation_;  // beside GL's matrix stack, for the scissor box
  bool blend_ = true;
  float alpha_ = 1.0f;
  uint32_t sampler_ = 0;  // linear, no mip filtering; 0 without sampler objects
  std::string line_;
};
