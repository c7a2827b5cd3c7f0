// One-line text boxes: the paths (read-only, filled by the program), the
// scale and frame caps (edited, handed to their handler once editing ends)
// and the model search (every change handed over at once). A click gives a
// box the keyboard; a click elsewhere, Enter or Escape takes it away.
// Control+A selects the text (drawn on a blue band). The
// frame fades back to grey after the mouse or the focus leaves. A writable
// box offers "Paste Text" on the right button.
#include <algorithm>

#include "gui/item_behaviour.h"
#include "gui/item_texts.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

constexpr double kHoverFadeMs = 500, kFocusFadeMs = 1000, kCaretMs = 750;

void PasteMenu(WidgetContext& gui, TextBoxItem& t, float alpha) {
  const GuiRect entry{t.rect.x + t.rect.w / 2 - 50, t.rect.y + t.rect.h, 100, 15, kAnchorFixed};
  const GuiRect hot{entry.x + 1, entry.y + 1, 98, 13, kAnchorFixed};
  const bool over = gui.HoverTest(hot);
  DrawMenuEntry(gui, entry, over, "Paste Text", alpha);
  if (!gui.button_held()) return;
  if (over && gui.ClickTest(hot)) {
    gui.ConsumeClick();
    gui.PlaySound("menu_accept", 1);
    const size_t room = t.text.size() < t.max_length ? t.max_length - t.text.size() : 0;
    t.text += gui.PasteFromClipboard(t.max_length > 50 ? room : 46);
  }
  t.context_open = false;
}

}  // namespace

std::string_view TailThatFits(Draw2D& d, std::string_view text, float width) {
  if (d.TextWidth(text) <= width) return text;
  // The fewest characters to drop from the start.
  size_t low = 1, high = text.size();
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (d.TextWidth(text.substr(mid)) <= width) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return text.substr(low);
}

bool DoTextBox(WidgetContext& gui, TextBoxItem& t, float alpha) {
  Draw2D& d = gui.draw();
  GuiKeyboard& keys = gui.keyboard();
  const GuiRect& r = t.rect;
  const double now = gui.now();

  // Enter, Escape or another box took the keyboard away.
  if (t.focused && keys.focused_text() != &t.text) {
    t.focused = false;
    t.fading = true;
    t.fade_ms = now;
  }
  const bool hovered = gui.HoverTest(r);
  if (t.hovered && !hovered && !t.focused) {
    t.fading = true;
    t.fade_ms = now;
  }
  t.hovered = hovered;

  if (!t.read_only && !t.focused && !t.context_open && hovered && gui.button_held() && gui.ClickTest(r)) {
    gui.ConsumeClick();
    t.focused = t.caret_on = true;
    t.focus_ms = t.caret_ms = now;
    t.fading = false;
    keys.Focus(&t.text, t.max_length);
  } else if (t.focused && gui.button_held() && gui.press_ms() > t.focus_ms && !gui.ClickTest(r)) {
    keys.Unfocus();
    t.focused = false;
    t.fading = true;
    t.fade_ms = now;
  }
  if (!t.read_only && hovered && gui.right_held() && gui.RightClickTest(r)) {
    gui.ConsumeRightClick();
    t.context_open = true;
  }

  // Frame: the hover colour while hovered or focused, fading back after.
  const double span = t.focus_ms > 0 && t.fade_ms >= t.focus_ms ? kFocusFadeMs : kHoverFadeMs;
  const Rgba frame = FadingOutline(gui, t.hover, hovered || t.focused, t.fading, t.fade_ms, span);
  d.Colour(t.frame.r, t.frame.g, t.frame.b, t.frame.a * alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));
  d.Colour(frame.r, frame.g, frame.b, frame.a * alpha);
  d.OutlineRect(float(r.x), float(r.y), float(r.w), float(r.h));

  // The glyphs start 3 pixels inside the frame, their capitals centred.
  const float text_x = InsetText(float(r.x), 3), text_y = CentredBaseline(d, float(r.y), float(r.h));
  float caret_x = float(r.x + 3);
  if (t.text.empty() && !t.focused) {
    d.Colour(t.text_colour.r * 0.6f, t.text_colour.g * 0.6f, t.text_colour.b * 0.6f, t.text_colour.a * alpha);
    d.Text(text_x, text_y, TailThatFits(d, t.hint, float(r.w - 6)));
  } else {
    const std::string_view shown = TailThatFits(d, t.text, float(r.w - 8));
    if (t.focused && keys.all_selected()) {  // what is typed next replaces it
      d.Colour(0.2f, 0.4f, 0.8f, 0.6f * alpha);
      d.FillRect(float(r.x + 2), float(r.y + 2), d.TextWidth(shown) + 2, float(r.h - 4));
    }
    d.Colour(t.text_colour.r, t.text_colour.g, t.text_colour.b, t.text_colour.a * alpha);
    d.Text(text_x, text_y, shown);
    // Right after the last glyph drawn.
    if (!shown.empty()) caret_x = text_x + d.Bounds(shown).right + 1;
  }
  if (t.focused) {
    gui.NoteFocusDrawn();
    if (now - t.caret_ms >= kCaretMs) {
      t.caret_on = !t.caret_on;
      t.caret_ms = now;
    }
    // As tall as the capitals and a pixel more each way, beside them.
    const TextBounds caps = d.Bounds("H");
    if (t.caret_on) d.FillRect(caret_x, text_y + caps.top - 1, 2, caps.bottom - caps.top + 2);
    gui.KeepDrawing();  // the caret blinks
  }
  if (t.context_open) PasteMenu(gui, t, alpha);

  // Hand the text over: every change in live mode, otherwise once editing
  // has ended with a text that differs from the last one handed over.
  bool changed = false;
  if (t.live) {
    if (t.text.size() != t.last_length || t.text != t.committed) {
      t.committed = t.text;
      if (t.on_change) t.on_change(t.text);
      changed = true;
    }
  } else if (!t.focused && t.text != t.committed) {
    t.committed = t.text;
    if (t.on_commit) t.on_commit(t.text);
    changed = true;
  }
  t.last_length = t.text.size();
  return changed;
}
