// The animation timeline: a track over the frames with the shown frame's
// marker, the notetracks' ticks with their names at the pointer, and seeking
// by a press or a drag along the track.
#include <algorithm>
#include <cmath>
#include <string>

#include "gui/draw2d.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

// A tick within this many pixels of the pointer names its mark.
constexpr float kTickReach = 3.0f;

float XOfFrame(const GuiRect& r, int frames, double frame) {
  return float(r.x) + (frames > 1 ? float(frame / double(frames - 1)) * float(r.w) : 0.0f);
}

}  // namespace

bool DoTimeline(WidgetContext& gui, TimelineItem& t, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = t.rect;
  d.Colour(0.05f, 0.05f, 0.05f, 0.6f * alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));
  d.Colour(0.5f, 0.5f, 0.5f, alpha);
  d.OutlineRect(float(r.x), float(r.y), float(r.w), float(r.h));
  const TimelineSource* s = t.source;
  if (!s || s->frames <= 0) {
    t.dragging = false;
    return false;
  }
  const float mid = float(r.y) + float(r.h) / 2;
  d.Colour(0.35f, 0.35f, 0.35f, alpha);
  d.FillRect(float(r.x), mid - 1, float(r.w), 2);

  // The marks, and the names of those at the pointer.
  const bool hovered = gui.HoverTest(r);
  const float local_x = gui.mouse_x() - gui.menu_origin_x();
  std::string names;
  d.Colour(1.0f, 0.85f, 0.2f, alpha);
  for (const TimelineMark& m : s->marks) {
    const float x = XOfFrame(r, s->frames, m.frame);
    d.FillRect(x, float(r.y) + 2, 1, float(r.h) - 4);
    if (hovered && !t.dragging && std::fabs(local_x - x) <= kTickReach)
      names += (names.empty() ? "" : ", ") + m.name + " (" + std::to_string(m.frame) + ")";
  }
  if (!names.empty()) gui.SetTooltip(names);

  const float marker = XOfFrame(r, s->frames, s->frame);
  d.Colour(0.9f, 0.15f, 0.15f, alpha);
  d.FillRect(marker - 1, float(r.y), 3, float(r.h));

  // A press on the track seeks and holds it; the drag follows the pointer.
  if (!t.dragging && gui.button_held() && gui.ClickTest(r)) t.dragging = true;
  if (t.dragging && !gui.button_held()) t.dragging = false;
  if (!t.dragging || !t.seek) return false;
  gui.SetMouseOverGui();
  const float at = std::clamp((local_x - float(r.x)) / float(std::max(r.w, 1)), 0.0f, 1.0f);
  t.seek(std::round(double(at) * double(s->frames - 1)));
  return true;
}
