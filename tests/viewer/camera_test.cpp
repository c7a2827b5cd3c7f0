// Camera drags: the constants, re-basing, the two button layouts and the
// GUI taking the mouse.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/camera.h"

namespace {

constexpr float kE = 2.71828183f;
constexpr float kStart = 173.205f;  // |(100, 100, 100)|

Vec3f Target(const Camera& c) {
  Vec3f d = c.ViewDirection();
  return {c.eye.x + d.x * c.center_of_interest, c.eye.y + d.y * c.center_of_interest,
          c.eye.z + d.z * c.center_of_interest};
}
float Distance(Vec3f a, Vec3f b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override { cam_.ResetCamera(); }
  void Drag(int buttons, int x0, int y0, int x1, int y1, int style = 0, bool over_gui = false) {
    cam_.MouseMove(0, x0, y0, style, over_gui);
    cam_.MouseMove(buttons, x0, y0, style, over_gui);
    cam_.MouseMove(buttons, x1, y1, style, over_gui);
  }
  CameraControl cam_;
};

TEST_F(CameraTest, ResetLooksAtTheOriginFromOneHundredEachWay) {
  EXPECT_NEAR(cam_.current().center_of_interest, kStart, 0.05);
  std::array<float, 16> m = cam_.current().ModelView();
  // The origin lies straight ahead, down -Z.
  EXPECT_NEAR(Distance({m[12], m[13], m[14]}, {0, 0, -kStart}), 0, 0.05);
}

// One drag each: the distance it leaves, how far the target moved (a pan
// moves it a thousandth of the distance per pixel), and whether the eye moved.
TEST_F(CameraTest, EachDragMovesTheCameraItsOwnWay) {
  struct Case {
    const char* what;
    int style, buttons, dx, dy;
    bool over_gui;
    float distance, target_moved;
    bool eye_moves;
  };
  const Case cases[] = {
      {"zoom: 500 pixels divide by e", 0, kMouseRight, 500, 0, false, kStart / kE, NAN, true},
      {"tumble keeps target and distance", 0, kMouseLeft, 80, 45, false, kStart, 0, true},
      {"pan", 0, kMouseMiddle, 100, 0, false, kStart, kStart / 10, true},
      {"asset viewer has no middle action", 1, kMouseMiddle, 300, 200, false, kStart, 0, false},
      {"moves over the GUI", 0, kMouseLeft, 300, 300, true, kStart, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cam_.ResetCamera();
    const Camera before = cam_.current();
    Drag(c.buttons, 10, 10, 10 + c.dx, 10 + c.dy, c.style, c.over_gui);
    const Camera& now = cam_.current();
    EXPECT_NEAR(now.center_of_interest, c.distance, 0.05);
    if (!std::isnan(c.target_moved)) {
      EXPECT_NEAR(Distance(Target(now), Target(before)), c.target_moved, 0.05);
    }
    EXPECT_EQ(Distance(now.eye, before.eye) > 1.0f, c.eye_moves);
    EXPECT_EQ(cam_.last_action != CameraAction::kNone, c.eye_moves);
  }
}

// A drag is measured from where it started; released, the next one starts
// from the present camera; adding a button re-bases on the camera and
// pointer the last action left (asset-viewer style: left tumbles, left and
// right pan).
TEST_F(CameraTest, DragsRebaseOnReleaseAndOnAChangeOfAction) {
  Drag(kMouseRight, 100, 100, 600, 100);
  cam_.MouseMove(kMouseRight, 100, 100, 0, false);  // back to the start, same drag
  EXPECT_NEAR(cam_.current().center_of_interest, kStart, 1e-3);
  Drag(kMouseRight, 0, 0, 500, 0);
  Drag(kMouseRight, 0, 0, 500, 0);
  EXPECT_NEAR(cam_.current().center_of_interest, kStart / kE / kE, 1e-3);

  cam_.ResetCamera();
  Drag(kMouseLeft, 0, 0, 50, 0, 1);
  Camera after_tumble = cam_.current();
  cam_.MouseMove(kMouseLeft | kMouseRight, 50, 0, 1, false);
  EXPECT_EQ(cam_.last_action, CameraAction::kPan);
  EXPECT_EQ(cam_.current().eye.x, after_tumble.eye.x);
  cam_.MouseMove(kMouseLeft | kMouseRight, 150, 0, 1, false);
  EXPECT_NEAR(Distance(Target(after_tumble), Target(cam_.current())), after_tumble.center_of_interest / 10, 0.05);
  EXPECT_EQ(cam_.current().orientation.w, after_tumble.orientation.w);
}

}  // namespace
