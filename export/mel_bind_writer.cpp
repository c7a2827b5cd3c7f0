// The MEL bind script that goes with the Maya scene: rigid meshes get a
// one-bone skin cluster, weighted meshes a smooth skin cluster over their
// bones and then explicit vertex weights through skinPercent, with runs of
// vertices wholly on one bone written as vertex ranges. Sourcing it runs
// every rigid bind, then each smooth binder under `catch`.
#include <cstring>
#include <string>
#include <vector>

#include "export/export_common.h"
#include "export/model_exports.h"
#include "export/maya_names.h"
#include "export/number_format.h"
#include "export/text_out.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

// printf("%.5f") of every raw weight's ExportWeight: "0.xxxxx" or "1.00000".
using WeightTexts = char[65536][7];
const WeightTexts& WeightText() {
  static const auto table =
      MakeFixedTexts<65536, 7>([](char* buf, size_t raw) { return PutFixed(buf, ExportWeight(uint16_t(raw)), 5); });
  return table->text;
}

// The bones a weighted mesh's skin cluster is made over: its table's bones
// that own vertices, then every other bone a vertex of it names (its own
// bone or an influence), each once. skinPercent can only set the weight of
// a bone in the cluster, so each bone the weights below name is in it.
std::vector<int> ClusterBones(const XmodelSurface& s) {
  std::vector<int> bones;
  std::vector<bool> added;
  auto add = [&](int bone, bool always) {
    if (bone < 0) return;
    if (size_t(bone) >= added.size()) added.resize(size_t(bone) + 1, false);
    if (added[size_t(bone)] && !always) return;
    added[size_t(bone)] = true;
    bones.push_back(bone);
  };
  for (const SurfaceBoneEntry& e : s.bone_table)
    if (e.vertex_count > 0) add(e.bone, true);
  for (size_t vi = 0; vi < s.vertices.size(); ++vi) {
    add(s.influences[vi].primary_bone, false);
    for (const InfluenceEntry& e : s.Entries(vi)) add(e.bone, false);
  }
  return bones;
}

// The joint a rigid surface binds to: its table's first bone.
const std::string& RigidJoint(const MayaNames& names, const XmodelSurface& s) {
  return names.Joint(s.bone_table.empty() ? -1 : s.bone_table[0].bone);
}

// A skin cluster can only be made over joints the scene created; a bone
// without a name has none.
bool ClustersHaveTheirJoints(const MayaNames& names, const XmodelLod& lod) {
  for (const XmodelSurface& s : lod.surfaces)
    if (s.weighted)
      for (int bone : ClusterBones(s))
        if (names.Joint(bone).empty()) return false;
  return true;
}

void WriteSmoothBinder(TextOut& out, const MayaNames& names, const XmodelSurface& s, long long i) {
  out.Lit("\nglobal proc QorMesh_").Int(i).Lit("_SmoothBinder()\n{\n\t");
  out.Lit("cout(\"Running Smooth Bind For 'QorMesh_").Int(i).Lit("'\");\n\tselect -r QorMesh_").Int(i);
  out.Lit(";\n");
  for (int bone : ClusterBones(s)) out.Lit("\tselect -add ").Raw(names.Joint(bone)).Lit(";\n");
  out.Lit("\tnewSkinCluster \"-toSelectedBones -mi 10 -omi true -dr 10 -rui true\";\n");
  out.Lit("\n\tstring $cluster = GetSkinClusterName(\"QorMesh_").Int(i).Lit("\");\n");
  out.Lit("\tcout(\"SkinCluster: \" + $cluster);\n\n");

  // Runs of vertices wholly on one bone; a vertex with influences of its
  // own stands alone.
  char mesh_text[48];
  const std::string_view mesh(mesh_text, size_t(PutInt(PutText(mesh_text, " $cluster QorMesh_"), i) - mesh_text));
  auto vertex_line = [&](size_t start, size_t end) {
    out.Text(mesh);
    char* p = PutInt(PutText(out.Reserve(), ".vtx["), (long long)start);
    if (end > start) {
      *p++ = ':';
      p = PutInt(p, (long long)end);
    }
    out.Commit(PutText(p, "];\r\n"));
  };
  const WeightTexts& weights = WeightText();
  const size_t count = s.vertices.size();
  for (size_t start = 0; start < count;) {
    const VertexInfluences& first = s.influences[start];
    size_t end = start;
    if (first.extra_count == 0)
      while (end + 1 < count && s.influences[end + 1].extra_count == 0 &&
             s.influences[end + 1].primary_bone == first.primary_bone)
        ++end;
    out.Text("\tskinPercent -tv ").Text(names.Joint(first.primary_bone)).Text(" 1.0");
    vertex_line(start, end);
    if (first.extra_count != 0)
      for (const InfluenceEntry& e : s.Entries(start)) {
        out.Text("\t\tskinPercent -tv ").Text(names.Joint(e.bone));
        char* p = out.Reserve();
        *p = ' ';
        std::memcpy(p + 1, weights[e.weight], 7);
        out.Commit(p + 8);
        vertex_line(start, start);
      }
    start = end + 1;
  }
  out.Lit("\n\tcout(\"QorMesh_").Int(i).Lit(" Binds Completed\");\n}\n");
}

}  // namespace

