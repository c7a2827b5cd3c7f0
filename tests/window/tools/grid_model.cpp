// Writes a model of 100 small box surfaces laid out 10 x 10 on the ground,
// for the window test that every surface is drawn. Prints the xmodel path.
#include <cstdio>
#include <string>

#include "tools/fixture/fixture_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor_grid_model DIR\n");
    return 2;
  }
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
  std::string path = fixture::WriteModel(argv[1], files);
  if (path.empty()) return 1;
  std::printf("%s\n", path.c_str());
  return 0;
}
