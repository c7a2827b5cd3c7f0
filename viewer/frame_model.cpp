// The model's box into view space and in front of the camera.
#include "viewer/frame_model.h"

void ViewBox(const ModelBounds& box, Vec3f& min, Vec3f& max) {
  min = {box.min[0], box.min[2], -box.max[1]};
  max = {box.max[0], box.max[2], -box.min[1]};
}

bool FrameModel(CameraControl& camera, const ModelBounds& box, int view_width, int view_height) {
  if (!box.valid) return false;
  Vec3f min, max;
  ViewBox(box, min, max);
  camera.FrameBox(min, max, view_height > 0 ? float(view_width) / float(view_height) : 1.0f);
  return true;
}
