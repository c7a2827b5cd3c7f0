// Writes the benchmarks' large model (64 surfaces of 32,000 vertices, four
// influences a vertex, COD 4 layout) under DIR and prints its xmodel path.
#include <cstdio>

#include "tools/fixture/fixture_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor_big_model DIR\n");
    return 2;
  }
  std::string path = fixture::WriteModel(argv[1], fixture::MakeBigModel(64, 32000, 4, Cod4));
  if (path.empty()) return 1;
  std::printf("%s\n", path.c_str());
  return 0;
}
