// One frame of the toolkit: every visible menu drawn in order, its items'
// widgets run, the raised menu moved forward and the frame's input spent.
#include <cstdio>
#include <variant>

#include "gui/chrome_fonts.h"
#include "gui/qor_gui.h"
#include "gui/widgets/widgets.h"

namespace {

template <typename... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};

}  // namespace

void QorGUI::Render(double fps) {
  draw_.Enter2D(width_, height_);
  mouse_over_gui_ = false;
  keep_drawing_ = false;

  // A raised framed menu moves forward past every later framed menu.
  if (raise_ >= 0 && size_t(raise_) < menus_.size()) {
    size_t at = size_t(raise_);
    for (size_t j = at + 1; j < menus_.size(); ++j) {
      if (!menus_[j]->framed) continue;
      std::swap(menus_[at], menus_[j]);
      at = j;
    }
  }
  raise_ = -1;

  // The version first, under every menu: a panel dragged to the corner
  // covers it, never the other way round.
  draw_.Colour(text_colour_.r, text_colour_.g, text_colour_.b, 1);
  draw_.SetFont(kVersionFont);
  draw_.Text(5, float(height_ - 30), std::string("BETA ") + kGuiVersionText);
  draw_.SetFont(kNormalFont);

  for (drawing_ = 0; drawing_ < menus_.size(); ++drawing_) {
    DrawMenu(drawing_);
    DrawBoxText(*menus_[drawing_]);
  }
  drawing_ = menus_.size();

  if (!tooltip_.empty()) {
    draw_.SetFont(kNormalFont);
    const float w = draw_.TextWidth(tooltip_);
    draw_.Colour(0.1f, 0.1f, 0.1f, 0.9f);
    draw_.FillRect(mouse_x_, mouse_y_ + 30, w + 20, 20);
    draw_.Colour(1, 1, 1, 1);
    draw_.OutlineRect(mouse_x_, mouse_y_ + 30, w + 20, 20);
    draw_.Text(mouse_x_ + 10, mouse_y_ + 45, tooltip_);
    tooltip_.clear();  // shown while something asks for it every frame
  }
  draw_.Blend(false);

  // Frame rate and version.
  draw_.Colour(1, 1, 1, 1);
  draw_.SetFont(kFpsFont);
  char fps_text[32];
  if (fps <= 99.9) {
    std::snprintf(fps_text, sizeof fps_text, "FPS: %2.2f", fps);
  } else {
    std::snprintf(fps_text, sizeof fps_text, "FPS: 99.99");
  }
  draw_.Text(8, 17, fps_text);
  draw_.SetFont(kNormalFont);

  // The pointer, drawn last, blended: its picture is an arrow on a clear
  // square, which would show as a black box over whatever lies under it.
  draw_.Blend(true);
  draw_.Colour(1, 1, 1, 1);
  draw_.Picture(materials_.Get("mouse_cursor"), mouse_x_, mouse_y_, 32, 32);
  draw_.Leave2D();

  keyboard_.FrameSeen();
  if (keyboard_.has_focus() && !focus_drawn_) keyboard_.Unfocus();
  focus_drawn_ = false;
  press_seen_ = true;
  if (release_pending_) {
    held_ = false;
    release_pending_ = false;
  }
  right_seen_ = true;
  if (right_release_pending_) {
    right_held_ = false;
    right_release_pending_ = false;
  }
  wheel_ = 0;
  list_step_ = 0;
}

bool QorGUI::Moving() const {
  if (keep_drawing_ || commands_.pending() > 0) return true;
  for (const auto& m : menus_)
    if (m->animating) return true;
  return false;
}

// The error and message boxes' text, drawn with its own box so that a
// dialog opened over it (the question box, the folder entry) covers it.
void QorGUI::DrawBoxText(const Menu& m) {
  const std::string* text = nullptr;
  if (m.name == "error_menu" && display_error_) {
    text = &error_text_;
  } else if (m.name == "msg_box_menu" && display_msg_) {
    text = &message_text_;
  }
  if (!text || text->empty()) return;
  draw_.Colour(1, 1, 1, 1);
  draw_.SetFont(kNormalFont);
  draw_.Text(float(box_.x), float(box_.y), *text);
}

