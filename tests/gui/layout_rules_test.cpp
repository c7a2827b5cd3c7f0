// The toolkit's layout rules: anchoring on a size change, the box's word
// wrap, the choice of theme, and every text of the layout in its place with
// the fonts' own metrics.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "gui/gui_rect.h"
#include "gui/item_texts.h"
#include "gui/qor_gui.h"
#include "gui/themes.h"
#include "gui/txf_metrics.h"
#include "gui/word_wrap.h"
#include "jobs/iwd_utils.h"
#include "shell/screens/layout.h"
#include "shell/settings.h"

namespace {

TEST(Anchoring, EachFlagAndNoDriftOnOddHalfSteps) {
  const GuiRect design{100, 50, 40, 20, 0};
  struct Case {
    int32_t flags;
    GuiRect after;  // shrunk by 100 wide, grown by 31 high
  } cases[] = {
      {kAnchorFixed, {100, 50, 40, 20, kAnchorFixed}},
      {kAnchorX, {0, 50, 40, 20, kAnchorX}},
      {kAnchorHalfX, {50, 50, 40, 20, kAnchorHalfX}},
      {kAnchorY | kAnchorWidth, {100, 81, -60, 20, kAnchorY | kAnchorWidth}},
      {kAnchorHeight | kAnchorHalfY, {100, 65, 40, 51, kAnchorHeight | kAnchorHalfY}},
  };
  for (const Case& c : cases) {
    GuiRect d = design;
    d.flags = c.flags;
    EXPECT_EQ(Anchored(d, -100, 31), c.after) << c.flags;
  }
  // Back and forth by an odd step: always from the design, so it comes home.
  GuiRect half{101, 0, 10, 10, kAnchorHalfX};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Anchored(half, i % 2 ? 7 : 0, 0).x, i % 2 ? 104 : 101);
}

TEST(WordWrap, BreaksAtSpacesOrInsideLongWords) {
  auto mono = [](std::string_view s) { return float(s.size()) * 10.0f; };  // 10 px a character
  EXPECT_EQ(WrapText("short", 100, mono), "short");
  EXPECT_EQ(WrapText("one two three four", 100, mono), "one two\nthree four");
  EXPECT_EQ(WrapText("a   wide    gap here", 60, mono), "a\nwide\ngap\nhere");
  // No space: the longest piece that fits (the old rule never wrapped these).
  EXPECT_EQ(WrapText("Xmodel List: '/very/long/path' is bad", 100, mono),
            "Xmodel\nList:\n'/very/lon\ng/path' is\nbad");
  // At most six breaks; breaks already in the text stay.
  EXPECT_EQ(WrapText(std::string(100, 'x'), 100, mono).find_last_of('\n'), 6u * 11 - 1);
  EXPECT_EQ(WrapText("ab\ncd ef gh ij", 50, mono), "ab\ncd ef\ngh ij");
  // A box narrower than one character still gets one character a line.
  EXPECT_EQ(WrapText("abc", 5, mono), "a\nb\nc");
}

TEST(Themes, SelectingRepaintsOnlyOnAChange) {
  QorThemeManger themes(7);  // a damaged stored index: the first theme
  EXPECT_EQ(themes.active(), 0);
  int repaints = 0;
  themes.repaint_frame = [&] { ++repaints; };
  EXPECT_TRUE(themes.SetTheme(0) && repaints == 0);
  EXPECT_TRUE(themes.SetTheme(2) && repaints == 1);
  EXPECT_FALSE(themes.SetTheme(3));  // not a theme: a failure, nothing changes
  EXPECT_TRUE(themes.active() == 2 && repaints == 1);
}

