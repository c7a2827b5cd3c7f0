// A drawer that keeps what the toolkit drew in the last pass: texts with
// their screen positions and fonts, pictures, and the translation stack's
// balance. Text is measured at 6 pixels a character.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "gui/draw2d.h"

namespace gui_test {

struct DrawnText {
  float x, y;
  std::string text;
  FontState font;
  std::array<float, 3> colour{};
};

class RecordingDraw2D : public Draw2D {
 public:
  void Enter2D(int, int) override {
    texts.clear();
    pictures.clear();
    fills.clear();
    in_2d = true;
  }
  void Leave2D() override { in_2d = false; }
  void PushTranslate(float x, float y) override { stack.push_back({x + tx(), y + ty()}); }
  void Pop() override { stack.pop_back(); }
  void Colour(float r, float g, float b, float a) override {
    colour = {r, g, b};
    alpha = a;
  }
  void FillRect(float, float, float, float) override { fills.push_back(colour); }
  void OutlineRect(float, float, float, float) override {}
  void Picture(uint32_t texture, float x, float y, float, float) override {
    pictures.push_back({x + tx(), y + ty(), std::to_string(texture), font});
  }
  void PictureTurned(uint32_t texture, float x, float y, float w, float h, int) override {
    Picture(texture, x, y, w, h);
  }
  void Blend(bool) override {}
  void Clip(float, float, float, float) override {}
  void Unclip() override {}
  void SetFont(const FontState& s) override { font = s; }
  void Text(float x, float y, std::string_view text) override {
    texts.push_back({x + tx(), y + ty(), std::string(text), font, colour});
  }
  float TextWidth(std::string_view text) override { return 6.0f * float(text.size()); }

  const DrawnText* FindText(std::string_view text) const {
    for (const DrawnText& t : texts)
      if (t.text == text) return &t;
    return nullptr;
  }

  struct Offset {
    float x, y;
  };
  float tx() const { return stack.empty() ? 0 : stack.back().x; }
  float ty() const { return stack.empty() ? 0 : stack.back().y; }

  std::vector<DrawnText> texts;
  std::array<float, 3> colour{};
  std::vector<std::array<float, 3>> fills;  // the colour of every filled rectangle, in order
  std::vector<DrawnText> pictures;
  std::vector<Offset> stack;
  FontState font;
  float alpha = 1;
  bool in_2d = false;
};

}  // namespace gui_test
