// Writes the benchmarks' large model (64 surfaces of 32,000 vertices, four
// influences a vertex, COD 4 layout) under DIR and prints its xmodel path.
// With --animated: a model of 20,000 vertices over a chain of 100 bones,
// and beside its tree a looping 60-frame animation ("raw/xanim/fixture_twist")
// that turns the chain's first bone back and forth by up to 30 degrees about
// the chain: every vertex is still skinned by its four bones, and the mesh
// (a plane across the chain, whose triangles join vertices of different
// bones) turns whole within its plane, covering as many pixels as when
// still; prints both paths.
// With --shaped: the large model with each surface bent round a ball, so
// that positions, normals and UVs have the signs, digits and fractions of a
// real model's (the flat grid's whole numbers and one normal are the best
// case for a number formatter).
#include <algorithm>
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

// Surface s's grid (cols wide) laid on a ball of radius 40 to 45 around
// (0, 0, 60), a little higher for each surface; normals point outwards.
void Shape(fixture::ModelFiles& files) {
  int s = 0;
  for (fixture::SurfsSurface& surf : files.surfs[0].surfaces) {
    const int count = int(surf.vertices.size());
    const int cols = std::max(2, int(std::sqrt(double(count)))), rows = (count + cols - 1) / cols;
    const double radius = 40 + 5.0 * s / 64;
    for (int i = 0; i < count; ++i) {
      fixture::SurfsVertex& v = surf.vertices[size_t(i)];
      const double theta = 2 * M_PI * (i % cols) / cols, phi = M_PI * (i / cols + 0.5) / rows;
      const double n[3] = {std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi)};
      for (int k = 0; k < 3; ++k) {
        v.normal[k] = float(n[k]);
        v.position[k] = float(radius * n[k] + (k == 2 ? 60 + 0.37 * s : 0));
      }
      v.u = float(0.93 * (i % cols) / cols + 0.013 * s);
      v.v = float(0.97 * (i / cols) / rows);
    }
    ++s;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool animated = argc == 3 && std::strcmp(argv[2], "--animated") == 0;
  const bool shaped = argc == 3 && std::strcmp(argv[2], "--shaped") == 0;
  if (argc != 2 && !animated && !shaped) {
    std::fprintf(stderr, "usage: vantor_big_model DIR [--animated|--shaped]\n");
    return 2;
  }
  fixture::ModelFiles files =
      animated ? fixture::MakeBigModel(1, 20000, 4, Cod4, 100) : fixture::MakeBigModel(64, 32000, 4, Cod4);
  if (shaped) Shape(files);
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
