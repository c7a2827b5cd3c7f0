// Camera math: quaternions, the look-at matrix and the three drags.
#include "viewer/camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kE = 2.71828183;
constexpr double kZoomPixels = 500.0;
constexpr double kPanPixels = 1000.0;
constexpr double kTumblePixels = 100.0;

Vec3f Add(Vec3f a, Vec3f b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3f Sub(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f Mul(Vec3f a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f Cross(Vec3f a, Vec3f b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3f Normalise(Vec3f a) {
  float l = std::sqrt(Dot(a, a));
  return l > 0 ? Mul(a, 1.0f / l) : a;
}

Quatf QMul(Quatf a, Quatf b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
          a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
          a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quatf AxisAngle(Vec3f axis, double angle) {
  Vec3f n = Normalise(axis);
  float s = float(std::sin(angle / 2));
  return {n.x * s, n.y * s, n.z * s, float(std::cos(angle / 2))};
}

Vec3f Rotate(Quatf q, Vec3f v) {
  // v' = v + 2w (u x v) + 2 u x (u x v), u the vector part.
  Vec3f u{q.x, q.y, q.z};
  Vec3f t = Mul(Cross(u, v), 2.0f);
  return Add(Add(v, Mul(t, q.w)), Cross(u, t));
}

Quatf Normalise(Quatf q) {
  float l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  return l > 0 ? Quatf{q.x / l, q.y / l, q.z / l, q.w / l} : Quatf{};
}

// The orientation whose -Z looks from `eye` to `target` with `up` above.
Quatf LookRotation(Vec3f eye, Vec3f target, Vec3f up) {
  Vec3f f = Normalise(Sub(target, eye));
  Vec3f r = Normalise(Cross(f, up));
  Vec3f u = Cross(r, f);
  // Columns of the rotation: r, u, -f.
  float m00 = r.x, m01 = u.x, m02 = -f.x;
  float m10 = r.y, m11 = u.y, m12 = -f.y;
  float m20 = r.z, m21 = u.z, m22 = -f.z;
  float trace = m00 + m11 + m22;
  Quatf q;
  if (trace > 0) {
    float s = std::sqrt(trace + 1.0f) * 2;
    q = {(m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s, 0.25f * s};
  } else if (m00 > m11 && m00 > m22) {
    float s = std::sqrt(1.0f + m00 - m11 - m22) * 2;
    q = {0.25f * s, (m01 + m10) / s, (m02 + m20) / s, (m21 - m12) / s};
  } else if (m11 > m22) {
    float s = std::sqrt(1.0f + m11 - m00 - m22) * 2;
    q = {(m01 + m10) / s, 0.25f * s, (m12 + m21) / s, (m02 - m20) / s};
  } else {
    float s = std::sqrt(1.0f + m22 - m00 - m11) * 2;
    q = {(m02 + m20) / s, (m12 + m21) / s, 0.25f * s, (m10 - m01) / s};
  }
  return Normalise(q);
}

}  // namespace

Vec3f Camera::ViewDirection() const { return Rotate(orientation, {0, 0, -1}); }
Vec3f Camera::Up() const { return Rotate(orientation, {0, 1, 0}); }

std::array<float, 16> Camera::ModelView() const {
  Vec3f f = Normalise(ViewDirection());
  Vec3f s = Normalise(Cross(f, {0, 1, 0}));
  Vec3f u = Cross(s, f);
  return {s.x, u.x, -f.x, 0,
          s.y, u.y, -f.y, 0,
          s.z, u.z, -f.z, 0,
          -Dot(s, eye), -Dot(u, eye), Dot(f, eye), 1};
}

void CameraControl::ResetCamera() {
  Camera c;
  c.eye = {100, 100, 100};
  c.orientation = LookRotation(c.eye, {0, 0, 0}, {0, 1, 0});
  c.center_of_interest = std::sqrt(Dot(c.eye, c.eye));
  current_cam = c;
  initial_cam = c;
  last_action = CameraAction::kNone;
}

void CameraControl::FrameBox(Vec3f lo, Vec3f hi, float aspect, float fill) {
  const Vec3f centre = Mul(Add(lo, hi), 0.5f);
  Camera c = current_cam;
  // The eye's axes as ModelView builds them.
  const Vec3f f = Normalise(c.ViewDirection());
  Vec3f s = Normalise(Cross(f, {0, 1, 0}));
  if (Dot(s, s) == 0) s = {1, 0, 0};  // looking straight up or down
  const Vec3f u = Cross(s, f);
  const double tan_y = std::tan(double(kFieldOfViewY) * M_PI / 360.0) * double(fill);
  const double tan_x = tan_y * double(aspect > 0 ? aspect : 1.0f);
  // Each corner, at its depth from the eye (distance + z), must lie within
  // the filled part of the view, and in front of the near plane.
  double distance = 0;
  for (int k = 0; k < 8; ++k) {
    const Vec3f corner{k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z};
    const Vec3f d = Sub(corner, centre);
    const double x = std::fabs(Dot(d, s)), y = std::fabs(Dot(d, u)), z = Dot(d, f);
    distance = std::max({distance, x / tan_x - z, y / tan_y - z, 2.0 * kNearPlane - z});
  }
  c.eye = Sub(centre, Mul(f, float(distance)));
  c.center_of_interest = float(distance);
  current_cam = c;
  initial_cam = c;
  last_action = CameraAction::kNone;
}

void CameraControl::MouseMove(int buttons, int x, int y, int style, bool over_gui) {
  if (over_gui) return;
  if (!(buttons & (kMouseLeft | kMouseRight | kMouseMiddle))) {
    initial_mouse[0] = x;
    initial_mouse[1] = y;
    initial_cam = current_cam;
    last_action = CameraAction::kNone;
    return;
  }

  // Buttons to the three drag inputs.
  bool left, middle, right;
  if (style == 1) {
    const bool l = buttons & kMouseLeft, r = buttons & kMouseRight;
    left = l && !r;
    right = r && !l;
    middle = l && r;
  } else {
    left = buttons & kMouseLeft;
    middle = buttons & kMouseMiddle;
    right = buttons & kMouseRight;
  }
  CameraAction action;
  if (right || (left && middle)) action = CameraAction::kZoom;
  else if (left) action = CameraAction::kTumble;
  else if (middle) action = CameraAction::kPan;
  else return;

  if (action != last_action) {
    initial_cam = current_cam;
    initial_mouse[0] = x;
    initial_mouse[1] = y;
  }
  last_action = action;

  // Every step starts from the drag's start, so nothing accumulates.
  const double dx = x - initial_mouse[0];
  const double dy = y - initial_mouse[1];
  const Camera& c0 = initial_cam;
  const Vec3f w = Normalise(c0.ViewDirection());
  const Vec3f target = Add(c0.eye, Mul(w, c0.center_of_interest));
  Camera c = c0;
  switch (action) {
    case CameraAction::kZoom: {
      float distance = float(std::pow(kE, -(dx + dy) / kZoomPixels) * c0.center_of_interest);
      c.eye = Sub(target, Mul(w, distance));
      c.center_of_interest = distance;
      break;
    }
    case CameraAction::kPan: {
      float px = float(dx / kPanPixels * c0.center_of_interest);
      float py = float(dy / kPanPixels * c0.center_of_interest);
      Vec3f u = Normalise(Cross({0, 1, 0}, w));
      Vec3f v = Normalise(Cross(w, u));
      c.eye = Add(Add(c0.eye, Mul(u, px)), Mul(v, py));
      break;
    }
    case CameraAction::kTumble: {
      double ay = dy / kTumblePixels;
      double ax = dx / -kTumblePixels;
      Vec3f u = Normalise(Cross({0, 1, 0}, w));
      if (c0.Up().y < 0) {
        ax = -ax;
        ay = -ay;
      }
      Quatf about_u = AxisAngle(u, ay);
      Quatf about_y = AxisAngle({0, 1, 0}, ax);
      Vec3f r = Rotate(about_y, Rotate(about_u, Sub(c0.eye, target)));
      c.eye = Add(target, r);
      // Turning the view by the same world rotations keeps it on the target.
      c.orientation = Normalise(QMul(about_y, QMul(about_u, c0.orientation)));
      break;
    }
    default: break;
  }
  current_cam = c;
}
