// Picture buttons, the light-bulb toggle and text buttons.
#include "gui/item_behaviour.h"
#include "gui/item_texts.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

// Three-part pictures: 4-pixel end caps ("_sl", "_sr") around the middle.
void Picture(WidgetContext& gui, const std::string& material, const GuiRect& r, bool three_part) {
  Draw2D& d = gui.draw();
  MaterialStore& m = gui.materials();
  if (!three_part) {
    d.Picture(m.Get(material), float(r.x), float(r.y), float(r.w), float(r.h));
    return;
  }
  d.Picture(m.Get(material + "_sl"), float(r.x), float(r.y), 4, float(r.h));
  d.Picture(m.Get(material), float(r.x + 3), float(r.y), float(r.w - 6), float(r.h));
  d.Picture(m.Get(material + "_sr"), float(r.x + r.w - 4), float(r.y), 4, float(r.h));
}

}  // namespace

bool DoPictureButton(WidgetContext& gui, PictureButtonItem& b, float alpha) {
  const bool pressed = ButtonBehaviour(gui, b.rect, b.hovered);
  if (pressed) RunAction(gui, b.command, b.callback);
  Draw2D& d = gui.draw();
  d.Colour(1, 1, 1, alpha);
  Picture(gui, b.hovered ? b.hover_material : b.material, b.rect, b.three_part);
  if (!b.label.empty()) {
    d.Colour(b.label_colour.r, b.label_colour.g, b.label_colour.b, alpha);
    d.Text(float(b.rect.x + b.label_dx), CentredBaseline(d, float(b.rect.y), float(b.rect.h)), b.label);
  }
  return pressed;
}

bool DoLightBulb(WidgetContext& gui, LightBulbItem& b, float alpha) {
  const bool pressed = ButtonBehaviour(gui, b.rect, b.hovered);
  if (pressed) RunAction(gui, b.command, nullptr);
  const Rgba& c = b.hovered ? b.hover_colour : b.colour;
  gui.draw().Colour(c.r, c.g, c.b, c.a * alpha);
  Picture(gui, b.hovered ? b.on_material : b.off_material, b.rect, false);
  return pressed;
}

bool DoTextButton(WidgetContext& gui, TextButtonItem& b, float alpha) {
  const bool pressed = ButtonBehaviour(gui, b.rect, b.hovered);
  if (pressed) RunAction(gui, b.command, b.callback);
  Draw2D& d = gui.draw();
  const GuiRect& r = b.rect;
  // The face: two greys, lighter while hovered, then the bevel.
  const float top = b.hovered ? 0.42f : 0.34f, bottom = b.hovered ? 0.30f : 0.22f;
  d.Colour(top, top, top, alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h) / 2);
  d.Colour(bottom, bottom, bottom, alpha);
  d.FillRect(float(r.x), float(r.y) + float(r.h) / 2, float(r.w), float(r.h) - float(r.h) / 2);
  d.Colour(1, 1, 1, alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), 1);
  d.FillRect(float(r.x), float(r.y), 1, float(r.h));
  d.Colour(0.3f, 0.3f, 0.3f, alpha);
  d.FillRect(float(r.x), float(r.y + r.h - 1), float(r.w), 1);
  d.FillRect(float(r.x + r.w - 1), float(r.y), 1, float(r.h));
  d.Colour(1, 1, 1, alpha);
  d.Text(float(r.x + b.label_dx), CentredBaseline(d, float(r.y), float(r.h)), b.label);
  return pressed;
}
