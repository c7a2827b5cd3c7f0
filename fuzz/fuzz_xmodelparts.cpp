// Fuzzes the xmodelparts reader. Input: the whole file (the layout is the
// same for every game).
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/xmodel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Xmodel model;
  model.game = Cod4;
  model.xmodel_loaded = true;
  model.lod_names = {"fuzz_lod0", "", "", ""};
  (void)model.LoadPartsBytes(std::span<const uint8_t>(data, size));
  return 0;
}
