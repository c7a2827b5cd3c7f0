// The worker's hook into the window's GL: what its texture step calls in the
// shared context. Apart from the worker so the viewer can implement it
// without seeing the worker.
#pragma once

#include "model/xmodel.h"

// The GL side of the texture step. The window supplies it (its shared
// context); without one the step still rebuilds what needs no GL.
class WorkerGl {
 public:
  virtual ~WorkerGl() = default;
  virtual bool MakeCurrent() = 0;
  virtual void ReleaseCurrent() = 0;
  // Deletes the previous model's textures, buffers and display data.
  virtual void DeleteModelObjects() = 0;
  // Rebuilds the GUI's properties and tags trees from the model.
  virtual void RebuildTrees(const Xmodel& model) = 0;
  // Uploads textures and builds the viewer's data of a loaded model.
  virtual void BuildModelData(Xmodel& model) = 0;
};
