// The list views headless: the model list's rows, trimming, selection by
// click and by keyboard step, page and end keys, the wheel's rows and the
// scroll block's limits, "Copy Name" and the whole name's tooltip, a new
// list resetting the view; the log panel's "not active"
// line and its newest lines; the detail list's context menu for image rows.
#include <gtest/gtest.h>

#include <algorithm>
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
};

// A list box at (100, 50), 150 x 140: ten rows of 14 pixels, text to 130 px.
ListBoxItem& AddList(Rig& r, ListSource& source) {
  r.gui.AddListBox("xmodels", {100, 50, 150, 140, kAnchorFixed}, ListBoxItem{}, &source,
                   [&r](const std::string& name) { r.selected.push_back(name); });
  return r.gui.FindMenu("m")->list_boxes.back();
}

void Fill(ListSource& source, int count, const std::string& prefix = "model_") {
  std::lock_guard<std::mutex> hold(source.lock);
  source.items.clear();
  for (int i = 0; i < count; ++i) source.items.push_back(prefix + std::to_string(i));
  source.ready = true;
  source.changed = true;
}

TEST(ListBox, RowsSelectionStepsAndTheLimitsOfTheScrollBlock) {
  Rig r;
  ListSource source;
  ListBoxItem& list = AddList(r, source);
  r.Frame();
  EXPECT_TRUE(r.draw.texts.empty() || !r.Drawn("model_0"));  // not ready: nothing
  source.ready = true;
  r.Frame();
  EXPECT_EQ(list.first_visible, 0);  // empty

  Fill(source, 100);
  r.Frame();
  EXPECT_EQ(list.rows_fit, 10);
  EXPECT_TRUE(r.Drawn("model_9"));
  EXPECT_FALSE(r.Drawn("model_10"));
  r.Click(120, 50 + 2 + 14 * 3 + 5);
  EXPECT_EQ(r.selected, std::vector<std::string>{"model_3"});

  // Down steps through the list and keeps the selection in view.
  for (int i = 0; i < 8; ++i) {
    r.gui.SetListStep(1);
    r.Frame();
  }
  EXPECT_EQ(r.selected.back(), "model_11");
  EXPECT_EQ(list.first_visible, 2);
  EXPECT_TRUE(r.Drawn("model_11"));
  // The wheel: never above top + 5 nor below top + height - 15.
  r.gui.OnMouseMove(150, 100);
  r.gui.AddWheel(1000);
  r.Frame();
  EXPECT_EQ(list.scroll, 55.0f);
  EXPECT_EQ(list.first_visible, 0);
  r.gui.AddWheel(-1000);
  r.Frame();
  EXPECT_EQ(list.scroll, 175.0f);
  r.Frame();
  EXPECT_TRUE(r.Drawn("model_99"));  // the last rows can be reached
  r.commands.RunCommand("reset_listbox xmodels;");
  r.Frame();
  EXPECT_EQ(list.scroll, 55.0f);
  EXPECT_TRUE(r.Drawn("model_0"));

  // A step past the first item is undone.
  r.selected.clear();
  r.Click(120, 50 + 2 + 5);
  r.gui.SetListStep(-1);
  r.Frame();
  EXPECT_EQ(r.selected, std::vector<std::string>{"model_0"});
  EXPECT_EQ(list.selected, 0);
}

// Page Down and Page Up move by the rows shown but one, End and Home to the
// ends (from the top row while nothing is selected); a wheel notch scrolls
// three rows.
TEST(ListBox, PageKeysHomeEndAndTheWheelsThreeRows) {
  Rig r;
  ListSource source;
  ListBoxItem& list = AddList(r, source);
  Fill(source, 100);
  r.Frame();
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
  EXPECT_EQ(list.selected, 99);
  EXPECT_TRUE(r.Drawn("model_99"));
  press(0x22);  // already at the end
  EXPECT_EQ(r.selected.size(), 4u);
  press(0x24);  // Home
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(list.first_visible, 0);

  r.gui.OnMouseMove(150, 100);
  for (auto [notches, first] : {std::pair{-1, 3}, {-2, 9}, {1, 6}}) {
    r.gui.AddWheel(notches);
    r.Frame();
    EXPECT_EQ(list.first_visible, first) << notches;
  }
}

