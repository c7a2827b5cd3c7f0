// Fuzzes the material file reader. Input: the file. The images folder does
// not exist, so every existence look-up misses.
#include <cstddef>
#include <cstdint>

#include "model/material_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MaterialLibrary library;
  library.images_dir = "/nonexistent/vantor-fuzz/raw/images/";
  MaterialEntry entry;
  (void)library.LoadMaterialBytes({data, size}, entry);
  return 0;
}
