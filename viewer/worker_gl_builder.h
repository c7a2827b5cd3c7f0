// The worker's GL side: makes the shared context current, deletes the last
// model's objects and builds the new ones (buffers, textures, skeleton).
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "jobs/worker_gl.h"
#include "platform/gl_window.h"
#include "viewer/model_draw_data.h"
#include "viewer/skeleton.h"

class IwiImage;

class WorkerGlBuilder : public WorkerGl {
 public:
  explicit WorkerGlBuilder(platform::GlWindow& window) : window_(window) {}

  bool MakeCurrent() override { return window_.MakeWorkerCurrent(); }
  void ReleaseCurrent() override;
  void DeleteModelObjects() override;
  void RebuildTrees(const Xmodel& model) override;
  void BuildModelData(Xmodel& model) override;

  // Uploads one loaded image as a texture (0 on failure); set by the
  // window. Without it surfaces draw untextured.
  std::function<GLuint(IwiImage& image)> upload_image;

  // Called at the end of each build, in the worker's context and lock (an
  // animation binds to the model now shown).
  std::function<void(const Xmodel& model)> model_built;

  // Read by the renderer under the worker's lock.
  ModelDrawData draw;
  Skeleton skeleton;
  // Counts the deletes and builds: GL data made for one count is stale at
  // the next. Written under the worker's lock, read without it too.
  std::atomic<uint64_t> builds{0};

 private:
  platform::GlWindow& window_;
};
