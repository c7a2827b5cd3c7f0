#include "gui/colour_text.h"

namespace {

// The colour of a code's digit; false for a caret that is no code.
bool CodeColour(char digit, Rgba& out) {
  switch (digit) {
    case '0': out = {1, 1, 1, out.a}; return true;       // white
    case '1': out = {1, 0, 0, out.a}; return true;       // red
    case '2': out = {0, 1, 0, out.a}; return true;       // green
    case '3': out = {0, 0, 1, out.a}; return true;       // blue
    case '4': out = {1, 0.45f, 0, out.a}; return true;   // orange
    case '5': out = {0.35f, 0.75f, 1, out.a}; return true;  // light blue
    case '7': out = {1, 1, 1, out.a}; return true;       // white
    default: return false;
  }
}

}  // namespace

void DrawColouredText(Draw2D& d, float x, float y, std::string_view text, const Rgba& base) {
  Rgba colour = base;
  size_t start = 0;
  auto flush = [&](size_t end) {
    if (end <= start) return;
    const std::string_view run = text.substr(start, end - start);
    d.Colour(colour.r, colour.g, colour.b, colour.a);
    d.Text(x, y, run);
    x += d.TextWidth(run);
  };
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    Rgba next = colour;
    if (text[i] != '^' || !CodeColour(text[i + 1], next)) continue;
    flush(i);
    colour = next;
    start = i + 2;
    ++i;
  }
  flush(text.size());
}
