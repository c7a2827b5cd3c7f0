// Writes a COD 4 model whose physics preset, material and bone names carry
// terminal control sequences (a window-title OSC, a screen clear, a colour),
// for the command-line test that `info` never prints them raw. Prints the
// xmodel path.
#include <cstdio>
#include <string>

#include "tools/fixture/fixture_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor_hostile_model DIR\n");
    return 2;
  }
  fixture::ModelFiles files = fixture::MakePropModel("hostile_names", Cod4);
  files.xmodel.physics_preset = "\x1b]0;owned\x07";
  const std::string material = "mtl\x1b[2Jx";
  files.xmodel.materials[0].names = {material};
  files.materials[0].name = material;
  files.parts.bones[0].name = "tag\x1b[31mred\x9b";
  std::string path = fixture::WriteModel(argv[1], files);
  if (path.empty()) return 1;
  std::printf("%s\n", path.c_str());
  return 0;
}
