#include "gui/item_texts.h"

#include <cmath>

#include "gui/key_names.h"
#include "gui/qor_gui.h"

FontState SizedLabelFont(const SizedLabelItem& l) {
  return l.large_font ? FontState{GuiFont::kBookman, float(l.point_size), 0.4f, 0.15f}
                      : FontState{GuiFont::kHelvetica, float(l.point_size), 0, 0.1f};
}

float CentredBaseline(Draw2D& d, float top, float height) {
  const TextBounds caps = d.Bounds("H");
  return std::round(top + height / 2 - (caps.top + caps.bottom) / 2);
}

std::vector<ItemText> MenuTexts(QorGUI& gui, const Menu& m) {
  Draw2D& d = gui.draw();
  std::vector<ItemText> out;
  auto boxed = [&](const char* kind, size_t i, std::string text, FontState font, const GuiRect& r, float x,
                   GuiRect inside) {
    if (text.empty()) return;
    d.SetFont(font);
    out.push_back({kind, i, std::move(text), font, x, CentredBaseline(d, float(r.y), float(r.h)), inside});
  };
  auto label = [&](const char* kind, size_t i, std::string text, FontState font, const GuiRect& r) {
    if (!text.empty()) out.push_back({kind, i, std::move(text), font, float(r.x), float(r.y), std::nullopt});
  };
  for (size_t i = 0; i < m.picture_buttons.size(); ++i) {
    const PictureButtonItem& b = m.picture_buttons[i];
    boxed("picture_button", i, b.label, kButtonFont, b.rect, float(b.rect.x + b.label_dx), b.rect);
  }
  for (size_t i = 0; i < m.text_buttons.size(); ++i) {
    const TextButtonItem& b = m.text_buttons[i];
    boxed("text_button", i, b.label, kItemFont, b.rect, float(b.rect.x + b.label_dx), b.rect);
  }
  for (size_t i = 0; i < m.text_boxes.size(); ++i) {
    const TextBoxItem& t = m.text_boxes[i];
    boxed("text_box", i, t.text.empty() ? t.hint : t.text, kItemFont, t.rect, InsetText(float(t.rect.x), 3), t.rect);
  }
  for (size_t i = 0; i < m.key_binders.size(); ++i) {
    const KeyBinderItem& k = m.key_binders[i];
    std::string shown = k.shown;
    if (shown.empty() && k.key && k.key->code != 0) shown = KeyName(StoredKey(*k.key));
    if (shown.empty() && !k.waiting) shown = "Not Bound";
    boxed("key_binder", i, shown, kItemFont, k.rect, InsetText(float(k.rect.x), 3), k.rect);
  }
  for (size_t i = 0; i < m.drop_downs.size(); ++i) {
    const DropDownItem& dd = m.drop_downs[i];
    auto chosen = dd.options.find(dd.selected);
    if (chosen == dd.options.end()) continue;
    // The arrow takes the right end, a square of the box's height.
    const GuiRect r = dd.rect;
    boxed("drop_down", i, chosen->second, kItemFont, r, InsetText(float(r.x), 3), {r.x, r.y, r.w - r.h, r.h, r.flags});
  }
  for (size_t i = 0; i < m.check_boxes.size(); ++i) {
    const CheckBoxItem& c = m.check_boxes[i];
    d.SetFont(kCheckBoxFont);
    out.push_back({"check_box", i, c.label, kCheckBoxFont, float(c.box.x + 20),
                   CentredBaseline(d, float(c.box.y), float(c.box.h)), std::nullopt});
  }
  for (size_t i = 0; i < m.labels.size(); ++i) label("label", i, m.labels[i].text, kItemFont, m.labels[i].rect);
  for (size_t i = 0; i < m.colour_labels.size(); ++i)
    label("colour_label", i, m.colour_labels[i].text, kItemFont, m.colour_labels[i].rect);
  for (size_t i = 0; i < m.named_labels.size(); ++i)
    label("named_label", i, gui.Text(m.named_labels[i].text_name), kItemFont, m.named_labels[i].rect);
  for (size_t i = 0; i < m.sized_labels.size(); ++i)
    label("sized_label", i, m.sized_labels[i].text, SizedLabelFont(m.sized_labels[i]), m.sized_labels[i].rect);
  d.SetFont(kItemFont);
  return out;
}

std::vector<GuiRect> LineBoxes(Draw2D& d, const ItemText& t) {
  std::vector<GuiRect> boxes;
  d.SetFont(t.font);
  size_t start = 0;
  for (int line = 0;; ++line) {
    const size_t end = t.text.find('\n', start);
    std::string_view text = std::string_view(t.text).substr(start, end == std::string::npos ? end : end - start);
    // The glyphs' box: trailing spaces draw nothing.
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty()) {
      const TextBounds b = d.Bounds(text);
      const float y = t.y + float(line) * t.font.size * kTextLineStep;
      const int left = int(std::floor(t.x + b.left)), top = int(std::floor(y + b.top));
      boxes.push_back({left, top, int(std::ceil(t.x + b.right)) - left, int(std::ceil(y + b.bottom)) - top,
                       kAnchorFixed});
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  d.SetFont(kItemFont);
  return boxes;
}
