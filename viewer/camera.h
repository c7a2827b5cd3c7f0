// The orbiting perspective camera and its mouse control: tumble, pan and
// zoom about a centre of interest in front of the eye, in the Maya or the
// asset-viewer button layout. Plain math, no GL: the frame loads ModelView().
#pragma once

#include <array>

struct Vec3f {
  float x = 0, y = 0, z = 0;
};

// A unit quaternion (x, y, z, w).
struct Quatf {
  float x = 0, y = 0, z = 0, w = 1;
};

struct Camera {
  Vec3f eye{100, 100, 100};
  Quatf orientation;
  float center_of_interest = 173.205f;

  // The orientation applied to (0, 0, -1).
  Vec3f ViewDirection() const;
  Vec3f Up() const;  // the orientation applied to (0, 1, 0)
  // Column-major 4 x 4 look-at from the eye along the view direction with
  // the world's up (0, 1, 0).
  std::array<float, 16> ModelView() const;
};

// The projection the frame loads (shell/qor_opengl.cpp).
inline constexpr float kFieldOfViewY = 45.0f;  // degrees
inline constexpr float kNearPlane = 0.9f;
inline constexpr float kFarPlane = 15000.0f;

enum class CameraAction { kNone = 0, kZoom = 1, kPan = 2, kTumble = 3 };

// Button bits of a mouse move.
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr int kMouseMiddle = 16;

class CameraControl {
 public:
  // Eye (100, 100, 100) looking at the origin.
  void ResetCamera();
  // `style` is "mouse_style": 0 Maya, 1 asset viewer. `over_gui`: the pointer
  // is over a menu or item, which takes the mouse.
  void MouseMove(int buttons, int x, int y, int style, bool over_gui);
  // Keeps the view direction and moves the eye so that the box (view
  // space) fills `fill` of the view's height or width, whichever it reaches
  // first, around the middle; the box's centre becomes the centre of
  // interest, which tumbling and zooming turn about. A drag under way
  // starts again from here.
  void FrameBox(Vec3f min, Vec3f max, float aspect, float fill = 0.8f);

  const Camera& current() const { return current_cam; }
  std::array<float, 16> ModelView() const { return current_cam.ModelView(); }

  Camera current_cam;
  Camera initial_cam;
  int initial_mouse[2] = {0, 0};
  CameraAction last_action = CameraAction::kNone;
};
