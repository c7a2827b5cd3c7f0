// The list views headless: the model list's rows, selection, keys, wheel
// and scroll block, trimmed names with their tooltip and "Copy Name", a new
// list resetting the view; the log panel's "not active" line, newest lines
// and colour codes; the detail list's context menu for image rows.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/qor_gui.h"
#include "base/list_source.h"
#include "tests/gui/widget_rig.h"
#include "tests/shell/shell_test_support.h"

namespace {

struct Rig : gui_test::WidgetRig {
  std::vector<std::string> selected;
  // A list box at (100, 50), 150 x 140: ten rows of 14 pixels, text to 130 px.
  ListBoxItem& AddList(ListSource& source) {
    gui.AddListBox("xmodels", {100, 50, 150, 140, kAnchorFixed}, ListBoxItem{}, &source,
                   [this](const std::string& name) { selected.push_back(name); });
    return menu().list_boxes.back();
  }
};

void Fill(ListSource& source, int count, const std::string& prefix = "model_") {
  std::lock_guard<std::mutex> hold(source.lock);
  source.items.clear();
  for (int i = 0; i < count; ++i) source.items.push_back(prefix + std::to_string(i));
  source.ready = true;
  source.changed = true;
}

// Steps keep the selection in view; Page Down and Page Up move by the rows
// shown but one, End and Home to the ends (from the top row while nothing
// is selected); a wheel notch scrolls three rows, and the scroll block
// stays between top + 5 and top + height - 15.
TEST(ListBox, RowsSelectionStepsPageKeysAndTheLimitsOfTheScrollBlock) {
  Rig r;
  ListSource source;
  ListBoxItem& list = r.AddList(source);
  Fill(source, 100);
  r.Frame();
  EXPECT_EQ(list.rows_fit, 10);
  EXPECT_TRUE(r.Drawn("model_9") && !r.Drawn("model_10"));
  auto press = [&r](int vk) {
    EXPECT_EQ(r.gui.OnKey(vk, true), KeyRoute::kListStep) << vk;
    r.gui.OnKey(vk, false);
    r.Frame();
  };
  press(0x22);  // Page Down
  press(0x22);
  EXPECT_EQ(r.selected, (std::vector<std::string>{"model_9", "model_18"}));
  EXPECT_EQ(list.first_visible, 9);
  press(0x21);  // Page Up
  EXPECT_EQ(list.selected, 9);
  press(0x23);  // End
  EXPECT_TRUE(list.selected == 99 && r.Drawn("model_99"));
  press(0x22);  // already at the end
  EXPECT_EQ(r.selected.size(), 4u);
  press(0x24);  // Home
  EXPECT_TRUE(list.selected == 0 && list.first_visible == 0);

  r.Click(120, 50 + 2 + 14 * 3 + 5);
  EXPECT_EQ(r.selected.back(), "model_3");
  for (int i = 0; i < 8; ++i) {
    r.gui.SetListStep(1);
    r.Frame();
  }
  EXPECT_TRUE(r.selected.back() == "model_11" && list.first_visible == 2 && r.Drawn("model_11"));
  r.gui.OnMouseMove(150, 100);
  for (auto [notches, first] : {std::pair{1, 0}, {-1, 3}, {-2, 9}, {1, 6}}) {
    r.Wheel(notches);
    EXPECT_EQ(list.first_visible, first) << notches;
  }
  r.Wheel(1000);
  EXPECT_EQ(list.scroll, 55.0f);
  r.Wheel(-1000);
  EXPECT_EQ(list.scroll, 175.0f);
  r.Frame();
  EXPECT_TRUE(r.Drawn("model_99"));  // the last rows can be reached
  r.commands.RunCommand("reset_listbox xmodels;");
  r.Frame();
  EXPECT_TRUE(list.scroll == 55.0f && r.Drawn("model_0"));

  r.Click(120, 50 + 2 + 5);
  r.gui.SetListStep(-1);  // a step past the first item is undone
  r.Frame();
  EXPECT_TRUE(r.selected.back() == "model_0" && list.selected == 0);
}

TEST(ListBox, LongNamesAreShownShortAndLoadedAndCopiedWhole) {
  shell_test::LogCapture log;
  Rig r;
  ListSource source;
  ListBoxItem& list = r.AddList(source);
  const std::string wide = "viewmodel_ak47_desert_camo_with_grip";  // 216 px at 6 a character
  source.items = {"short", wide};
  source.ready = source.changed = true;
  r.Frame();
  ASSERT_EQ(list.shown.size(), 2u);
  // Hovered, the shortened row shows its whole name in a tooltip; the
  // tooltip goes with the pointer.
  r.Hover(120, 50 + 2 + 14 + 5);
  EXPECT_TRUE(r.Drawn(wide));
  r.Hover(120, 50 + 2 + 5);
  EXPECT_FALSE(r.Drawn(wide));
  EXPECT_EQ(list.shown[1].text, wide.substr(0, 20) + ".");  // the longest start that fits 130 pixels, with its "."
  EXPECT_TRUE(log.Contains("Performing single pass listbox overflowcheck. (for '2' items)"));

  r.Click(120, 50 + 2 + 14 + 5);
  EXPECT_EQ(r.selected, std::vector<std::string>{wide});
  r.RightClick(120, 50 + 2 + 14 + 5);
  EXPECT_TRUE(list.context_open);
  r.Click(list.context_x + 10, list.context_y + 5);
  EXPECT_TRUE(r.clipboard == wide && !list.context_open);

  // Below the last row: nothing is selected, nothing is read.
  r.selected.clear();
  r.Click(120, 50 + 2 + 14 * 5 + 5);
  EXPECT_TRUE(r.selected.empty());

  // A new list forgets the old selection and trimmed rows.
  Fill(source, 3, "a");
  r.Frame();
  EXPECT_TRUE(list.selected == -1 && r.Drawn("a1") && !list.shown[1].trimmed);

  // Every row drawn shows its name as the width it is drawn at trims it,
  // after a wheel notch (rows kept and rows new), a jump to the end, and a
  // list made narrower and taller. Every other name is too wide.
  source.items.clear();
  for (int i = 0; i < 100; ++i) source.items.push_back("n" + std::to_string(i) + (i % 2 ? "_" + wide : ""));
  source.changed = true;
  auto rows_trimmed_to = [&](int text_width) {
    int row = 0;
    for (const gui_test::DrawnText& t : r.draw.texts) {
      if (t.x != 108) continue;
      const std::string& name = source.items[size_t(list.first_visible + row++)];
      EXPECT_EQ(t.text, name.size() * 6 <= size_t(text_width) ? name : name.substr(0, size_t(text_width / 6 - 1)) + ".");
    }
    return row;
  };
  r.Hover(150, 100);
  r.Wheel(-1);
  EXPECT_TRUE(list.first_visible == 3 && rows_trimmed_to(130) == 10);
  r.gui.SetListStep(WidgetContext::kListEndStep);
  r.Frame();
  EXPECT_TRUE(list.first_visible == 90 && rows_trimmed_to(130) == 10);
  list.rect.w = 90;
  list.rect.h = 280;
  r.Frame();
  EXPECT_EQ(rows_trimmed_to(70), 10);
  r.Wheel(1);
  EXPECT_EQ(rows_trimmed_to(70), 19);
}

// The newest lines at the bottom; the log's colour codes colour the text
// that follows them and are not drawn; "^6" and a lone caret are ordinary
// text.
TEST(TextList, NotActiveUntilItHasLinesThenTheNewestAtTheBottomInTheirColours) {
  Rig r;
  ListSource lines, coloured;
  Fill(lines, 20, "line ");
  coloured.items = {"^5Moved^7: a.iwi", "^1LoadxmodelFull^7:: ^4x^6y^"};
  coloured.ready = true;
  r.gui.AddTextList("XmodelLog", {10, 10, 200, 80, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, &lines);
  r.gui.AddTextList("Other", {10, 200, 200, 80, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, nullptr);
  r.gui.AddTextList("Coloured", {10, 300, 300, 80, kAnchorFixed}, {0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}, &coloured);
  r.Frame();
  EXPECT_TRUE(r.Drawn("'Other' List not active"));
  EXPECT_TRUE(r.Drawn("line 19") && !r.Drawn("line 14"));  // five rows fit
  using Colour = std::array<float, 3>;
  const std::pair<const char*, Colour> runs[] = {
      {"Moved", {0.35f, 0.75f, 1}}, {": a.iwi", {1, 1, 1}}, {"LoadxmodelFull", {1, 0, 0}},
      {":: ", {1, 1, 1}},           {"x^6y^", {1, 0.45f, 0}},
  };
  for (const auto& [text, colour] : runs) {
    const gui_test::DrawnText* drawn = r.draw.FindText(text);
    ASSERT_NE(drawn, nullptr) << text;
    EXPECT_EQ(drawn->colour, colour) << text;
  }
  EXPECT_EQ(r.draw.FindText(": a.iwi")->x, r.draw.FindText("Moved")->x + 6 * 5);
  for (const gui_test::DrawnText& t : r.draw.texts) EXPECT_EQ(t.text.find("^5"), std::string::npos) << t.text;
  r.gui.OnMouseMove(50, 50);
  r.Wheel(100);
  EXPECT_TRUE(r.Drawn("line 0") && !r.Drawn("line 19"));
}

TEST(DetailList, ImageRowsOfferTheirExportsWithMaterialAndSlotAndLevelRowsShowTheirLevel) {
  Rig r;
  DetailSource data;
  data.rows = {{"Name: helmet", "tree_node", 0, "", -1, -1},
               {"~-gwhatever_col.iwi", "tree_tick", 2, "~-gwhatever_col.iwi", 3, 1},
               {"LOD distance: 500", "tree_mesh", 1, "", -1, -1, 1}};
  int shown = -1;
  r.gui.hooks.show_lod = [&](int level) { shown = level; };
  std::vector<std::string> exports;
  r.gui.hooks.export_image = [&](int material, int slot, bool tga) {
    exports.push_back(std::to_string(material) + "/" + std::to_string(slot) + (tga ? " tga" : " dds"));
  };
  r.gui.AddDetailList("Xmodel_properties", {10, 10, 300, 200, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, &data);
  r.Frame();
  ASSERT_NE(r.draw.FindText("~-gwhatever_col.iwi"), nullptr);
  EXPECT_EQ(r.draw.FindText("~-gwhatever_col.iwi")->x, 10 + 2 * 12 + 12);
  const DetailListItem& list = r.menu().detail_lists[0];
  r.RightClick(40, 10 + 2 + 5);
  EXPECT_EQ(list.context.entries, std::vector<std::string>{"Copy Text"});
  // New texts for the same rows (the tags posed by a playing animation)
  // keep the menu open; other rows close it.
  data.rows[0].text = "Name: helmet (1, 2, 3)";
  data.changed = data.texts_only = true;
  r.Frame();
  r.Click(list.context.x + 5, list.context.y + 5);
  EXPECT_EQ(r.clipboard, "Name: helmet (1, 2, 3)");
  r.RightClick(40, 10 + 2 + 5);
  data.changed = true;
  r.Frame();
  EXPECT_FALSE(list.context.open);

  r.RightClick(40, 10 + 2 + 14 + 5);
  EXPECT_EQ(list.context.entries,
            (std::vector<std::string>{"Copy Text", "Copy IWI Name", "Export To DDS", "Export To TGA"}));
  r.Click(list.context.x + 5, list.context.y + 15 * 3 + 5);
  EXPECT_TRUE(exports == std::vector<std::string>{"3/1 tga"} && !list.context.open);
  r.Click(40, 10 + 2 + 14 + 5);  // not a level's row
  r.Click(40, 10 + 2 + 28 + 5);
  EXPECT_EQ(shown, 1);
}

}  // namespace