bool Meet(const GuiRect& a, const GuiRect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
bool Holds(const GuiRect& outer, const GuiRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}
GuiRect Moved(GuiRect r, const GuiRect& by) { return {r.x + by.x, r.y + by.y, r.w, r.h, kAnchorFixed}; }

// What a text may not run into: the menu's working items, by kind and place
// (a colour picker as far as it draws: its square, the hue strip's 96 drawn
// rows and the value readout beside them).
struct Obstacle {
  std::string kind;
  size_t index;
  GuiRect rect;
};
std::vector<Obstacle> Obstacles(const Menu& m) {
  std::vector<Obstacle> out;
  auto add = [&](const char* kind, const auto& items) {
    for (size_t i = 0; i < items.size(); ++i) out.push_back({kind, i, Moved(items[i].rect, m.origin.rect)});
  };
  add("picture_button", m.picture_buttons);
  add("light_bulb", m.light_bulbs);
  add("text_button", m.text_buttons);
  add("list_box", m.list_boxes);
  add("text_list", m.text_lists);
  add("text_box", m.text_boxes);
  add("key_binder", m.key_binders);
  add("slider", m.sliders);
  add("drop_down", m.drop_downs);
  add("detail_list", m.detail_lists);
  add("progress_bar", m.progress_bars);
  for (size_t i = 0; i < m.check_boxes.size(); ++i)
    out.push_back({"check_box", i, Moved(m.check_boxes[i].box, m.origin.rect)});
  for (size_t i = 0; i < m.colour_pickers.size(); ++i) {
    const GuiRect& r = m.colour_pickers[i].rect;
    out.push_back({"colour_picker", i, Moved({r.x, r.y, 190, 100, kAnchorFixed}, m.origin.rect)});
  }
  return out;
}

// The panels a menu draws its texts on: its pictures and fills that are
// neither a dimming cover of the whole window nor a small ornament.
std::vector<GuiRect> Panels(const Menu& m, int width, int height) {
  std::vector<GuiRect> out;
  auto add = [&](const GuiRect& r, float alpha) {
    if (alpha >= 0.5f && std::max(r.w, r.h) >= 100 && !(r.w >= width && r.h >= height)) out.push_back(r);
  };
  for (const auto& p : m.pictures) add(Moved(p.rect, m.origin.rect), p.colour.a);
  for (const auto& f : m.filled_rects) add(Moved(f.rect, m.origin.rect), f.colour.a);
  return out;
}

GuiRect Bounding(const std::vector<GuiRect>& rects) {
  GuiRect b = rects.front();
  for (const GuiRect& r : rects) {
    const int right = std::max(b.x + b.w, r.x + r.w), bottom = std::max(b.y + b.h, r.y + r.h);
    b.x = std::min(b.x, r.x);
    b.y = std::min(b.y, r.y);
    b.w = right - b.x;
    b.h = bottom - b.y;
  }
  return b;
}

// Every text of every menu, with the fonts' own metrics, at the design size
// and at a large window: each line stays inside its own item, runs into no
// other item or text of its menu nor of the menu it lies on, crosses no
// group box's edge, and ends inside the panel it starts on (the latest menu
// up to its own whose panels hold its first glyph) and the window.
TEST(LayoutText, EveryTextFitsItsPlaceInEveryMenu) {
  MeasuringDraw2D draw;
  ASSERT_TRUE(draw.LoadFonts(VANTOR_DATA_DIR));
  double now = 0;
  MaterialStore materials{nullptr};
  CommandProcessor commands{[&] { return now; }};
  QorGUI gui{draw, materials, commands, [&] { return now; }};
  QorSettings settings;
  BuildLayout(gui, settings);
  BuildFolderEntry(gui, {});  // the window adds its dialogs after the layout
  BuildQuestionBox(gui, [](bool) {});
  // The mover's texts as a pass leaves them.
  IwdProgress pass;
  pass.progress_text = "34/34";
  pass.entries_copied = 12345;
  pass.entries_skipped = 678;
  gui.SetText(iwd::kArchiveText, pass.progress_text);
  gui.SetText(iwd::kImagesText, pass.IwiProgressText());

  for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1600, 1000}}) {
    gui.SetPendingSize(width, height);
    gui.ItemScale();
    const GuiRect window{0, 0, width, height, kAnchorFixed};
    const auto& menus = gui.menus();
    for (size_t mi = 0; mi < menus.size(); ++mi) {
      const Menu& m = *menus[mi];
      struct Line {
        const ItemText* text;
        GuiRect box;
      };
      const std::vector<ItemText> texts = MenuTexts(gui, m);
      std::vector<Line> lines;
      for (const ItemText& t : texts)
        for (const GuiRect& b : LineBoxes(draw, t)) lines.push_back({&t, Moved(b, m.origin.rect)});
      for (const Line& line : lines) {
        const ItemText& t = *line.text;
        const GuiRect& box = line.box;
        const std::string where = m.name + " '" + t.text + "' at " + std::to_string(width) + "x" +
                                  std::to_string(height);
        EXPECT_TRUE(Holds(window, box)) << where;
        if (t.inside) {
          const GuiRect in = Moved(*t.inside, m.origin.rect);
          EXPECT_TRUE(Holds({in.x + 1, in.y, in.w - 2, in.h, kAnchorFixed}, box)) << where << " leaves its item";
        }
        // The menu it lies on.
        const Menu* host = nullptr;
        std::vector<GuiRect> host_panels;
        for (size_t hi = mi + 1; hi-- > 0 && !host;) {
          std::vector<GuiRect> panels = Panels(*menus[hi], width, height);
          if (panels.empty()) continue;
          for (const GuiRect& p : panels)
            if (Holds(p, {box.x, box.y, 1, 1, kAnchorFixed})) {
              host = menus[hi].get();
              host_panels = std::move(panels);
              break;
            }
        }
        if (host) {
          EXPECT_TRUE(Holds(Bounding(host_panels), box)) << where << " leaves " << host->name;
        }
        std::vector<const Menu*> owners{&m};
        if (host && host != &m) owners.push_back(host);
        for (const Menu* owner : owners)
          for (const Obstacle& o : Obstacles(*owner)) {
            if (owner == &m && o.kind == t.kind && o.index == t.index) continue;
            EXPECT_FALSE(Meet(o.rect, box)) << where << " runs into " << owner->name << "'s " << o.kind << " "
                                            << o.index;
          }
        for (const Line& other : lines)
          if (other.text != line.text) {
            EXPECT_FALSE(Meet(other.box, box)) << where << " runs into '" << other.text->text << "'";
          }
        for (const auto& group : m.outline_rects) {
          const GuiRect g = Moved(group.rect, m.origin.rect);
          EXPECT_TRUE(Holds(g, box) || !Meet(g, box)) << where << " crosses a group box";
        }
      }
    }
  }
}

