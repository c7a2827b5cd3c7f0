// Check boxes bound to a setting: one toggle per press, however long the
// button is held (the press is taken).
#include "gui/item_texts.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

bool DoCheckBox(WidgetContext& gui, CheckBoxItem& c, float alpha) {
  Draw2D& d = gui.draw();
  d.Colour(0.2f, 0.2f, 0.2f, 0.95f * alpha);
  d.FillRect(float(c.box.x), float(c.box.y), 15, 15);
  d.Colour(0.5f, 0.5f, 0.5f, 0.95f * alpha);
  d.OutlineRect(float(c.box.x), float(c.box.y), 15, 15);
  if (c.setting && *c.setting) {
    d.Colour(1, 1, 1, alpha);
    d.Picture(gui.materials().Get("checkbox_tick"), float(c.box.x), float(c.box.y), 16, 16);
  }
  const bool hovered = gui.HoverTest(c.rect);
  bool changed = false;
  if (hovered && gui.button_held() && gui.ClickTest(c.rect) && c.setting) {
    gui.ConsumeClick();
    gui.PlaySound("menu_accept", 1);
    *c.setting = !*c.setting;
    changed = true;
  }
  const float shade = hovered ? 1.0f : 0.8f;
  d.Colour(shade, shade, shade, alpha);
  d.SetFont(kCheckBoxFont);
  d.Text(float(c.box.x + 20), CentredBaseline(d, float(c.box.y), float(c.box.h)), c.label);
  d.SetFont(kItemFont);
  return changed;
}