ErrorCode ExportMABind(const Xmodel& model, std::string folder, ExportWritten* written) {
  if (ErrorCode code = CheckLevelZero(model); code != err::kSuccess) return code;
  const XmodelLod& lod = model.ShownLod();
  if (!platform::IsSafeOutputName(lod.surf_name)) return err::kInvalidPath;
  // The joint names are the scene's (mapped onto Maya's alphabet the same
  // way); only a name that would break a line is refused.
  if (!MayaNamesWritable(model)) return err::kFileNotValid;
  const MayaNames names = MakeMayaNames(model);
  if (!ClustersHaveTheirJoints(names, lod)) return err::kFileNotValid;

  // The script beside the scene (its folder made when it is written on its
  // own); progress starts.
  platform::CreateDirectories(folder);
  const std::string file_path = platform::WithTrailingSeparator(folder) + lod.surf_name + "_bind.mel";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return code;
  model.progress = 0;
  model.busy = true;
  auto step = [&] {
    if (model.progress + 1 < 99) model.progress += 1;
  };

  {
    TextOut out(file);
    // Banner and the two helper procedures.
    out.Lit("/*====================================\n* Binds Joints to Mesh \n");
    out.Lit("* Written by Qor_Fen Vantor\n* Version: 1.1\n");
    out.Lit("* How To Use: Drag & drop on to maya when model has been loaded\n");
    out.Lit("====================================*/\n");
    out.Lit("global proc cout(string $s){\n\tprint($s + \"\\n\");\n}\n\n");
    out.Lit("global proc string GetSkinClusterName(string $Mesh){\n\treturn  findRelatedSkinCluster($Mesh);\n}\n\n");

    // Rigid meshes, bound whole to their bone.
    out.Lit("global proc RunMeshBinds(){\n\t// Full mesh binds\n");
    bool any_weighted = false;
    for (size_t i = 0; i < lod.surfaces.size(); ++i) {
      const XmodelSurface& s = lod.surfaces[i];
      if (s.weighted) {
        any_weighted = true;
      } else {
        const std::string& bone = RigidJoint(names, s);
        if (bone.empty()) {
          // The scene creates no joint for a bone without a name (static
          // props often have one such root): nothing to bind to.
          out.Lit("\t// QorMesh_").Int((long long)i).Lit(": its bone has no name, nothing to bind to\n");
        } else {
          out.Lit("\tcout(\"Binding 'QorMesh_").Int((long long)i).Lit("' to '").Raw(bone).Lit("'\");\n");
          out.Lit("\tskinCluster -tsb -mi 1 ").Raw(bone).Lit(" QorMesh_").Int((long long)i).Lit(";\n");
        }
      }
      step();
    }
    out.Lit("}\n");

    // Weighted meshes and the procedure that runs their binders.
    if (any_weighted) {
      std::vector<size_t> weighted;
      for (size_t i = 0; i < lod.surfaces.size(); ++i)
        if (lod.surfaces[i].weighted) weighted.push_back(i);
      out.Parallel(
          weighted.size(),
          [&](TextOut& o, size_t k) {
            WriteSmoothBinder(o, names, lod.surfaces[weighted[k]], (long long)weighted[k]);
          },
          [&](size_t) { step(); });
      out.Lit("\nglobal proc QorsPerfectBind()\n{\n\t// Updated: wrapping the calls in 'catch' means others "
              "will still run, if one fails. \n");
      for (size_t i = 0; i < lod.surfaces.size(); ++i)
        if (lod.surfaces[i].weighted) out.Lit("\n\tcatch(QorMesh_").Int((long long)i).Lit("_SmoothBinder());");
      out.Lit("\n}\n");
    }

    // The calls that run the binds when the script is dropped on Maya.
    out.Lit("\nRunMeshBinds();");
    if (any_weighted) out.Lit("\nQorsPerfectBind();");
    // Commit the file.
    code = output.Close(out);
  }
  model.progress = 99;
  model.busy = false;
  if (code == err::kSuccess && written) written->push_back(file_path);
  return code;
}
