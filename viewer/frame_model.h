// Framing the loaded model: its box as the renderer draws it (the model is
// Z-up, the view Y-up) placed in the middle of the view by the camera, for
// the "frame model" hotkey and "Frame Model On Load".
#pragma once

#include "model/bounds.h"
#include "viewer/camera.h"

// The box in view space: the renderer's turn of -90 degrees about X maps
// (x, y, z) to (x, z, -y).
void ViewBox(const ModelBounds& box, Vec3f& min, Vec3f& max);
// False, with the camera unchanged, when the box is not valid.
bool FrameModel(CameraControl& camera, const ModelBounds& box, int view_width, int view_height);
