// Writes the benchmarks' large model (64 surfaces of 32,000 vertices, four
// influences a vertex, COD 4 layout) under DIR and prints its xmodel path.
// With --animated: a model of 20,000 vertices over a chain of 100 bones,
// and beside its tree a looping 60-frame animation ("raw/xanim/fixture_twist")
// that turns the chain's first bone back and forth by up to 30 degrees about
// the chain: every vertex is still skinned by its four bones, and the mesh
// (a plane across the chain, whose triangles join vertices of different
// bones) turns whole within its plane, covering as many pixels as when
// still; prints both paths.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/xanim_writer.h"

namespace {

std::string WriteTwist(const std::string& root) {
  fixture::XanimDesc d;
  d.frames = 60;
  d.flags = 1;  // looping: one keyed frame more, the first again
  fixture::XanimBoneDesc bone;
  bone.name = "j_chain_1";
  for (int f = 0; f <= d.frames; ++f) {
    const double half_angle = (M_PI / 12) * std::sin(2 * M_PI * f / d.frames);
    bone.rotation.rotations.push_back({0, 0, int16_t(std::lround(std::sin(half_angle) * 32767))});
  }
  d.bones.push_back(std::move(bone));
  const std::string path = root + "/raw/xanim/fixture_twist";
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
    const std::string anim = WriteTwist(argv[1]);
    if (anim.empty()) return 1;
    std::printf("%s\n", anim.c_str());
  }
  return 0;
}
