// Fuzzes the xmodelsurfs reader. Input: one byte picking the layout, then
// the file. The model is set up as after a load: 64 bones (the fixture's big
// model chains that many) and 64 material names on level 0, so a seed of up
// to 64 surfaces reads through.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "model/xmodel.h"

namespace {

constexpr int kBones = 64;
constexpr int kMaterials = 64;

const std::vector<XmodelBone>& FixedBones() {
  static const std::vector<XmodelBone> bones = [] {
    std::vector<XmodelBone> list(kBones);
    list[0].name = "tag_origin";
    for (int i = 1; i < kBones; ++i) {
      list[size_t(i)].name = "j_bone_" + std::to_string(i);
      list[size_t(i)].parent = uint8_t(i - 1);
    }
    return list;
  }();
  return bones;
}

const std::vector<std::string>& FixedMaterials() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (int i = 0; i < kMaterials; ++i) list.push_back("mtl_fuzz_" + std::to_string(i));
    return list;
  }();
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Xmodel model;
  model.game = FuzzGame(data[0]);
  model.layout = model.game;
  model.xmodel_loaded = true;
  model.parts_loaded = true;
  model.surfaces_set_up = true;
  model.lod_count = 1;
  model.bones = FixedBones();
  model.bone_count = int16_t(kBones - 1);
  model.root_bone_count = 1;
  model.lods.resize(1);
  XmodelLod& lod = model.lods[0];
  lod.surf_name = "fuzz_lod0";
  lod.materials = FixedMaterials();
  lod.material_count = int16_t(kMaterials);
  (void)model.ReadSurfaceBytes(lod, FuzzFile(data, size));
  return 0;
}
