// Camera drags: the constants, re-basing, the two button layouts and the
// GUI taking the mouse.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/camera.h"

namespace {

Vec3f Target(const Camera& c) {
  Vec3f d = c.ViewDirection();
  return {c.eye.x + d.x * c.center_of_interest, c.eye.y + d.y * c.center_of_interest,
          c.eye.z + d.z * c.center_of_interest};
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override { cam_.ResetCamera(); }
  void Drag(int buttons, int x0, int y0, int x1, int y1, int style = 0) {
    cam_.MouseMove(0, x0, y0, style, false);
    cam_.MouseMove(buttons, x0, y0, style, false);
    cam_.MouseMove(buttons, x1, y1, style, false);
  }
  CameraControl cam_;
};

TEST_F(CameraTest, ResetLooksAtTheOriginFromOneHundredEachWay) {
  const Camera& c = cam_.current();
  EXPECT_NEAR(c.center_of_interest, 173.2, 0.05);
  std::array<float, 16> m = c.ModelView();
  // The origin lies straight ahead, 173.2 units down -Z.
  EXPECT_NEAR(m[12], 0, 1e-3);
  EXPECT_NEAR(m[13], 0, 1e-3);
  EXPECT_NEAR(m[14], -173.2, 0.05);
}

TEST_F(CameraTest, ZoomDragOfFiveHundredPixelsDividesTheDistanceByE) {
  float d0 = cam_.current().center_of_interest;
  Drag(kMouseRight, 100, 100, 600, 100);
  EXPECT_NEAR(cam_.current().center_of_interest, d0 / 2.71828183, 1e-3);
  cam_.MouseMove(kMouseRight, 100, 100, 0, false);  // back to the start, same drag
  EXPECT_EQ(cam_.current().center_of_interest, d0);
  // Released, the next drag starts from the present camera.
  Drag(kMouseRight, 0, 0, 500, 0);
  Drag(kMouseRight, 0, 0, 500, 0);
  EXPECT_NEAR(cam_.current().center_of_interest, d0 / 2.71828183 / 2.71828183, 1e-3);
}

TEST_F(CameraTest, TumbleKeepsTheTargetAndTheDistance) {
  Drag(kMouseLeft, 10, 10, 90, 55);
  const Camera& c = cam_.current();
  Vec3f t = Target(c);
  EXPECT_NEAR(t.x, 0, 1e-2);
  EXPECT_NEAR(t.y, 0, 1e-2);
  EXPECT_NEAR(t.z, 0, 1e-2);
  EXPECT_NEAR(std::sqrt(c.eye.x * c.eye.x + c.eye.y * c.eye.y + c.eye.z * c.eye.z), 173.2, 0.05);
  EXPECT_GT(std::fabs(c.eye.x - 100), 1.0f);
}

TEST_F(CameraTest, PanMovesEyeAndTargetTogether) {
  Drag(kMouseMiddle, 0, 0, 100, 0);
  const Camera& c = cam_.current();
  Vec3f t = Target(c);
  float moved = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
  EXPECT_NEAR(moved, 100.0 / 1000.0 * 173.205, 0.05);
  EXPECT_NEAR(c.center_of_interest, 173.205, 0.01);
}

TEST_F(CameraTest, ChangingTheActionRebasesTheDrag) {
  // Asset-viewer style: left tumbles; adding the right makes it a pan that
  // starts from where the tumble left the camera and the pointer.
  cam_.MouseMove(0, 0, 0, 1, false);
  cam_.MouseMove(kMouseLeft, 0, 0, 1, false);
  cam_.MouseMove(kMouseLeft, 50, 0, 1, false);
  Camera after_tumble = cam_.current();
  cam_.MouseMove(kMouseLeft | kMouseRight, 50, 0, 1, false);
  EXPECT_EQ(cam_.last_action, CameraAction::kPan);
  EXPECT_EQ(cam_.current().eye.x, after_tumble.eye.x);
  cam_.MouseMove(kMouseLeft | kMouseRight, 150, 0, 1, false);
  Vec3f a = Target(after_tumble), b = Target(cam_.current());
  float moved = std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
  EXPECT_NEAR(moved, 100.0 / 1000.0 * after_tumble.center_of_interest, 0.05);
  EXPECT_EQ(cam_.current().orientation.w, after_tumble.orientation.w);
}

// The asset-viewer layout has no middle-button action; the GUI's moves
// never reach the camera.
TEST_F(CameraTest, MiddleButtonInAssetViewerAndMovesOverTheGuiDoNothing) {
  Camera before = cam_.current();
  Drag(kMouseMiddle, 0, 0, 300, 200, 1);
  cam_.MouseMove(kMouseLeft, 0, 0, 0, true);
  cam_.MouseMove(kMouseLeft, 300, 300, 0, true);
  EXPECT_EQ(cam_.current().eye.x, before.eye.x);
  EXPECT_EQ(cam_.current().eye.z, before.eye.z);
  EXPECT_EQ(cam_.last_action, CameraAction::kNone);
}

}  // namespace
