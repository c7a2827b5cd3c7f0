#include "gui/menu.h"

#include <algorithm>

void StepAnimation(Menu& m, double now_ms, int window_w, int window_h) {
  const double t = m.duration_ms > 0 ? std::clamp((now_ms - m.start_ms) / m.duration_ms, 0.0, 1.0) : 1.0;
  double v = 1.0;
  if (m.animation == MenuAnimation::kSlide) {
    const uint8_t dir = m.opening ? m.open_dir : m.close_dir;
    const double s = m.opening ? 1.0 - t : t;
    m.slide_x = m.slide_y = 0;
    if (dir == kSlideRight) m.slide_x = float(s * window_w);
    if (dir == kSlideLeft) m.slide_x = float(-s * window_w);
    if (dir == kSlideDown) m.slide_y = float(s * window_h);
    if (dir == kSlideUp) m.slide_y = float(-s * window_h);
    v = 1.0 - s;
  } else if (m.animation == MenuAnimation::kFade) {
    m.alpha = float(m.opening ? t : 1.0 - t);
    v = m.alpha;
  }
  if ((m.opening && v >= 1.0) || (!m.opening && v <= 0.0)) m.animating = false;
}
