// Writes the fuzz targets' seed corpora from the fixture writer:
//   fuzz_make_seeds CORPUS_DIR
// fills CORPUS_DIR/fuzz_xmodel, /fuzz_xmodelparts, /fuzz_xmodelsurfs,
// /fuzz_iwi, /fuzz_dds, /fuzz_material, /fuzz_wav, /fuzz_iwd and /fuzz_xanim with
// small well-formed files of every layout and table form, so the fuzzer
// starts from inputs that read through to the end. The xmodel and surfs
// seeds carry the layout-picking byte of fuzz_input.h in front.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwd_writer.h"
#include "tools/fixture/iwi_writer.h"
#include "tools/fixture/wav_writer.h"
#include "tools/fixture/xanim_writer.h"

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

// An uncompressed DDS of `w` x `h` for the texture loader: ARGB8,
// A1R5G5B5, R5G6B5 or an 8-bit palette, `levels` levels.
std::vector<uint8_t> UncompressedDds(uint32_t pf_flags, uint32_t bits, std::array<uint32_t, 4> masks, uint32_t w,
                                     uint32_t h, uint32_t levels) {
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
  };
  u32(0x20534444), u32(124), u32(0x1007 | (levels > 1 ? 0x20000 : 0)), u32(h), u32(w), u32(0), u32(0), u32(levels);
  for (int i = 0; i < 11; ++i) u32(0);
  u32(32), u32(pf_flags), u32(0), u32(bits);
  for (uint32_t m : masks) u32(m);
  u32(0x1000), u32(0), u32(0), u32(0), u32(0);
  if (pf_flags & 0x20)
    for (int i = 0; i < 256; ++i) u32(0xFF000000u | uint32_t(i) * 0x010203u);
  for (uint32_t l = 0; l < levels; ++l, w = (w + 1) / 2, h = (h + 1) / 2)
    for (uint32_t i = 0; i < w * h * (bits / 8); ++i) out.push_back(uint8_t(i * 37));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_DIR\n");
    return 2;
  }
  SeedWriter out{argv[1]};

  // Xmodel files.
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
  {
    // Black Ops: a ".map" name before the preset.
    fixture::XmodelDesc x = FullXmodel(BO);
    x.source_map = "p_seed_crate.map";
    out.WriteFor("fuzz_xmodel", "source_map_bo", BO, fixture::WriteXmodel(x));
  }

  // Xmodelparts files (one layout for all games).
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

  // Xmodelsurfs files, each read with its own layout.
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
  {
    // Black Ops vertices with the extended tag, weighted and rigid.
    fixture::XmodelsurfsDesc d = TableForms(BO);
    for (size_t i : {size_t(2), size_t(3)})
      for (size_t v = 0; v < d.surfaces[i].vertices.size(); v += 2)
        fixture::SetTriangleList(d.surfaces[i].vertices[v], {0, uint16_t(v / 2), 11}, 3.5f);
    out.WriteFor("fuzz_xmodelsurfs", "extended_vertices_bo", BO, fixture::WriteXmodelsurfs(d));
  }

  // Images. Every IWI version and format, a full chain, a top
  // level alone, odd sizes; DDS files of each S3TC format and of each
  // uncompressed format the texture loader takes.
  const int kSizes[][2] = {{16, 8}, {5, 3}, {1, 1}};
  for (int version : {6, 8, 13}) {
    for (uint8_t format : {uint8_t(1), uint8_t(2), uint8_t(11), uint8_t(12), uint8_t(13)}) {
      for (auto [w, h] : kSizes) {
        fixture::IwiDesc d;
        d.version = version;
        d.format = format;
        d.picture = fixture::MakeTestPicture(w, h, format != 2 && format != 11);
        d.mips = w != 5;
        out.Write("fuzz_iwi",
                  "v" + std::to_string(version) + "_f" + std::to_string(format) + "_" + std::to_string(w) + "x" +
                      std::to_string(h),
                  fixture::WriteIwi(d));
      }
    }
  }
  // Cube maps: six faces of the top level (as the games' skyboxes), and
  // six faces with their mip levels.
  for (bool mips : {false, true}) {
    fixture::IwiDesc d;
    d.version = mips ? 6 : 13;
    d.format = mips ? 1 : 11;
    d.faces = fixture::MakeCubeFaces(8);
    d.mips = mips;
    out.Write("fuzz_iwi", mips ? "cube_f1_mips" : "cube_f11_top", fixture::WriteIwi(d));
  }
  for (uint8_t format : {uint8_t(11), uint8_t(12), uint8_t(13)}) {
    out.Write("fuzz_dds", "dxt_" + std::to_string(format), fixture::WriteDds(fixture::MakeTestPicture(16, 8, true), format));
    out.Write("fuzz_dds", "dxt_top_" + std::to_string(format),
              fixture::WriteDds(fixture::MakeTestPicture(5, 3, true), format, false));
  }
  out.Write("fuzz_dds", "argb8", UncompressedDds(0x41, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 8, 4, 4));
  out.Write("fuzz_dds", "a1r5g5b5", UncompressedDds(0x41, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}, 5, 3, 3));
  out.Write("fuzz_dds", "r5g6b5", UncompressedDds(0x40, 16, {0xF800, 0x7E0, 0x1F, 0}, 4, 4, 1));
  out.Write("fuzz_dds", "palette8", UncompressedDds(0x20, 8, {0, 0, 0, 0}, 8, 8, 4));

  // Material files: the usual three maps, none, long names, and a
  // count with the stock files' non-zero bytes after it.
  out.Write("fuzz_material", "three_maps",
            fixture::WriteMaterial({"mtl_seed", {{"colorMap", "~-gseed_col"}, {"normalMap", "seed_nml"},
                                                 {"specularMap", "~seed_spc-rgb&~-r~0a1b2c3d"}}}));
  out.Write("fuzz_material", "empty", fixture::WriteMaterial({"mtl_empty", {}}));
  out.Write("fuzz_material", "long_names",
            fixture::WriteMaterial({"mtl_long", {{std::string(60, 's'), std::string(230, 'i')}}}));
  {
    fixture::MaterialDesc d{"mtl_after", {{"Diffuse_MapSampler", "seed"}, {"colorDetailMap", "detail"}}};
    d.after_count = 3;
    out.Write("fuzz_material", "after_count", fixture::WriteMaterial(d));
  }

  // WAV files: plain and extensible PCM, a chunk before the format, a
  // streamed file's oversized data size.
  out.Write("fuzz_wav", "mono8", fixture::MakeWav({.channels = 1, .bits = 8, .frames = 64}));
  out.Write("fuzz_wav", "stereo16_list", fixture::MakeWav({.channels = 2, .frames = 64, .list_chunk_first = true}));
  out.Write("fuzz_wav", "quad16", fixture::MakeWav({.channels = 4, .frames = 16, .format_tag = 0xFFFE, .channel_mask = 0x33}));
  out.Write("fuzz_wav", "streamed", fixture::MakeWav({.channels = 1, .frames = 64, .claimed_data = 0x7FFFFFFF}));

  // Animations: a constant and a keyed channel, a simple bone, a frame
  // list, small translations, root motion and a note; then looping with
  // two-byte frame lists. (scripts/fuzz adds the sample trees' real ones.)
  {
    fixture::XanimDesc d;
    d.frames = 4;
    d.flags = 2;
    d.root_yaw.rotations = {{0, 0, 50}};
    d.root_translation.translations = {{0, 0, 0}, {0, 8, 0}};
    d.root_translation.frames = {0, 3};
    fixture::XanimBoneDesc root;
    root.name = "j_mainroot";
    root.rotation.rotations = {{0, 0, 0}, {100, 0, 0}, {0, 200, 0}, {0, 0, 300}};
    root.translation.translations = {{0, 0, 1}, {0, 0, 2}};
    root.translation.frames = {0, 2};
    fixture::XanimBoneDesc spine;
    spine.name = "j_spine4";
    spine.simple = true;
    spine.rotation.rotations = {{0, 0, 1000}};
    d.bones = {root, spine};
    d.notes = {{"footstep", 2}};
    out.Write("fuzz_xanim", "walk", fixture::WriteXanim(d));
    d.frames = 299;
    d.flags = 1;
    root.rotation.frames = {0, 150, 298, 299};
    root.translation.small = false;
    d.bones = {root, spine};
    out.Write("fuzz_xanim", "long_loop", fixture::WriteXanim(d));
  }

  // Archives: deflated and stored images, a nested folder, a folder entry,
  // a name in another case, one directory record over another's data, an
  // empty archive. (scripts/fuzz adds the sample tree's real ones.)
  {
    fixture::IwdDesc d = fixture::MakeImageArchive("seed", 4);
    d.entries.push_back({"images/", {}, false});
    d.entries.push_back({"IMAGES/ui/Seed_Icon.IWI", fixture::MakeIwiBytes(7, 8, 8), false});
    out.Write("fuzz_iwd", "images", fixture::WriteIwd(d));
    fixture::IwdEntry shared;
    shared.name = "images/shared.iwi";
    shared.same_data_as = 0;
    d.entries.push_back(shared);
    out.Write("fuzz_iwd", "shared_data", fixture::WriteIwd(d));
    out.Write("fuzz_iwd", "empty", fixture::WriteIwd({}));
  }

  std::printf("fuzz_make_seeds: %d seed files in %s\n", out.written, out.root.c_str());
  return out.failed == 0 ? 0 : 1;
}