// Measures with the fonts and keeps where texts and filled rectangles went.
struct PlacedDraw : MeasuringDraw2D {
  struct Drawn {
    float x, y;
    std::string text;
    FontState font;
  };
  std::vector<Drawn> texts;
  std::vector<std::array<float, 4>> fills;
  void Enter2D(int, int) override {
    texts.clear();
    fills.clear();
  }
  void Text(float x, float y, std::string_view text) override { texts.push_back({x, y, std::string(text), state_}); }
  void FillRect(float x, float y, float w, float h) override { fills.push_back({x, y, w, h}); }
};

// With the fonts' own metrics: the capitals sit centred in text boxes,
// buttons and drop-downs, and a focused box's caret stands right after the
// last glyph.
TEST(LayoutText, TextCentredInItsBoxAndTheCaretAfterIt) {
  PlacedDraw draw;
  ASSERT_TRUE(draw.LoadFonts(VANTOR_DATA_DIR));
  double now = 0;
  MaterialStore materials{nullptr};
  CommandProcessor commands{[&] { return now; }};
  QorGUI gui{draw, materials, commands, [&] { return now; }};
  gui.AddStaticMenu("m", {}, {0, 0, 640, 480, kAnchorFixed}, true);
  const GuiRect box{10, 20, 120, 17, kAnchorFixed}, button{10, 60, 80, 20, kAnchorFixed},
      picture{10, 100, 90, 20, kAnchorFixed}, drop{10, 140, 100, 18, kAnchorFixed};
  gui.AddTextBox("scale", "Wg", box, {}, {}, {1, 1, 1, 1}, nullptr, false);
  gui.AddTextButton(button, "Close", "");
  gui.AddPictureButton(picture, {1, 1, 1, 1}, "button", "button_hi", "EXPORT MA", 9, 15, "");
  gui.AddDropDown(drop, {{0, "Maya Style"}}, nullptr, 0);
  gui.OnMouseMove(20, 25);
  gui.OnPress();
  gui.Render(60);
  gui.OnRelease();
  gui.Render(60);
  for (const auto& [text, r] : {std::pair{"Wg", box}, {"Close", button}, {"EXPORT MA", picture}, {"Maya Style", drop}}) {
    auto drawn = std::find_if(draw.texts.begin(), draw.texts.end(), [&](auto& t) { return t.text == text; });
    ASSERT_NE(drawn, draw.texts.end()) << text;
    draw.SetFont(drawn->font);
    const TextBounds caps = draw.Bounds("H");
    const float middle = drawn->y + (caps.top + caps.bottom) / 2;
    EXPECT_NEAR(middle, float(r.y) + float(r.h) / 2, 1.0f) << text;
  }
  const auto& wg = *std::find_if(draw.texts.begin(), draw.texts.end(), [](auto& t) { return t.text == "Wg"; });
  draw.SetFont(wg.font);
  const float ink_end = wg.x + draw.Bounds("Wg").right;
  // The caret: the last narrow fill drawn.
  auto caret = std::find_if(draw.fills.rbegin(), draw.fills.rend(), [](auto& f) { return f[2] == 2; });
  ASSERT_NE(caret, draw.fills.rend());
  EXPECT_TRUE((*caret)[0] >= ink_end - 1 && (*caret)[0] <= ink_end + 2) << (*caret)[0] << " after " << ink_end;
  EXPECT_GE(wg.x + draw.Bounds("Wg").left, float(box.x + 1)) << "the glyphs start inside the frame";
}

}  // namespace
