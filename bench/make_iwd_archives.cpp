// Writes the IWD mover benchmark's archives: ENTRIES small ".iwi" images
// (16 × 16 to 64 × 64 DXT1, three in four deflated) spread over ARCHIVES
// archives "iw_00.iwd", "iw_01.iwd", ... in DIR.
//
//   vantor_make_iwd_archives DIR [ENTRIES] [ARCHIVES]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/fixture/iwd_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vantor_make_iwd_archives DIR [ENTRIES] [ARCHIVES]\n");
    return 2;
  }
  std::string dir = argv[1];
  int entries = argc > 2 ? std::atoi(argv[2]) : 5000;
  int archives = argc > 3 ? std::atoi(argv[3]) : 4;
  if (entries < 1 || archives < 1 || archives > 100) {
    std::fprintf(stderr, "ENTRIES must be at least 1, ARCHIVES 1 to 100\n");
    return 2;
  }
  for (int a = 0; a < archives; ++a) {
    int count = entries / archives + (a < entries % archives ? 1 : 0);
    char name[16];
    std::snprintf(name, sizeof name, "iw_%02d.iwd", a);
    if (!fixture::WriteIwdFile(dir + "/" + name, fixture::MakeImageArchive("bench" + std::to_string(a), count, a + 1))) {
      std::fprintf(stderr, "could not write %s/%s\n", dir.c_str(), name);
      return 1;
    }
  }
  return 0;
}
