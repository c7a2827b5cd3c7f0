// The renderer's read-only view of the model on show: only what it reads
// from the worker itself (the GPU side is the viewer's own WorkerGlBuilder).
// The worker implements it, so the viewer need not see the worker.
#pragma once

#include "model/bounds.h"

class ShownModel {
 public:
  // The bounds of the model on show, copied under the worker's lock.
  virtual ModelBounds ShownBounds() const = 0;

 protected:
  ~ShownModel() = default;
};
