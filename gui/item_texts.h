// The fixed texts a menu's items draw, with the font and the point each is
// drawn at: shared by the widgets (so they place their text the same way)
// and by the layout dump and its tests (so a label that runs into its
// neighbour is found without a window).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gui/draw2d.h"
#include "gui/gui_rect.h"

class QorGUI;
struct Menu;
struct SizedLabelItem;

// The font states of the items: picture buttons' labels, every other
// item's text, and check boxes' labels.
inline constexpr FontState kButtonFont{GuiFont::kHelvetica, 9, 0, 0.15f};
inline constexpr FontState kItemFont{GuiFont::kHelvetica, 10, 0, 0.1f};
inline constexpr FontState kCheckBoxFont{GuiFont::kHelvetica, 12, 0, 0.1f};
FontState SizedLabelFont(const SizedLabelItem& l);

// The y to hand Text so that a line's capitals sit centred between `top`
// and `top + height`, in the current font (whole pixels, as the glyphs are
// sharpest there).
float CentredBaseline(Draw2D& d, float top, float height);
// The x to hand Text so that the glyphs start `margin` pixels right of `left`.
inline float InsetText(float left, float margin) { return left + margin - kTextPenX; }

struct ItemText {
  const char* kind;  // the item's kind as the layout dump names it
  size_t index;      // the item's place among the menu's items of that kind
  std::string text;  // may hold several lines
  FontState font;
  float x, y;        // the point given to Text, in menu coordinates
  std::optional<GuiRect> inside;  // the item's own box, which its text must not leave
};

// Every text the menu's items draw now (named labels with their current
// text; list views and the colour pickers' values are not fixed texts and
// are left out). Measures with the toolkit's drawer.
std::vector<ItemText> MenuTexts(QorGUI& gui, const Menu& m);
// The glyph box of each non-empty line of `t` in menu coordinates.
std::vector<GuiRect> LineBoxes(Draw2D& d, const ItemText& t);
