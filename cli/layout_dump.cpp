#include "cli/layout_dump.h"

#include "cli/json_writer.h"
#include "gui/material_table.h"
#include "gui/qor_gui.h"
#include "platform/fs_paths.h"
#include "sound/qor_sound.h"

namespace {

void Rect(JsonWriter& j, const GuiRect& r, bool flags = true) {
  j.BeginArray().Int(r.x).Int(r.y).Int(r.w).Int(r.h);
  if (flags) j.Int(r.flags);
  j.EndArray();
}

void Colour(JsonWriter& j, const Rgba& c) { j.Key("colour").BeginArray().Float(c.r).Float(c.g).Float(c.b).Float(c.a).EndArray(); }

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

// One item: its kind, its rectangles (as laid out, and on screen: plus the
// menu's origin field by field) and the fields its kind has.
template <typename Item, typename Extra>
void Items(JsonWriter& j, const Menu& m, const std::vector<Item>& items, const char* kind, Extra extra) {
  for (const Item& item : items) {
    j.BeginObject().Key("kind").String(kind).Key("rect");
    Rect(j, item.rect);
    const GuiRect& o = m.origin.rect;
    j.Key("screen_rect");
    Rect(j, {item.rect.x + o.x, item.rect.y + o.y, item.rect.w + o.w, item.rect.h + o.h, kAnchorFixed}, false);
    extra(item);
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
    j.Key("items").BeginArray();
    Items(j, m, m.filled_rects, "filled_rect", [&](const FilledRectItem& i) { Colour(j, i.colour); });
    Items(j, m, m.pictures, "picture", [&](const PictureItem& i) {
      Colour(j, i.colour);
      j.Key("material").String(i.material);
    });
    Items(j, m, m.outline_rects, "outline_rect", [&](const OutlineRectItem& i) { Colour(j, i.colour); });
    Items(j, m, m.progress_bars, "progress_bar", [&](const ProgressBarItem& i) {
      j.Key("fill").BeginArray().Float(i.fill.r).Float(i.fill.g).Float(i.fill.b).Float(i.fill.a).EndArray();
      j.Key("progress_name").String(i.name).Key("fade_ms").Double(i.fade_ms);
    });
    Items(j, m, m.picture_buttons, "picture_button", [&](const PictureButtonItem& i) {
      Colour(j, i.label_colour);
      j.Key("material").String(i.material).Key("hover_material").String(i.hover_material);
      j.Key("text").String(i.label).Key("label_offset").BeginArray().Int(i.label_dx).Int(i.label_dy).EndArray();
      j.Key("three_part").Bool(i.three_part);
      Action(j, i.command_text, i.command, bool(i.callback));
    });
    Items(j, m, m.light_bulbs, "light_bulb", [&](const LightBulbItem& i) {
      Colour(j, i.colour);
      j.Key("material").String(i.off_material).Key("hover_material").String(i.on_material);
      Action(j, i.command_text, i.command, false);
    });
    Items(j, m, m.text_buttons, "text_button", [&](const TextButtonItem& i) {
      j.Key("text").String(i.label);
      Action(j, i.command_text, i.command, bool(i.callback));
    });
    Items(j, m, m.check_boxes, "check_box", [&](const CheckBoxItem& i) {
      j.Key("text").String(i.label).Key("setting");
      if (i.setting_name.empty()) {
        j.Null();
      } else {
        j.String(i.setting_name);
      }
      j.Key("checked").Bool(i.setting && *i.setting);
    });
    Items(j, m, m.sliders, "slider", [&](const SliderItem& i) {
      j.Key("name").String(i.name).Key("minimum").Float(i.minimum).Key("maximum").Float(i.maximum);
      j.Key("value").Float(i.value).Key("update_on_release").Bool(i.update_on_release);
    });
    Items(j, m, m.labels, "label", [&](const LabelItem& i) { j.Key("text").String(i.text); });
    Items(j, m, m.colour_labels, "colour_label", [&](const ColourLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text").String(i.text);
    });
    Items(j, m, m.named_labels, "named_label", [&](const NamedLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text_name").String(i.text_name).Key("text").String(gui.Text(i.text_name));
    });
    Items(j, m, m.sized_labels, "sized_label", [&](const SizedLabelItem& i) {
      Colour(j, i.colour);
      j.Key("text").String(i.text).Key("point_size").Int(i.point_size).Key("large_font").Bool(i.large_font);
    });
    j.EndArray().EndObject();
  }
  j.EndArray().EndObject();
  return j.str() + "\n";
}
