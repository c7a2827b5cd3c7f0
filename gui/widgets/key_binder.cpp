// Key binders: a click makes the binder wait for the next key press, which
// the keyboard stores into the binder's hotkey slot; the binder then shows
// the key's name. Clicking another binder while one waits moves the wait.
// While it waits the box grows to the right to hold its hint.
#include <algorithm>

#include "base/stored_types.h"
#include "gui/item_behaviour.h"
#include "gui/item_texts.h"
#include "gui/key_names.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {
constexpr double kHoverFadeMs = 500, kBindFadeMs = 1000;
}  // namespace

bool DoKeyBinder(WidgetContext& gui, KeyBinderItem& k, float alpha) {
  Draw2D& d = gui.draw();
  GuiKeyboard& keys = gui.keyboard();
  const GuiRect& r = k.rect;
  const double now = gui.now();
  if (k.shown.empty() && k.key && k.key->code != 0) k.shown = KeyName(StoredKey(*k.key));

  const bool hovered = gui.HoverTest(r);
  if (k.hovered && !hovered && !k.waiting) {
    k.fading = true;
    k.fading_after_bind = false;
    k.fade_ms = now;
  }
  k.hovered = hovered;
  bool changed = false;
  if (!k.waiting && k.key && hovered && gui.button_held() && gui.ClickTest(r)) {
    gui.ConsumeClick();
    gui.PlaySound("menu_accept", 1);
    keys.CaptureKey(k.key);
    k.waiting = true;
    k.shown = "Please Any Key to bind";
  } else if (k.waiting && (!keys.capturing() || keys.capture_target() != nullptr)) {
    // Another binder took the wait over, or the wait was dropped.
    if (!keys.capturing() || keys.capture_target() != k.key) {
      k.waiting = false;
      k.shown = k.key && k.key->code != 0 ? KeyName(StoredKey(*k.key)) : "";
    }
  } else if (k.waiting && keys.capture_target() == nullptr) {
    // The key is stored: ours, as capture moves to the last binder clicked.
    keys.EndCapture();
    k.waiting = false;
    k.fading = k.fading_after_bind = true;
    k.fade_ms = now;
    k.shown = KeyName(StoredKey(*k.key));
    changed = true;
    if (k.on_bind) k.on_bind();
  }

  const float box_w = k.waiting ? std::max(float(r.w), d.TextWidth(k.shown) + 8) : float(r.w);
  const Rgba outline = FadingOutline(gui, k.hover, hovered || k.waiting, k.fading, k.fade_ms,
                                     k.fading_after_bind ? kBindFadeMs : kHoverFadeMs);
  d.Colour(k.background.r, k.background.g, k.background.b, k.background.a * alpha);
  d.FillRect(float(r.x), float(r.y), box_w, float(r.h));
  d.Colour(outline.r, outline.g, outline.b, outline.a * alpha);
  d.OutlineRect(float(r.x), float(r.y), box_w, float(r.h));

  const std::string_view text =
      TailThatFits(d, k.shown.empty() && !k.waiting ? std::string_view("Not Bound") : std::string_view(k.shown),
                   box_w - 6);
  d.Colour(k.text_colour.r, k.text_colour.g, k.text_colour.b, alpha);
  d.Text(InsetText(float(r.x), 3), CentredBaseline(d, float(r.y), float(r.h)), text);
  return changed;
}
