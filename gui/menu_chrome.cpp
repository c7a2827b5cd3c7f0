// The chrome of framed menus (title bar, close button, drag and resize,
// bringing one forward, the limits a drag keeps to and storing where it
// ended) and the re-anchoring of every menu when the window changes size.
#include <algorithm>
#include <variant>

#include "base/logger.h"
#include "base/stored_types.h"
#include "gui/chrome_fonts.h"
#include "gui/qor_gui.h"
#include "gui/themes.h"

namespace {

SettingsRect ToStored(const GuiRect& r) { return {r.x, r.y, r.w, r.h}; }

}  // namespace

void QorGUI::DrawFrame(Menu& m) {
  const int W = m.area.rect.w, H = m.area.rect.h;
  const float a = m.alpha;
  draw_.Colour(0.1f, 0.1f, 0.1f, 0.95f * a);
  draw_.FillRect(0, 0, float(W), float(H));
  const ThemeColours* t = frame_colours_;
  if (t) {
    // The theme's caption, in two bands from its top colour to its bottom
    // one, and its border around the panel.
    draw_.Colour(t->caption_top[0], t->caption_top[1], t->caption_top[2], a);
    draw_.FillRect(0, 0, float(W), 10);
    draw_.Colour(t->caption_bottom[0], t->caption_bottom[1], t->caption_bottom[2], a);
    draw_.FillRect(0, 10, float(W), 10);
    draw_.Colour(t->border[0], t->border[1], t->border[2], a);
    draw_.OutlineRect(0, 0, float(W), float(H));
    draw_.Colour(t->caption_text[0], t->caption_text[1], t->caption_text[2], a);
  } else {
    draw_.Colour(0.18f, 0.18f, 0.2f, a);
    draw_.FillRect(0, 0, float(W), 20);
    draw_.Colour(0.85f, 0.85f, 0.85f, a);
  }
  draw_.SetFont(kTitleFont);
  draw_.Text(7, 15, m.title);
  draw_.SetFont(kNormalFont);

  // Resize handle.
  if (m.drag_state == 0) {
    const bool over = HoverTest({W - 21, H - 20, 20, 20, kAnchorFixed});
    if (over && !m.resize_hover) Play("menu_focus", 1);
    m.resize_hover = over;
    if (over && held_ && ClickTest({W - 21, H - 20, 20, 20, kAnchorFixed})) {
      m.drag_state = 2;
      m.grab_x = press_x_;
      m.grab_y = press_y_;
    }
  }
  // Close button.
  const GuiRect close{W - 19, 3, 16, 16, kAnchorFixed};
  const bool over_close = HoverTest(close);
  if (over_close && !m.close_hover) Play("menu_focus", 1);
  m.close_hover = over_close;
  const float shade = over_close ? 1.0f : 0.7f;
  draw_.Colour(shade, shade, shade, a);
  draw_.Picture(materials_.Get("close_x"), float(close.x), float(close.y), 16, 16);
  if (over_close && held_ && ClickTest(close)) {
    ConsumeClick();
    Play("menu_accept", 1);
    commands_.RunCommand("close " + m.name);
  }
  // Title bar: drag.
  const GuiRect title{3, 3, W - 35, 20, kAnchorFixed};
  if (m.drag_state == 0 && HoverTest(title) && held_ && ClickTest(title)) {
    m.drag_state = 1;
    m.grab_x = press_x_ - m.origin.rect.x;
    m.grab_y = press_y_ - m.origin.rect.y;
  }
  if (m.drag_state == 1) {
    m.origin.rect.x = int(mouse_x_) - m.grab_x;
    m.origin.rect.y = int(mouse_y_) - m.grab_y;
    ClampFramed(m, false);
  } else if (m.drag_state == 2) {
    const int new_w = std::max(int(mouse_x_) + 11 - m.origin.rect.x, kMinFramedWidth);
    int new_h = std::max(int(mouse_y_) + 11 - m.origin.rect.y, kMinFramedHeight);
    const int stored_y = m.stored_origin ? m.stored_origin->y : m.origin.rect.y;
    new_h = std::max(std::min(new_h, height_ - stored_y - 30), kMinFramedHeight);
    m.area.rect.w = new_w;
    m.area.rect.h = new_h;
    ReanchorItems(m, new_w - m.area.design.w, new_h - m.area.design.h);
  }
  if (m.drag_state != 0) {
    mouse_over_gui_ = true;
    StoreFramed(m);
    if (!held_) m.drag_state = 0;
  }
  // A click anywhere on a framed menu that is not the last brings it forward.
  if (drawing_ + 1 < menus_.size() && held_ && ClickTest({0, 0, W, H, kAnchorFixed})) raise_ = int(drawing_);
}

void QorGUI::DrawResizeHandle(Menu& m) {
  const float shade = (m.drag_state == 2 || m.resize_hover) ? 1.0f : 0.3f;
  draw_.Colour(shade, shade, shade, m.alpha);
  draw_.Picture(materials_.Get("resize_dots"), float(m.area.rect.w - 21), float(m.area.rect.h - 20), 16, 16);
}

// The drag limits, also applied to the stored rectangles a framed menu
// starts from: some of it stays on screen, it is never smaller than
// 190 x 150, and with `to_window` never lower than the window allows.
void QorGUI::ClampFramed(Menu& m, bool to_window) {
  GuiRect& o = m.origin.rect;
  GuiRect& a = m.area.rect;
  const int win_w = std::max(width_, pending_width_), win_h = std::max(height_, pending_height_);
  if (to_window) {
    a.w = std::max(a.w, kMinFramedWidth);
    a.h = std::clamp(a.h, kMinFramedHeight, std::max(kMinFramedHeight, win_h - 60));
  }
  o.x = std::max(std::min(o.x, win_w - 50), 75 - a.w);
  o.y = std::max(std::min(o.y, win_h - 50), 30);
  if (to_window) StoreFramed(m);
}

void QorGUI::StoreFramed(Menu& m) {
  if (m.stored_origin) *m.stored_origin = ToStored(m.origin.rect);
  if (m.stored_area) *m.stored_area = ToStored(m.area.rect);
}


void QorGUI::SetPendingSize(int width, int height) {
  pending_width_ = width;
  pending_height_ = height;
}

void QorGUI::ReanchorItems(Menu& m, int32_t dx, int32_t dy) {
  for (const MenuItem& item : m.items)
    std::visit([dx, dy](auto* i) { i->rect = Anchored(i->design, dx, dy); }, item);
  for (CheckBoxItem& c : m.check_boxes) c.box = Anchored(c.box_design, dx, dy);
}

bool QorGUI::ItemScale() {
  if (pending_width_ == width_ && pending_height_ == height_) return false;
  Logger().log("\nQorGUI::ItemScale: Ajusting for new window size");
  const double started = clock_();
  const int dx = pending_width_ - kDesignWidth, dy = pending_height_ - kDesignHeight;
  for (auto& menu : menus_) {
    Menu& m = *menu;
    if (m.framed) {
      m.origin.rect.x = std::min(m.origin.rect.x, pending_width_ - 60);
      m.origin.rect.y = std::min(m.origin.rect.y, pending_height_ - 60);
      StoreFramed(m);
      continue;
    }
    m.origin.rect = Anchored(m.origin.design, dx, dy);
    m.area.rect = Anchored(m.area.design, dx, dy);
    ReanchorItems(m, dx, dy);
  }
  box_ = Anchored(box_design_, dx, dy);
  width_ = pending_width_;
  height_ = pending_height_;
  Logger().log("QorGUI::ItemScale: Done width: %i height: %i (%fms)", width_, height_, clock_() - started);
  return true;
}
