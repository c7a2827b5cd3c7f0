// Fuzzes the xmodel file reader. Input: one byte picking the active game,
// then the file. The model's raw folder does not exist, so the reader's
// look-ups of surfs files all miss and the auto game switch is never taken
// (it would need a file); the default question answerer says no.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "model/xmodel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Xmodel model;
  model.game = FuzzGame(data[0]);
  model.path_valid = true;
  model.name = "fuzz";
  model.raw_dir = "/nonexistent/vantor-fuzz/raw/";
  model.path = model.raw_dir + "xmodel/fuzz";
  (void)model.LoadXmodelBytes(FuzzFile(data, size));
  return 0;
}
