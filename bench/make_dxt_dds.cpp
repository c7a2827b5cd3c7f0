// Writes the DXT decode benchmark's inputs: DIR/dxt1.dds and DIR/dxt5.dds,
// 2048 x 2048 test pictures (DXT5 with an alpha ramp) with their whole mip
// chains, compressed by libsquish.
//   vantor_make_dxt_dds DIR
#include <cstdio>
#include <string>

#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor_make_dxt_dds DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const bool ok =
      fixture::WriteFile(dir + "/dxt1.dds",
                         fixture::WriteDds(fixture::MakeTestPicture(2048, 2048, false), 11, true, true)) &&
      fixture::WriteFile(dir + "/dxt5.dds",
                         fixture::WriteDds(fixture::MakeTestPicture(2048, 2048, true), 13, true, true));
  if (!ok) std::fprintf(stderr, "vantor_make_dxt_dds: could not write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
