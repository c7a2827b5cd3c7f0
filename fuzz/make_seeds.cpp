// Writes the fuzz targets' seed corpora from the fixture writer:
//   fuzz_make_seeds CORPUS_DIR
// fills CORPUS_DIR/fuzz_xmodel, /fuzz_xmodelparts and /fuzz_xmodelsurfs with
// small well-formed files of every layout and table form, so the fuzzer
// starts from inputs that read through to the end. The xmodel and surfs
// seeds carry the layout-picking byte of fuzz_input.h in front.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tools/fixture/fixture_writer.h"

namespace {

using fixture::ModelFiles;

constexpr GameVersion kLayouts[3] = {Cod4, Cod5, BO};

const char* LayoutTag(GameVersion layout) {
  switch (layout) {
    case Cod4: return "cod4";
    case Cod5: return "cod5";
    case BO: return "bo";
  }
  return "unknown";
}

struct SeedWriter {
  std::string root;
  int written = 0;
  int failed = 0;

  void Write(const std::string& target, const std::string& name, std::vector<uint8_t> bytes) {
    std::string path = root + "/" + target + "/" + name;
    if (fixture::WriteFile(path, bytes)) {
      ++written;
    } else {
      std::fprintf(stderr, "SEEDS: [%s] could not be written\n", path.c_str());
      ++failed;
    }
  }

  // A file read with `game` active (xmodel) or in force (surfs).
  void WriteFor(const std::string& target, const std::string& name, GameVersion game,
                const std::vector<uint8_t>& file) {
    std::vector<uint8_t> bytes;
    bytes.reserve(file.size() + 1);
    bytes.push_back(FuzzSelector(game));
    bytes.insert(bytes.end(), file.begin(), file.end());
    Write(target, name, std::move(bytes));
  }
};

// Four levels in use, a physics preset, a collision level with two
// collision surfaces and a material list per level.
fixture::XmodelDesc FullXmodel(GameVersion layout) {
  fixture::XmodelDesc x;
  x.layout = layout;
  x.physics_preset = "default";
  for (int i = 0; i < 4; ++i)
    x.lods[size_t(i)] = {float(i) * 250.0f, "seed_model_lod" + std::to_string(i)};
  x.collision_lod = 3;
  x.collision = {{1, 0}, {2, 0x7f}};
  for (int i = 0; i < 4; ++i) {
    fixture::MaterialBlock block;
    block.names = {"mtl_seed_body", "mtl_seed_" + std::to_string(i), "mtl_seed_body"};
    x.materials.push_back(block);
  }
  return x;
}

// A weighted surface of each bone-table form the reader tells apart.
fixture::XmodelsurfsDesc TableForms(GameVersion layout) {
  fixture::XmodelsurfsDesc d;
  d.layout = layout;
  auto add = [&](fixture::SurfsBoneTable table, int influences) {
    fixture::SurfsSurface s;
    fixture::AppendBox(s, {0, 0, 0}, {4, 4, 4}, 1);
    s.bone_table = table;
    int i = 0;
    for (fixture::SurfsVertex& v : s.vertices) {
      v.primary_bone = int16_t(1 + i % 3);
      for (int k = 0; k < influences; ++k)
        v.influences.push_back({int16_t((i + k + 2) % 8), uint16_t(65535 / (influences + 1))});
      ++i;
    }
    d.surfaces.push_back(std::move(s));
  };
  add(fixture::ZeroCountTable(5), 0);
  add(fixture::ZeroCountTable(0), 1);
  add(fixture::PaddedTable(3, 2), 2);
  add(fixture::ShortTable(400, 0), 0);
  add(fixture::ListTable({{10, 1}, {8, 2}, {6, 3}}), 3);
  return d;
}

// One vertex with 100 influences: above the COD 4 / COD 5 limit of 99.
fixture::XmodelsurfsDesc ManyInfluences(GameVersion layout) {
  fixture::XmodelsurfsDesc d;
  d.layout = layout;
  fixture::SurfsSurface s;
  fixture::AppendBox(s, {0, 0, 0}, {1, 1, 1}, 0);
  uint16_t half = uint16_t(s.vertices.size() / 2);
  s.bone_table = fixture::ListTable({{half, 0}, {uint16_t(s.vertices.size() - half), 1}});
  // Past the limit a COD 4 / COD 5 reader reads no entries, so none follow.
  if (layout == BO) {
    for (int k = 0; k < 100; ++k) s.vertices[0].influences.push_back({int16_t(k % 64), 600});
  } else {
    s.vertices[0].extra_count = 100;
  }
  d.surfaces.push_back(std::move(s));
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_DIR\n");
    return 2;
  }
  SeedWriter out{argv[1]};

