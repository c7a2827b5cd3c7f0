// The second-generation scroll bar of the log panel and the detail lists:
// a track, an arrow button at each end that steps the offset, and a block
// whose length shows how much of the content is in view, dragged with the
// mouse. Vertical bars use the "s_v_" pictures, horizontal ones the "_h"
// and "s_h_" ones; the one chevron picture is turned for each arrow.
#include <algorithm>

#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

constexpr float kButton = 16;

bool Arrow(WidgetContext& gui, float x, float y, int turns, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect r{int(x), int(y), int(kButton), int(kButton), kAnchorFixed};
  const bool over = gui.HoverTest(r);
  d.Colour(1, 1, 1, alpha);
  d.Picture(gui.materials().Get(over ? "s_but_light" : "s_but_dark"), x, y, kButton, kButton);
  d.PictureTurned(gui.materials().Get("s_chev"), x, y, kButton, kButton, turns);
  if (!over || !gui.button_held() || !gui.ClickTest(r)) return false;
  gui.ConsumeClick();
  gui.PlaySound("menu_accept", 1);
  return true;
}

}  // namespace

float DoScrollBar(WidgetContext& gui, ScrollBarState& s, const GuiRect& track, bool vertical, float offset, float content,
                  float view, float step, float alpha) {
  Draw2D& d = gui.draw();
  const float max_offset = std::max(content - view, 0.0f);
  const float x = float(track.x), y = float(track.y);
  const float length = float(vertical ? track.h : track.w);
  d.Colour(1, 1, 1, alpha);
  d.Picture(gui.materials().Get(vertical ? "s_v_bck" : "s_h_bck"), x, y, float(track.w), float(track.h));

  // The arrows: up/left at the start, down/right at the end (the picture
  // points up).
  const float end = length - kButton;
  if (Arrow(gui, x, y, vertical ? 0 : 3, alpha)) offset -= step;
  if (Arrow(gui, vertical ? x : x + end, vertical ? y + end : y, vertical ? 2 : 1, alpha)) offset += step;

  // The block, in the track between the arrows.
  const float travel_room = std::max(length - 2 * kButton, 1.0f);
  const float block = content > 0 ? std::clamp(travel_room * view / content, 16.0f, travel_room) : travel_room;
  const float travel = travel_room - block;
  offset = std::clamp(offset, 0.0f, max_offset);
  float at = kButton + (max_offset > 0 ? travel * offset / max_offset : 0);
  const GuiRect block_rect = vertical ? GuiRect{track.x, int(y + at), track.w, int(block), kAnchorFixed}
                                      : GuiRect{int(x + at), track.y, int(block), track.h, kAnchorFixed};
  const float mouse = vertical ? gui.mouse_y() - gui.menu_origin_y() : gui.mouse_x() - gui.menu_origin_x();
  // The drag keeps the press: taking it would end the drag at once.
  if (!s.dragging && gui.button_held() && gui.HoverTest(block_rect) && gui.ClickTest(block_rect)) {
    s.dragging = true;
    s.grab = mouse - (vertical ? y : x) - at;
  }
  if (s.dragging) {
    gui.SetMouseOverGui();
    if (gui.button_held()) {
      at = std::clamp(mouse - (vertical ? y : x) - s.grab, kButton, kButton + travel);
      offset = travel > 0 ? (at - kButton) / travel * max_offset : 0;
    } else {
      s.dragging = false;
    }
  }
  const uint32_t end_picture = gui.materials().Get(vertical ? "s_slider_dark_end" : "s_slider_dark_end_h");
  const uint32_t mid_picture = gui.materials().Get(vertical ? "s_slider_dark_mid" : "s_slider_dark_mid_h");
  const float cap = 8;
  if (vertical) {
    d.Picture(end_picture, x, y + at, kButton, cap);
    d.Picture(mid_picture, x, y + at + cap, kButton, std::max(block - 2 * cap, 0.0f));
    d.Picture(end_picture, x, y + at + block, kButton, -cap);  // mirrored
    d.Picture(gui.materials().Get("s_v_insert"), x, y + at + block / 2 - 8, kButton, kButton);
  } else {
    d.Picture(end_picture, x + at, y, cap, kButton);
    d.Picture(mid_picture, x + at + cap, y, std::max(block - 2 * cap, 0.0f), kButton);
    d.Picture(end_picture, x + at + block, y, -cap, kButton);
    d.Picture(gui.materials().Get("s_h_insert"), x + at + block / 2 - 8, y, kButton, kButton);
  }
  return std::clamp(offset, 0.0f, max_offset);
}
