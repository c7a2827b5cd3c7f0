// Writes one of the models the scripts need and prints its xmodel path:
//   grid DIR     100 small box surfaces laid out 10 x 10 on the ground, for
//                the window test that every surface is drawn;
//   hostile DIR  a COD 4 model whose physics preset, material and bone names
//                carry terminal control sequences (a window-title OSC, a
//                screen clear, a colour), for the test that `info` never
//                prints them raw;
//   chain DIR    a small mesh over a chain of 64 bones, for the window
//                test that a deep skeleton draws without a GL error;
//   levels DIR   a crate of two levels of detail, for the level key;
//   maps DIR     a crate with a colour, a normal and a specular map, for
//                the check that Blender imports its material.
#include <cstdio>
#include <string>

#include "tools/fixture/export_models.h"  // Required for: MakeMappedCrate(), WriteCrateMaps()
#include "tools/fixture/fixture_writer.h"

namespace {

fixture::ModelFiles Grid() {
  fixture::ModelFiles files = fixture::MakePropModel("grid_of_boxes", Cod4);
  fixture::SurfsSurface proto = files.surfs[0].surfaces[0];
  files.surfs[0].surfaces.clear();
  files.xmodel.materials[0].names.clear();
  for (int i = 0; i < 100; ++i) {
    fixture::SurfsSurface s = proto;
    s.vertices.clear();
    s.triangles.clear();
    fixture::AppendBox(s, {float(i % 10) * 9 - 40.5f, float(i / 10) * 9 - 40.5f, 1.2f}, {1.2f, 1.2f, 1.2f});
    s.vertex_count.reset();
    s.triangle_count.reset();
    s.bone_table = fixture::ShortTable(uint16_t(s.vertices.size()), 0);
    files.surfs[0].surfaces.push_back(s);
    files.xmodel.materials[0].names.push_back(files.materials[0].name);
  }
  return files;
}

fixture::ModelFiles Hostile() {
  fixture::ModelFiles files = fixture::MakePropModel("hostile_names", Cod4);
  files.xmodel.physics_preset = "\x1b]0;owned\x07";
  const std::string material = "mtl\x1b[2Jx";
  files.xmodel.materials[0].names = {material};
  files.materials[0].name = material;
  files.parts.bones[0].name = "tag\x1b[31mred\x9b";
  return files;
}

fixture::ModelFiles Levels() {
  fixture::ModelFiles files = fixture::MakePropModel("two_levels", Cod4);
  files.xmodel.lods[1] = {500.0f, "two_levels_lod1"};
  files.xmodel.materials.push_back(files.xmodel.materials[0]);
  files.surfs.push_back(files.surfs[0]);
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 3 ? argv[1] : "";
  if (kind != "grid" && kind != "hostile" && kind != "chain" && kind != "levels" && kind != "maps") {
    std::fprintf(stderr, "usage: vantor_test_model grid|hostile|chain|levels|maps DIR\n");
    return 2;
  }
  if (kind == "maps" && !fixture::WriteCrateMaps(std::string(argv[2]) + "/raw/images")) return 1;
  const std::string path = fixture::WriteModel(argv[2], kind == "grid"      ? Grid()
                                                        : kind == "hostile" ? Hostile()
                                                        : kind == "levels"  ? Levels()
                                                        : kind == "maps"    ? fixture::MakeMappedCrate()
                                                                            : fixture::MakeBigModel(1, 64, 1));
  if (path.empty()) return 1;
  std::printf("%s\n", path.c_str());
  return 0;
}