TEST(ListBox, LongNamesAreShownShortAndLoadedAndCopiedWhole) {
  shell_test::LogCapture log;
  Rig r;
  ListSource source;
  ListBoxItem& list = AddList(r, source);
  const std::string wide = "viewmodel_ak47_desert_camo_with_grip";  // 216 px at 6 a character
  {
    std::lock_guard<std::mutex> hold(source.lock);
    source.items = {"short", wide};
    source.ready = source.changed = true;
  }
  r.Frame();
  ASSERT_EQ(list.shown.size(), 2u);
  // Hovered, the shortened row shows its whole name in a tooltip; the
  // tooltip goes with the pointer.
  r.gui.OnMouseMove(120, 50 + 2 + 14 + 5);
  r.Frame();
  EXPECT_TRUE(r.Drawn(wide));
  r.gui.OnMouseMove(120, 50 + 2 + 5);
  r.Frame();
  EXPECT_FALSE(r.Drawn(wide));
  // What one round at a time gives: the longest start that fits 130
  // pixels (6 a character) with its ".".
  EXPECT_EQ(list.shown[1], wide.substr(0, 20) + ".");
  const std::vector<std::string> lines = log.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Performing single pass listbox overflowcheck. (for '2' items)"),
            lines.end());

  r.Click(120, 50 + 2 + 14 + 5);
  EXPECT_EQ(r.selected, std::vector<std::string>{wide});
  r.RightClick(120, 50 + 2 + 14 + 5);
  EXPECT_TRUE(list.context_open);
  r.Click(r.gui.FindMenu("m")->list_boxes[0].context_x + 10, list.context_y + 5);
  EXPECT_EQ(r.clipboard, wide);
  EXPECT_FALSE(list.context_open);

  // Below the last row: nothing is selected, nothing is read.
  r.selected.clear();
  r.Click(120, 50 + 2 + 14 * 5 + 5);
  EXPECT_TRUE(r.selected.empty());

  // A new list forgets the old selection and trimmed rows.
  Fill(source, 3, "a");
  r.Frame();
  EXPECT_EQ(list.selected, -1);
  EXPECT_TRUE(list.trimmed.empty());
}

TEST(TextList, NotActiveUntilItHasLinesThenTheNewestAtTheBottom) {
  Rig r;
  r.gui.AddTextList("XmodelLog", {10, 10, 200, 80, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, nullptr);
  r.Frame();
  EXPECT_TRUE(r.Drawn("'XmodelLog' List not active"));

  Rig r2;
  ListSource lines;
  Fill(lines, 20, "line ");
  r2.gui.AddTextList("XmodelLog", {10, 10, 200, 80, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, &lines);
  r2.Frame();
  EXPECT_TRUE(r2.Drawn("line 19"));
  EXPECT_FALSE(r2.Drawn("line 14"));  // five rows fit
  r2.gui.OnMouseMove(50, 50);
  r2.gui.AddWheel(100);
  r2.Frame();
  EXPECT_TRUE(r2.Drawn("line 0"));
  EXPECT_FALSE(r2.Drawn("line 19"));
}

// The log's colour codes colour the text that follows them and are not
// drawn; "^6" and a lone caret are ordinary text.
TEST(TextList, ColourCodesAreDrawnAsColours) {
  Rig r;
  ListSource lines;
  lines.items = {"^5Moved^7: a.iwi", "^1LoadxmodelFull^7:: ^4x^6y^"};
  lines.ready = true;
  r.gui.AddTextList("XmodelLog", {10, 10, 300, 80, kAnchorFixed}, {0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}, &lines);
  r.Frame();
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
}

TEST(DetailList, ImageRowsOfferTheirExportsWithMaterialAndSlot) {
  Rig r;
  DetailSource data;
  data.rows = {{"Name: helmet", "tree_node", 0, "", -1, -1},
               {"~-gwhatever_col.iwi", "tree_tick", 2, "~-gwhatever_col.iwi", 3, 1}};
  std::vector<std::string> exports;
  r.gui.hooks.export_image = [&](int material, int slot, bool tga) {
    exports.push_back(std::to_string(material) + "/" + std::to_string(slot) + (tga ? " tga" : " dds"));
  };
  r.gui.AddDetailList("Xmodel_properties", {10, 10, 300, 200, kAnchorFixed}, {0, 0, 0, 1}, {1, 1, 1, 1}, &data);
  r.Frame();
  ASSERT_NE(r.draw.FindText("~-gwhatever_col.iwi"), nullptr);
  EXPECT_EQ(r.draw.FindText("~-gwhatever_col.iwi")->x, 10 + 2 * 12 + 12);

  const DetailListItem& list = r.gui.FindMenu("m")->detail_lists[0];
  r.RightClick(40, 10 + 2 + 5);
  EXPECT_EQ(list.context.entries, std::vector<std::string>{"Copy Text"});
  r.Click(list.context.x + 5, list.context.y + 5);
  EXPECT_EQ(r.clipboard, "Name: helmet");

  r.RightClick(40, 10 + 2 + 14 + 5);
  EXPECT_EQ(list.context.entries,
            (std::vector<std::string>{"Copy Text", "Copy IWI Name", "Export To DDS", "Export To TGA"}));
  r.Click(list.context.x + 5, list.context.y + 15 * 3 + 5);
  EXPECT_EQ(exports, std::vector<std::string>{"3/1 tga"});
  EXPECT_FALSE(list.context.open);
}

}  // namespace
