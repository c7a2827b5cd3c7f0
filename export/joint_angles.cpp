// Quaternion to Euler angles (see joint_angles.h).
#include "export/joint_angles.h"

#include <cmath>

void JointAngles(const double q[4], double degrees[3]) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  if (std::fabs(w - 1.0) < 4.37114e-05 && x == 0.0 && y == 0.0 && z == 0.0) {
    degrees[0] = degrees[1] = degrees[2] = 0.0;
    return;
  }
  constexpr double kToDegrees = 180.0 / 3.14159265358979323846;
  degrees[0] = std::atan2(2.0 * (y * z + x * w), w * w - x * x - y * y + z * z) * kToDegrees;
  // Stored rotations are quantised, so a pitch of a right angle can come to
  // just past +-1 here: that is 90 degrees, not an error.
  double sin_y = -2.0 * (x * z - y * w);
  if (sin_y > 1.0) sin_y = 1.0;
  if (sin_y < -1.0) sin_y = -1.0;  // NaN stays NaN and is written as 0
  degrees[1] = std::asin(sin_y) * kToDegrees;
  degrees[2] = std::atan2(2.0 * (x * y + z * w), w * w + x * x - y * y - z * z) * kToDegrees;
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(degrees[i])) degrees[i] = 0.0;
}
