// Drop-downs: a closed box showing the chosen option, which opens a list of
// the options below it. A click on an option chooses it and hands its index
// to the handler; a press anywhere else after the list opened closes it
// unchanged. The list is drawn after the rest of its menu, over it.
#include <algorithm>

#include "gui/item_behaviour.h"
#include "gui/item_texts.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {
constexpr Rgba kFaded{0.4f, 0.4f, 0.4f, 0.5f};
constexpr Rgba kHover{0, 1, 0, 0.3f};
constexpr double kFadeMs = 500;
constexpr int kOptionHeight = 16;

void OpenList(WidgetContext& gui, DropDownItem& dd, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = dd.rect;
  const int count = int(dd.options.size());
  const GuiRect list{r.x, r.y + r.h, r.w, kOptionHeight * count, kAnchorFixed};
  d.Colour(0.12f, 0.12f, 0.12f, 0.97f * alpha);
  d.FillRect(float(list.x), float(list.y), float(list.w), float(list.h));
  d.Colour(kFaded.r, kFaded.g, kFaded.b, alpha);
  d.OutlineRect(float(list.x), float(list.y), float(list.w), float(list.h));
  gui.SetMouseOverGui();
  dd.hovered_option = -1;
  int row = 0;
  for (const auto& [index, text] : dd.options) {
    const GuiRect option{list.x, list.y + kOptionHeight * row, list.w, kOptionHeight, kAnchorFixed};
    const bool over = gui.HoverTest(option);
    if (over) dd.hovered_option = index;
    const float shade = over ? 1.0f : 0.7f;
    d.Colour(shade, shade, shade, alpha);
    d.Text(InsetText(float(option.x), 3), CentredBaseline(d, float(option.y), float(option.h)), text);
    ++row;
  }
  // Only presses made after the list opened count: the one that opened it
  // lies outside the list.
  if (!gui.button_held() || gui.press_ms() <= dd.open_ms) return;
  dd.open = false;
  if (dd.hovered_option < 0 || !gui.ClickTest(list)) return;
  gui.ConsumeClick();
  gui.PlaySound("menu_accept", 1);
  if (!dd.on_choose || dd.on_choose(dd.hovered_option)) dd.selected = int16_t(dd.hovered_option);
}

}  // namespace

bool DoDropDown(WidgetContext& gui, DropDownItem& dd, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = dd.rect;
  const double now = gui.now();
  const bool hovered = gui.HoverTest(r);
  if (dd.hovered && !hovered) {
    dd.fading = true;
    dd.fade_ms = now;
  }
  dd.hovered = hovered;
  const int16_t before = dd.selected;
  if (!dd.open && hovered && gui.button_held() && gui.ClickTest(r)) {
    gui.ConsumeClick();
    gui.PlaySound("menu_focus", 1);
    dd.open = true;
    dd.fading = false;
    dd.open_ms = gui.press_ms();
  }
  const Rgba outline = FadingOutline(gui, kHover, hovered || dd.open, dd.fading, dd.fade_ms, kFadeMs);
  d.Colour(0.1f, 0.1f, 0.1f, 0.9f * alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));
  d.Colour(outline.r, outline.g, outline.b, outline.a * alpha);
  d.OutlineRect(float(r.x), float(r.y), float(r.w), float(r.h));
  auto chosen = dd.options.find(dd.selected);
  d.Colour(1, 1, 1, alpha);
  if (chosen != dd.options.end())
    d.Text(InsetText(float(r.x), 3), CentredBaseline(d, float(r.y), float(r.h)), chosen->second);
  d.Picture(gui.materials().Get("down_arrow"), float(r.x + r.w - r.h), float(r.y), float(r.h), float(r.h));
  if (dd.open) gui.DrawOverMenu([&gui, &dd, alpha] { OpenList(gui, dd, alpha); });
  return dd.selected != before;
}
