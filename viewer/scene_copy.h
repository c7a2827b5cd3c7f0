// The 3D view of the last whole frame, kept in a texture. A pass where only
// the overlay changed (the FPS figure, a still window's periodic redraw)
// puts it back, pixel for pixel, instead of drawing the scene again: for a
// model of millions of vertices in software GL that is hundreds of
// milliseconds a pass against one copy of the window's pixels.
#pragma once

#include <cstdint>

class SceneCopy {
 public:
  // Copies the back buffer's (0, 0, width, height) once the scene is drawn
  // (before the overlay). Needs the window's context current.
  void Capture(int width, int height);
  // Draws the copy over the viewport as the next pass's 3D view; false when
  // there is no copy of this size (draw the scene instead).
  [[nodiscard]] bool Restore(int width, int height);
  // Deletes the texture; the context it was made in must be current.
  void Release();

 private:
  uint32_t texture_ = 0;
  int width_ = 0, height_ = 0;
  bool valid_ = false;
};
