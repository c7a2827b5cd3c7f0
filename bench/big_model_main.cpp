// Writes the benchmarks' large model (64 surfaces of 32,000 vertices, four
// influences a vertex, COD 4 layout) under DIR and prints its xmodel path.
// With --animated: a model of 20,000 vertices over a chain of 100 bones,
// and beside its tree a looping 60-frame animation ("raw/xanim/fixture_bend")
// that bends every bone of the chain back and forth; prints both paths.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/xanim_writer.h"

namespace {

std::string WriteBend(const std::string& root) {
  fixture::XanimDesc d;
  d.frames = 60;
  d.flags = 1;  // looping: one keyed frame more, the first again
  for (int b = 1; b < 100; ++b) {
    fixture::XanimBoneDesc bone;
    bone.name = "j_chain_" + std::to_string(b);
    for (int f = 0; f <= d.frames; ++f) {
      const double turn = 0.02 * std::sin(2 * M_PI * f / d.frames);  // the quaternion's x, as stored
      bone.rotation.rotations.push_back({int16_t(std::lround(turn * 32767)), 0, 0});
    }
    d.bones.push_back(std::move(bone));
  }
  const std::string path = root + "/raw/xanim/fixture_bend";
  return fixture::WriteFile(path, fixture::WriteXanim(d)) ? path : "";
}

}  // namespace

int main(int argc, char** argv) {
  const bool animated = argc == 3 && std::strcmp(argv[2], "--animated") == 0;
  if (argc != 2 && !animated) {
    std::fprintf(stderr, "usage: vantor_big_model DIR [--animated]\n");
    return 2;
  }
  const fixture::ModelFiles files =
      animated ? fixture::MakeBigModel(1, 20000, 4, Cod4, 100) : fixture::MakeBigModel(64, 32000, 4, Cod4);
  std::string path = fixture::WriteModel(argv[1], files);
  if (path.empty()) return 1;
  std::printf("%s\n", path.c_str());
  if (animated) {
    const std::string anim = WriteBend(argv[1]);
    if (anim.empty()) return 1;
    std::printf("%s\n", anim.c_str());
  }
  return 0;
}
