// The records of the small widgets: picture buttons, light-bulb toggles,
// text buttons, check boxes, the slider and progress bars. Each keeps its
// design and laid-out rectangles (Placed) and the little state it carries
// from frame to frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/commands.h"
#include "gui/item_base.h"

struct PictureButtonItem : Placed {
  Rgba label_colour;
  std::string material, hover_material;
  std::string label;
  int16_t label_dx = 0, label_dy = 0;
  CommandList command;
  std::string command_text;
  bool three_part = true;
  std::function<void()> callback;  // instead of the command, when set
  bool hovered = false;
};

struct LightBulbItem : Placed {
  Rgba colour, hover_colour;
  std::string off_material, on_material;
  CommandList command;
  std::string command_text;
  bool hovered = false;
};

struct TextButtonItem : Placed {
  std::string label;
  int16_t label_dx = 10, label_dy = 15;
  CommandList command;
  std::string command_text;
  std::function<void()> callback;
  bool hovered = false;
};

struct CheckBoxItem : Placed {
  GuiRect box_design, box;  // the 15 x 15 box; the rectangle is the hot area
  std::string label;
  bool* setting = nullptr;
  std::string setting_name;  // "Key/value"
};

struct SliderItem : Placed {
  std::string name;
  float minimum = 0, maximum = 1, value = 0;
  float* bound = nullptr;
  std::function<void(float)> callback;
  std::string setting_name;
  bool update_on_release = true;
  bool dragging = false;
  double drag_start = 0;
};

struct ProgressBarItem : Placed {
  Rgba fill;
  std::string name;  // the progress value it shows
  int fill_width = 0;
  bool full = false, faded = false;
  double fade_start = 0;
  double fade_ms = 0;
};

// What a timeline shows, written by its owner each frame: the frames (none:
// an empty track), the frame at the marker (fractional while playing) and
// the named marks along the track.
struct TimelineMark {
  int frame = 0;
  std::string name;
};
struct TimelineSource {
  int frames = 0;
  double frame = 0;
  std::vector<TimelineMark> marks;
};

struct TimelineItem : Placed {
  std::string name;
  TimelineSource* source = nullptr;
  std::function<void(double frame)> seek;  // a click or a drag on the track
  bool dragging = false;
};
