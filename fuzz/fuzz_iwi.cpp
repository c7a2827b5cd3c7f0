// Fuzzes the IWI reader and what runs on every image it accepts: the TGA
// decode of the top level, the DDS writer and the GL upload walk (against
// a GL that only checks the sizes it is handed). Input: the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_image_gl.h"
#include "imaging/gl_image.h"
#include "imaging/iwi_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IwiImage image;
  if (image.LoadIWIBytes({data, size}) != img::kSuccess) return 0;
  std::vector<uint8_t> out;
  (void)image.EncodeTGA(out);
  (void)image.EncodeDDS(out);
  CheckingGl gl;
  uint32_t texture = 0;
  (void)UploadIWI(gl, image, texture);
  return 0;
}
