// Fuzzes the DDS readers: LoadDDS with the TGA decode and DDS writer of
// what it accepts, and the DDS texture loader of the GUI's pictures
// (every pixel format it takes) against a GL that touches every byte it is
// handed. Input: the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_image_gl.h"
#include "imaging/gl_image.h"
#include "imaging/iwi_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IwiImage image;
  if (image.LoadDDSBytes({data, size}) == img::kSuccess) {
    std::vector<uint8_t> out;
    (void)image.EncodeTGA(out);
    (void)image.EncodeDDS(out);
  }
  CheckingGl gl;
  uint32_t texture = 0;
  (void)LoadDDSTextureBytes(gl, {data, size}, texture);
  return 0;
}
