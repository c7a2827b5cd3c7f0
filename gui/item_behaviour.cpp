#include "gui/item_behaviour.h"

#include <algorithm>

#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"

bool ButtonBehaviour(WidgetContext& gui, const GuiRect& rect, bool& hovered) {
  const bool was = hovered;
  hovered = gui.HoverTest(rect);
  if (hovered && !was) gui.PlaySound("menu_focus", 1);
  if (!hovered || !gui.button_held() || !gui.ClickTest(rect)) return false;
  gui.ConsumeClick();
  gui.PlaySound("menu_accept", 1);
  return true;
}

Rgba FadingOutline(WidgetContext& gui, const Rgba& hover, bool lit, bool& fading, double fade_start, double span_ms) {
  constexpr Rgba kFaded{0.4f, 0.4f, 0.4f, 0.5f};
  if (lit) return hover;
  if (!fading) return kFaded;
  const float t = float(std::clamp((gui.now() - fade_start) / span_ms, 0.0, 1.0));
  if (t >= 1) {
    fading = false;
  } else {
    gui.KeepDrawing();
  }
  return {hover.r + (kFaded.r - hover.r) * t, hover.g + (kFaded.g - hover.g) * t, hover.b + (kFaded.b - hover.b) * t,
          hover.a + (kFaded.a - hover.a) * t};
}

void RunAction(WidgetContext& gui, const CommandList& command, const std::function<void()>& callback) {
  if (callback) {
    callback();
  } else {
    gui.RunCommandList(command);
  }
}

void DrawMenuEntry(WidgetContext& gui, const GuiRect& entry, bool over, std::string_view text, float alpha) {
  Draw2D& d = gui.draw();
  const float shade = over ? 0.1f : 0.5f;
  d.Colour(shade, shade, shade, 0.95f * alpha);
  d.FillRect(float(entry.x), float(entry.y), float(entry.w), float(entry.h));
  d.Colour(1, 1, 1, alpha);
  d.OutlineRect(float(entry.x), float(entry.y), float(entry.w), float(entry.h));
  d.Text(float(entry.x + 5), float(entry.y + 12), text);
}
