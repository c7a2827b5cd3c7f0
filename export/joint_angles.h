// A bone's rotation as Euler angles in degrees: the Maya joint orient and
// the tags report's angle column.
#pragma once

// `q` is x, y, z, w. The identity gives exactly 0, 0, 0; an angle that is
// not finite becomes 0.
void JointAngles(const double q[4], double degrees[3]);