void QorGUI::DrawMenu(size_t index) {
  Menu& m = *menus_[index];
  if (!m.visible && !m.animating) return;
  if (m.animating) StepAnimation(m, clock_(), width_, height_);
  const float a = m.alpha;
  draw_.PushTranslate(float(m.origin.rect.x) + m.slide_x, float(m.origin.rect.y) + m.slide_y);
  if (m.framed) DrawFrame(m);
  // Each kind drawn as it comes in the menu's order; a widget also takes
  // its input here.
  auto text_label = [&](const Placed& l, const Rgba& colour, const std::string& text) {
    draw_.Colour(colour.r, colour.g, colour.b, a);
    draw_.Text(float(l.rect.x), float(l.rect.y), text);
  };
  const Overloaded draw_item{
      [&](FilledRectItem* r) {
        draw_.Colour(r->colour.r, r->colour.g, r->colour.b, r->colour.a * a);
        draw_.FillRect(float(r->rect.x), float(r->rect.y), float(r->rect.w), float(r->rect.h));
      },
      [&](PictureItem* p) {
        draw_.Colour(p->colour.r, p->colour.g, p->colour.b, p->colour.a * a);
        draw_.Picture(materials_.Get(p->material), float(p->rect.x), float(p->rect.y), float(p->rect.w),
                      float(p->rect.h));
      },
      [&](OutlineRectItem* r) {
        draw_.Colour(r->colour.r, r->colour.g, r->colour.b, r->colour.a * a);
        draw_.OutlineRect(float(r->rect.x), float(r->rect.y), float(r->rect.w), float(r->rect.h));
      },
      [&](ProgressBarItem* p) { DoProgressBar(*this, *p, a); },
      [&](PictureButtonItem* b) {
        draw_.SetFont(kSmallFont);
        DoPictureButton(*this, *b, a);
        draw_.SetFont(kNormalFont);
      },
      [&](LightBulbItem* b) { DoLightBulb(*this, *b, a); },
      [&](TextButtonItem* b) { DoTextButton(*this, *b, a); },
      [&](ListBoxItem* l) { DoListBox(*this, *l, a); },
      [&](TextListItem* t) { DoTextList(*this, *t, a); },
      [&](TextBoxItem* t) { DoTextBox(*this, *t, a); },
      [&](KeyBinderItem* k) { DoKeyBinder(*this, *k, a); },
      [&](CheckBoxItem* c) { DoCheckBox(*this, *c, a); },
      [&](SliderItem* s) { DoSlider(*this, *s, a); },
      [&](TimelineItem* t) { DoTimeline(*this, *t, a); },
      [&](ColourPickerItem* c) { DoColourPicker(*this, *c, a); },
      [&](DropDownItem* d) { DoDropDown(*this, *d, a); },
      [&](DetailListItem* l) { DoDetailList(*this, *l, a); },
      [&](LabelItem* l) { text_label(*l, text_colour_, l->text); },
      [&](ColourLabelItem* l) { text_label(*l, l->colour, l->text); },
      [&](NamedLabelItem* l) {
        if (const std::string& text = Text(l->text_name); !text.empty()) text_label(*l, l->colour, text);
      },
      [&](SizedLabelItem* l) {
        draw_.SetFont(SizedLabelFont(*l));
        text_label(*l, l->colour, l->text);
        draw_.SetFont(kNormalFont);
      },
  };
  draw_.SetFont(kNormalFont);
  for (const MenuItem& item : m.items) std::visit(draw_item, item);
  if (m.framed) DrawResizeHandle(m);
  // What widgets drew over their menu; a widget may add more while it runs.
  for (size_t i = 0; i < over_menu_.size(); ++i) over_menu_[i]();
  over_menu_.clear();
  draw_.Pop();
  // The whole menu counts as interface for the viewer's mouse.
  const GuiRect area = m.area.rect;
  (void)HoverTest({area.x, area.y, area.w, area.h, kAnchorFixed});
}
