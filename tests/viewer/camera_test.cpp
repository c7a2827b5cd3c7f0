// Camera drags: the constants, re-basing, the two button layouts and the
// GUI taking the mouse; framing the sample soldier (the start view cuts it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/bounds.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/sample_tree.h"
#include "viewer/camera.h"
#include "viewer/frame_model.h"

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

struct CameraTest : testing::Test {
  CameraTest() { cam_.ResetCamera(); }
  void Drag(int buttons, int x0, int y0, int x1, int y1, int style = 0, bool over_gui = false) {
    cam_.MouseMove(0, x0, y0, style, over_gui);
    cam_.MouseMove(buttons, x0, y0, style, over_gui);
    cam_.MouseMove(buttons, x1, y1, style, over_gui);
  }
  CameraControl cam_;
};

// One drag each: the distance it leaves, how far the target moved (a pan
// moves it a thousandth of the distance per pixel), and whether the eye moved.
TEST_F(CameraTest, EachDragMovesTheCameraItsOwnWay) {
  struct Case { const char* what; int style, buttons, dx, dy; bool over_gui;
                float distance, target_moved; bool eye_moves; };
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
  EXPECT_TRUE(cam_.last_action == CameraAction::kPan && cam_.current().eye.x == after_tumble.eye.x);
  cam_.MouseMove(kMouseLeft | kMouseRight, 150, 0, 1, false);
  EXPECT_NEAR(Distance(Target(after_tumble), Target(cam_.current())), after_tumble.center_of_interest / 10, 0.05);
  EXPECT_EQ(cam_.current().orientation.w, after_tumble.orientation.w);
}

// The farthest a corner of the box lies from the middle of an 800 x 600
// view, in halves of its width or height (1: at the edge).
float Reach(const Camera& c, Vec3f lo, Vec3f hi) {
  const std::array<float, 16> m = c.ModelView();
  const float aspect = 800.0f / 600.0f;
  const float cot = 1.0f / std::tan(kFieldOfViewY * float(M_PI) / 360.0f);
  float reach = 0;
  for (int k = 0; k < 8; ++k) {
    const float p[3] = {k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z};
    float e[3];
    for (int r = 0; r < 3; ++r) e[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    const float depth = -e[2];
    reach = std::max({reach, std::fabs(e[0] * cot / aspect / depth), std::fabs(e[1] * cot / depth)});
  }
  return reach;
}

// The sample soldier, loaded as the window loads it, framed from the start
// view: every corner of its box inside the view, the larger extent filling
// about 80 % of it, and tumbling in either mouse style turns about its middle.
TEST_F(CameraTest, FramingTheSoldierShowsItWholeAndTumblesAboutItsMiddle) {
  test_support::TempDir dir;
  ASSERT_FALSE(fixture::WriteSampleTree(dir.path()).empty());
  Xmodel soldier;
  soldier.game = Cod4;
  soldier.scale = 2.54f;  // the window's default model scale
  ASSERT_EQ(soldier.LoadxmodelFull(dir.Sub("cod4/raw/xmodel/fixture_soldier")), err::kSuccess);
  ASSERT_EQ(soldier.LoadSurface(), err::kSuccess);
  const ModelBounds box = ComputeBounds(soldier);
  Vec3f lo, hi;
  ViewBox(box, lo, hi);
  ASSERT_TRUE(FrameModel(cam_, box, 800, 600));
  EXPECT_NEAR(Reach(cam_.current(), lo, hi), 0.8f, 0.01f);
  const Vec3f middle{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
  EXPECT_NEAR(Distance(Target(cam_.current()), middle), 0, 0.01);
  for (int style : {0, 1}) {
    const Camera framed = cam_.current();
    Drag(kMouseLeft, 100, 100, 160, 130, style);
    EXPECT_NEAR(Distance(Target(cam_.current()), middle), 0, 0.05) << style;
    EXPECT_GT(Distance(cam_.current().eye, framed.eye), 1.0f) << style;
  }
}

}  // namespace
