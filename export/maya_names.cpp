// Maya node names for a model (see maya_names.h).
#include "export/maya_names.h"

#include <cassert>
#include <set>

#include "export/output_names.h"

namespace {

// Nodes every scene holds: the ones fixed blocks A and B create, the shared
// default nodes they select or connect to, and the skeleton's root.
constexpr std::string_view kSceneNodes[] = {
    "persp", "perspShape", "top", "topShape", "front", "frontShape", "side", "sideShape",
    "lightLinker1", "layerManager", "defaultLayer", "renderLayerManager", "defaultRenderLayer",
    "sceneConfigurationScriptNode", "time1", "renderPartition", "renderGlobalsList1",
    "defaultShaderList1", "postProcessList1", "lightList1", "initialShadingGroup", "initialParticleSE",
    "hardwareRenderGlobals", "defaultHardwareRenderGlobals", "ikSystem", "defaultLightSet",
    "defaultRenderUtilityList1", "defaultTextureList1", "Joints",
};

// A material is five nodes; its name is free only when all five are.
constexpr std::string_view kMaterialSuffixes[] = {"", "SG", "MI", "FILE", "P2DT"};

class Claims {
 public:
  void Take(const std::string& name) { taken_.insert(name); }
  bool Free(const std::string& name) const { return taken_.count(name) == 0; }
  bool MaterialFree(const std::string& base) const {
    for (std::string_view suffix : kMaterialSuffixes)
      if (!Free(base + std::string(suffix))) return false;
    return true;
  }
  void TakeMaterial(const std::string& base) {
    for (std::string_view suffix : kMaterialSuffixes) Take(base + std::string(suffix));
  }

 private:
  std::set<std::string> taken_;
};

}  // namespace

std::string MayaNodeName(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 1);
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) out += '_';
  for (unsigned char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    out += ok ? char(c) : '_';
  }
  return out;
}

const std::string& MayaNames::Joint(int index) const {
  static const std::string kNotFound = "tag_not_fnd";
  if (index < 0 || size_t(index) >= joints.size()) return kNotFound;
  return joints[size_t(index)];
}

const std::string& MayaNames::Material(std::string_view name) const {
  auto it = materials.find(name);
  assert(it != materials.end() && "material not among level 0's materials");
  return it->second;
}

MayaNames MakeMayaNames(const Xmodel& model) {
  const XmodelLod& lod = model.ShownLod();
  MayaNames names;
  Claims claims;
  for (std::string_view node : kSceneNodes) claims.Take(std::string(node));
  // The model's transform and the meshes under it are the writer's own.
  names.model = MayaNodeName("Qor_" + lod.surf_name);
  claims.Take(names.model);
  for (size_t i = 0; i < lod.surfaces.size(); ++i) {
    claims.Take("QorMesh_" + std::to_string(i));
    claims.Take("MeshShape_" + std::to_string(i));
  }

  std::vector<const std::string*> materials;
  for (const std::string& m : lod.unique_materials) materials.push_back(&m);
  for (const std::string& m : lod.materials) materials.push_back(&m);
  names.joints.assign(model.bones.size(), std::string());

  // Valid names keep themselves while they are free.
  for (const std::string* m : materials) {
    if (names.materials.count(*m) || !IsMayaNodeName(*m) || !claims.MaterialFree(*m)) continue;
    claims.TakeMaterial(*m);
    names.materials.emplace(*m, *m);
  }
  std::vector<bool> kept(model.bones.size(), false);
  for (size_t i = 0; i < model.bones.size(); ++i) {
    const std::string& b = model.bones[i].name;
    if (b.empty() || !IsMayaNodeName(b) || !claims.Free(b)) continue;
    claims.Take(b);
    names.joints[i] = b;
    kept[i] = true;
  }

  // The rest, mapped and numbered past every name already taken.
  for (const std::string* m : materials) {
    if (names.materials.count(*m)) continue;
    std::string node = FirstFreeName(MayaNodeName(*m), [&](const std::string& n) { return claims.MaterialFree(n); });
    claims.TakeMaterial(node);
    names.materials.emplace(*m, node);
  }
  for (size_t i = 0; i < model.bones.size(); ++i) {
    const std::string& b = model.bones[i].name;
    if (b.empty() || kept[i]) continue;
    std::string node = FirstFreeName(MayaNodeName(b), [&](const std::string& n) { return claims.Free(n); });
    claims.Take(node);
    names.joints[i] = node;
  }
  return names;
}

bool MayaNamesWritable(const Xmodel& model) {
  for (const XmodelBone& b : model.bones)
    if (!IsSingleLine(b.name)) return false;
  const XmodelLod& lod = model.ShownLod();
  for (const std::string& m : lod.unique_materials)
    if (!IsSingleLine(m)) return false;
  for (const std::string& m : lod.materials)
    if (!IsSingleLine(m)) return false;
  return true;
}
