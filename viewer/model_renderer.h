// The 3D part of each frame: grid, axis, the model's surfaces from their GPU
// buffers, the bone skeleton, the bounding box and the centre locator, each
// switched by a setting. Runs on the main thread under the worker's lock.
#pragma once

#include "jobs/shown_model.h"
#include "viewer/view_settings.h"
#include "viewer/worker_gl_builder.h"

class ModelRenderer {
 public:
  // Returns true.
  bool DrawScene(const ShownModel& shown, WorkerGlBuilder& gl_data, const ViewSettings& view);

  ModelBounds box;         // the last copied box
  float box_size[3] = {0, 0, 0};
  float box_centre[3] = {0, 0, 0};
  float light[3] = {300, 0, 200};

 private:
  bool DrawModel(const ShownModel& shown, WorkerGlBuilder& gl_data, const ViewSettings& view,
                 ModelBounds& copied);
  void DrawSkeleton(Skeleton& skeleton);
  void DrawBox();
  void DrawLocator();
};