  // Step 1: xmodel files.
  for (GameVersion layout : kLayouts) {
    std::string tag = LayoutTag(layout);
    out.WriteFor("fuzz_xmodel", "prop_" + tag, layout,
                 fixture::WriteXmodel(fixture::MakePropModel("seed_prop", layout).xmodel));
    out.WriteFor("fuzz_xmodel", "full_" + tag, layout, fixture::WriteXmodel(FullXmodel(layout)));
  }
  // A Black Ops file opened with COD 4 active, and COD 4 and COD 5 files
  // each read with the other's layout (the auto switch's case).
  out.WriteFor("fuzz_xmodel", "bo_under_cod4", Cod4, fixture::WriteXmodel(FullXmodel(BO)));
  out.WriteFor("fuzz_xmodel", "cod4_under_cod5", Cod5, fixture::WriteXmodel(FullXmodel(Cod4)));
  out.WriteFor("fuzz_xmodel", "cod5_under_cod4", Cod4, fixture::WriteXmodel(FullXmodel(Cod5)));

  // Step 2: xmodelparts files (one layout for all games).
  out.Write("fuzz_xmodelparts", "prop",
            fixture::WriteXmodelparts(fixture::MakePropModel("seed_prop", Cod4).parts));
  out.Write("fuzz_xmodelparts", "chain64",
            fixture::WriteXmodelparts(fixture::MakeBigModel(1, 4, 1, Cod4).parts));
  {
    fixture::XmodelpartsDesc p;
    p.root_bones = 2;
    p.bones = {{"tag_origin"}, {"tag_weapon"}};
    const double half = 0.70710678118654752;
    fixture::PartsBone a{"j_spine", 0, {1, 2, 3}, fixture::QuantiseRotation(0, 0, half, half)};
    fixture::PartsBone b{"j_head", 2, {0, 0, 8}, fixture::QuantiseRotation(half, 0, 0, half)};
    fixture::PartsBone c{"tag_flash", 1, {12, 0, 0}, {32767, 0, 0}};
    p.bones.push_back(a);
    p.bones.push_back(b);
    p.bones.push_back(c);
    out.Write("fuzz_xmodelparts", "two_roots", fixture::WriteXmodelparts(p));
  }

  // Step 3: xmodelsurfs files, each read with its own layout.
  for (GameVersion layout : kLayouts) {
    std::string tag = LayoutTag(layout);
    out.WriteFor("fuzz_xmodelsurfs", "prop_" + tag, layout,
                 fixture::WriteXmodelsurfs(fixture::MakePropModel("seed_prop", layout).surfs[0]));
    out.WriteFor("fuzz_xmodelsurfs", "grid_" + tag, layout,
                 fixture::WriteXmodelsurfs(fixture::MakeBigModel(2, 36, 4, layout).surfs[0]));
    out.WriteFor("fuzz_xmodelsurfs", "tables_" + tag, layout,
                 fixture::WriteXmodelsurfs(TableForms(layout)));
    out.WriteFor("fuzz_xmodelsurfs", "influences_" + tag, layout,
                 fixture::WriteXmodelsurfs(ManyInfluences(layout)));
  }

  std::printf("fuzz_make_seeds: %d seed files in %s\n", out.written, out.root.c_str());
  return out.failed == 0 ? 0 : 1;
}
