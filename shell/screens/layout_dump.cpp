#include "shell/screens/layout_dump.h"

#include <algorithm>
#include <cstring>

#include "base/json_writer.h"
#include "base/list_source.h"
#include "gui/item_texts.h"
#include "gui/material_table.h"
#include "gui/qor_gui.h"
#include "platform/fs_paths.h"
#include "shell/settings.h"
#include "sound/qor_sound.h"

namespace {

void Rect(JsonWriter& j, const GuiRect& r, bool flags = true) {
  j.BeginArray().Int(r.x).Int(r.y).Int(r.w).Int(r.h);
  if (flags) j.Int(r.flags);
  j.EndArray();
}

void Rgb(JsonWriter& j, const char* key, const Rgba& c) {
  j.Key(key).BeginArray().Float(c.r).Float(c.g).Float(c.b).Float(c.a).EndArray();
}
void Colour(JsonWriter& j, const Rgba& c) { Rgb(j, "colour", c); }

void NameOrNull(JsonWriter& j, const char* key, const std::string& name) {
  j.Key(key);
  if (name.empty()) {
    j.Null();
  } else {
    j.String(name);
  }
}

void List(JsonWriter& j, const char* key, const std::string& text, const CommandList& pieces) {
  j.Key(key).BeginObject().Key("text").String(text).Key("pieces").BeginArray();
  for (const std::string& p : pieces) j.String(p);
  j.EndArray().EndObject();
}

// A widget's action: its command list, or that it calls a function.
void Action(JsonWriter& j, const std::string& text, const CommandList& pieces, bool callback) {
  if (callback) {
    j.Key("callback").Bool(true);
    return;
  }
  List(j, "command", text, pieces);
}

const char* Kind(const Menu& m) {
  if (m.framed) return "framed";
  switch (m.animation) {
    case MenuAnimation::kSlide: return "slide";
    case MenuAnimation::kFade: return "fade";
    default: return "static";
  }
}

// What an item's text draws: its widest line's drawn width and the glyph
// box of each line on screen.
struct TextMeasure {
  Draw2D& draw;
  const std::vector<ItemText>& texts;
};

void DrawnText(JsonWriter& j, const Menu& m, const TextMeasure& measure, const char* kind, size_t index) {
  for (const ItemText& t : measure.texts) {
    if (std::strcmp(t.kind, kind) != 0 || t.index != index) continue;
    measure.draw.SetFont(t.font);
    float widest = 0;
    size_t start = 0;
    for (;;) {
      const size_t end = t.text.find('\n', start);
      widest = std::max(widest, measure.draw.TextWidth(std::string_view(t.text).substr(
                                    start, end == std::string::npos ? end : end - start)));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    j.Key("text_width").Float(widest).Key("text_boxes").BeginArray();
    const GuiRect& o = m.origin.rect;
    for (const GuiRect& b : LineBoxes(measure.draw, t)) Rect(j, {b.x + o.x, b.y + o.y, b.w, b.h, kAnchorFixed}, false);
    j.EndArray();
  }
}

// One item: its kind, its rectangles (as laid out, and on screen: plus the
// menu's origin field by field), the fields its kind has and what its text
// draws.
template <typename Item, typename Extra>
void Items(JsonWriter& j, const Menu& m, const ItemList<Item>& items, const char* kind, Extra extra,
           const TextMeasure& measure) {
  for (size_t index = 0; index < items.size(); ++index) {
    const Item& item = items[index];
    j.BeginObject().Key("kind").String(kind).Key("rect");
    Rect(j, item.rect);
    const GuiRect& o = m.origin.rect;
    j.Key("screen_rect");
    Rect(j, {item.rect.x + o.x, item.rect.y + o.y, item.rect.w + o.w, item.rect.h + o.h, kAnchorFixed}, false);
    extra(item);
    DrawnText(j, m, measure, kind, index);
    j.EndObject();
  }
}

void Files(JsonWriter& j, const std::string& data_dir, const char* name, const char* file) {
  j.BeginObject().Key("name").String(name).Key("file").String(file);
  j.Key("present").Bool(platform::FileExists(data_dir + "/" + file)).EndObject();
}

}  // namespace

std::string LayoutJson(QorGUI& gui, const std::string& data_dir) {
  JsonWriter j;
  j.BeginObject().Key("version").String(kGuiVersionText);
  j.Key("design_size").BeginArray().Int(QorGUI::kDesignWidth).Int(QorGUI::kDesignHeight).EndArray();
  j.Key("laid_out_size").BeginArray().Int(gui.width()).Int(gui.height()).EndArray();
  j.Key("box_text_area");
  Rect(j, gui.box_text_area());
  j.Key("error_text").String(gui.error_text());
  j.Key("materials").BeginArray();
  Files(j, data_dir, "default", kDefaultMaterialFile);
  Files(j, data_dir, "mouse_cursor", kCursorMaterialFile);
  for (const GuiMaterialRow& row : kGuiMaterials) Files(j, data_dir, row.name, row.file);
  j.EndArray().Key("sounds").BeginArray();
  for (const SoundTableRow& row : kSoundTable) Files(j, data_dir, row.name, row.file);
  j.EndArray().Key("menus").BeginArray();
  int index = 0;
  for (const auto& menu : gui.menus()) {
    const Menu& m = *menu;
    j.BeginObject().Key("index").Int(index++).Key("name").String(m.name).Key("title").String(m.title);
    j.Key("kind").String(Kind(m)).Key("duration_ms").Double(m.duration_ms);
    j.Key("open_dir").Int(m.open_dir).Key("close_dir").Int(m.close_dir);
    j.Key("visible").Bool(m.visible).Key("animating").Bool(m.animating).Key("alpha").Float(m.alpha);
    j.Key("slide").BeginArray().Float(m.slide_x).Float(m.slide_y).EndArray();
    j.Key("origin");
    Rect(j, m.origin.rect);
    j.Key("area");
    Rect(j, m.area.rect);
    j.Key("screen_area");
    Rect(j, m.ScreenArea(), false);
    j.Key("bound_setting");
    if (m.bound_name.empty()) {
      j.Null();
    } else {
      j.String(m.bound_name);
    }
    List(j, "on_open", m.on_open_text, m.on_open);
    List(j, "on_close", m.on_close_text, m.on_close);
    const std::vector<ItemText> texts = MenuTexts(gui, m);
    const TextMeasure measure{gui.draw(), texts};
    j.Key("items").BeginArray();
    Items(j, m, m.filled_rects, "filled_rect", [&](const FilledRectItem& i) { Colour(j, i.colour); }, measure);
    Items(j, m, m.pictures, "picture", [&](const PictureItem& i) {
      Colour(j, i.colour);
      j.Key("material").String(i.material);
    }, measure);
    Items(j, m, m.outline_rects, "outline_rect", [&](const OutlineRectItem& i) { Colour(j, i.colour); }, measure);
    Items(j, m, m.progress_bars, "progress_bar", [&](const ProgressBarItem& i) {
      j.Key("fill").BeginArray().Float(i.fill.r).Float(i.fill.g).Float(i.fill.b).Float(i.fill.a).EndArray();
      j.Key("progress_name").String(i.name).Key("fade_ms").Double(i.fade_ms);
      // As last drawn: the filled width, and whether a full bar has faded.
      j.Key("fill_width").Int(i.fill_width).Key("full").Bool(i.full).Key("faded").Bool(i.faded);
    }, measure);
    Items(j, m, m.picture_buttons, "picture_button", [&](const PictureButtonItem& i) {
      Colour(j, i.label_colour);
      j.Key("material").String(i.material).Key("hover_material").String(i.hover_material);
      j.Key("text").String(i.label).Key("label_offset").BeginArray().Int(i.label_dx).Int(i.label_dy).EndArray();
      j.Key("three_part").Bool(i.three_part);
      Action(j, i.command_text, i.command, bool(i.callback));
    }, measure);
    Items(j, m, m.light_bulbs, "light_bulb", [&](const LightBulbItem& i) {
      Colour(j, i.colour);
      j.Key("material").String(i.off_material).Key("hover_material").String(i.on_material);
      Action(j, i.command_text, i.command, false);
    }, measure);
    Items(j, m, m.text_buttons, "text_button", [&](const TextButtonItem& i) {
      j.Key("text").String(i.label);
      Action(j, i.command_text, i.command, bool(i.callback));
    }, measure);
    Items(j, m, m.list_boxes, "list_box", [&](const ListBoxItem& i) {
      j.Key("name").String(i.name);
      Rgb(j, "background", i.background);
      Rgb(j, "outline", i.outline);
      Rgb(j, "row", i.row);
      Rgb(j, "row_hover", i.row_hover);
      Rgb(j, "text_hover", i.text_hover);
      Rgb(j, "text_colour", i.text);
      j.Key("source").Bool(i.source != nullptr).Key("callback").Bool(bool(i.on_select));
      // The rows as last drawn: the list's length, the selected row and
      // the texts of the first rows on screen.
      j.Key("rows").Int(int64_t(i.listed)).Key("selected").Int(i.selected);
      j.Key("first_rows").BeginArray();
      for (size_t r = 0; r < i.shown.size() && r < 5; ++r) j.String(i.shown[r].text);
      j.EndArray();
    }, measure);
    Items(j, m, m.text_lists, "text_list", [&](const TextListItem& i) {
      j.Key("name").String(i.name);
      Rgb(j, "background", i.background);
      Rgb(j, "text_colour", i.text);
      j.Key("source").Bool(i.lines != nullptr);
      if (i.lines) {
        std::lock_guard<std::mutex> hold(i.lines->lock);
        j.Key("lines").Int(int64_t(i.lines->items.size()));
      }
    }, measure);
    Items(j, m, m.text_boxes, "text_box", [&](const TextBoxItem& i) {
      j.Key("name").String(i.name).Key("hint").String(i.hint).Key("text").String(i.text);
      Rgb(j, "frame", i.frame);
      Rgb(j, "hover", i.hover);
      Rgb(j, "text_colour", i.text_colour);
      j.Key("read_only").Bool(i.read_only).Key("live").Bool(i.live);
      j.Key("callback").Bool(i.live ? bool(i.on_change) : bool(i.on_commit));
    }, measure);
    Items(j, m, m.key_binders, "key_binder", [&](const KeyBinderItem& i) {
      j.Key("name").String(i.name);
      Rgb(j, "background", i.background);
      Rgb(j, "hover", i.hover);
      Rgb(j, "text_colour", i.text_colour);
      j.Key("key");
      if (i.key) {
        j.BeginArray().Int(i.key->code).Int(i.key->kind).EndArray();
      } else {
        j.Null();
      }
    }, measure);
    Items(j, m, m.check_boxes, "check_box", [&](const CheckBoxItem& i) {
      j.Key("text").String(i.label);
      NameOrNull(j, "setting", i.setting_name);
      j.Key("checked").Bool(i.setting && *i.setting);
    }, measure);
    Items(j, m, m.sliders, "slider", [&](const SliderItem& i) {
      j.Key("name").String(i.name).Key("minimum").Float(i.minimum).Key("maximum").Float(i.maximum);
      j.Key("value").Float(i.value).Key("update_on_release").Bool(i.update_on_release);
    }, measure);
    Items(j, m, m.timelines, "timeline", [&](const TimelineItem& i) {
      j.Key("name").String(i.name).Key("frames").Int(i.source ? i.source->frames : 0);
    }, measure);
    Items(j, m, m.colour_pickers, "colour_picker", [&](const ColourPickerItem& i) {
      j.Key("hue").Int(i.hue).Key("saturation").Int(i.saturation).Key("value").Int(i.value);
      Colour(j, i.colour);
      Rgb(j, "text_colour", i.text_colour);
      j.Key("callback").Bool(bool(i.on_change));
    }, measure);
    Items(j, m, m.drop_downs, "drop_down", [&](const DropDownItem& i) {
      j.Key("options").BeginArray();
      for (const auto& [index, text] : i.options) j.BeginObject().Key("index").Int(index).Key("text").String(text).EndObject();
      j.EndArray().Key("selected").Int(i.selected).Key("callback").Bool(bool(i.on_choose));
    }, measure);
    Items(j, m, m.detail_lists, "detail_list", [&](const DetailListItem& i) {
      j.Key("name").String(i.name);
      Rgb(j, "background", i.background);
      Rgb(j, "text_colour", i.text);
      j.Key("source").Bool(i.data != nullptr).Key("menu_open").Bool(i.context.open);
      // What its owner holds now: the row count and the first 40 texts.
      if (i.data) {
        std::lock_guard<std::mutex> hold(i.data->lock);
        j.Key("rows").Int(int64_t(i.data->rows.size())).Key("first_rows").BeginArray();
        for (size_t r = 0; r < i.data->rows.size() && r < 40; ++r) j.String(i.data->rows[r].text);
        j.EndArray();
      }
    }, measure);
    Items(j, m, m.labels, "label", [&](const LabelItem& i) { j.Key("text").String(i.text); }, measure);
    Items(j, m, m.colour_labels, "colour_label", [&](const ColourLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text").String(i.text);
    }, measure);
    Items(j, m, m.named_labels, "named_label", [&](const NamedLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text_name").String(i.text_name).Key("text").String(gui.Text(i.text_name));
    }, measure);
    Items(j, m, m.sized_labels, "sized_label", [&](const SizedLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text").String(i.text).Key("point_size").Int(i.point_size).Key("large_font").Bool(i.large_font);
    }, measure);
    j.EndArray().EndObject();
  }
  j.EndArray().EndObject();
  return j.str() + "\n";
}
