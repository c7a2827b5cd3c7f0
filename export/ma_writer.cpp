// The Maya ASCII writer: level 0 as a Maya 8.5 scene. One transform and
// mesh shape per surface under the model's transform (UVs, vertices, three
// edges of its own per triangle, per-corner normals, faces wound c-b-a), a
// lambert network with a file texture per material, the light links, the
// mesh assignments and the skeleton as joints under "Joints". The bind
// script (mel_bind_writer.cpp) is written first when asked for.
//
// Sections: [header] [meshes] [shading] [links] [joints] [ExportMA]
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/logger.h"
#include "export/export_common.h"
#include "export/model_exports.h"
#include "export/joint_angles.h"
#include "export/ma_fixed_blocks.h"
#include "export/maya_names.h"
#include "export/number_format.h"
#include "export/output_names.h"
#include "export/text_out.h"
#include "export/texture_names.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

// ------------------------------------------------------------ [meshes]

char* PutTriple(char* p, const float v[3], int width) {
  for (int k = 0; k < 3; ++k) {
    *p++ = ' ';
    p = PutFixedWidth(p, v[k], width);
  }
  return p;
}

void WriteMesh(TextOut& out, const XmodelSurface& s, size_t mesh, std::string_view model_node) {
  const long long V = s.vertex_count, T = s.triangle_count;
  const long long i = (long long)mesh;

  char* p = PutText(out.Reserve(), "\r\ncreateNode transform -n \"QorMesh_");
  p = PutInt(p, i);
  out.Commit(PutText(p, "\" -p \""));
  out.Text(model_node);
  p = PutText(out.Reserve(),
              "\";\r\nsetAttr \".rp\" -type \"double3\" 0.000000 0.000000 0.000000 ;"
              "\r\nsetAttr \".sp\" -type \"double3\" 0.000000 0.000000 0.000000 ;");
  p = PutText(p, "\r\ncreateNode mesh -n \"MeshShape_");
  p = PutInt(p, i);
  p = PutText(p, "\" -p \"QorMesh_");
  p = PutInt(p, i);
  p = PutText(p, "\";");
  p = PutText(p, "\r\nsetAttr -k off \".v\";\r\nsetAttr \".iog[0].og[0].gcl\" -type \"componentList\" 1 \"f[0:");
  p = PutInt(p, T - 1);
  p = PutText(p, "]\";\r\nsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\r\nsetAttr -s ");
  p = PutInt(p, V);
  p = PutText(p, " \".uvst[0].uvsp[0:");
  p = PutInt(p, V - 1);
  out.Commit(PutText(p, "]\" -type \"float2\"\r\n"));

  // UVs as stored, four to a line.
  for (size_t k = 0; k < s.vertices.size(); ++k) {
    const XmodelVertex& v = s.vertices[k];
    p = out.Reserve();
    *p++ = ' ';
    p = PutFixed(p, v.u);
    *p++ = ' ';
    p = PutFixed(p, v.v);
    if (k % 4 == 3) p = PutText(p, "\r\n");
    out.Commit(p);
  }
  p = PutText(out.Reserve(), ";\r\n");

  // Two blanks before 0 1 1, as Maya writes them.
  p = PutText(p, "setAttr \".covm[0]\"  0 1 1;\r\nsetAttr \".cdvm[0]\"  0 1 1;\r\nsetAttr -s ");
  p = PutInt(p, V);
  p = PutText(p, " \".vt[0:");
  p = PutInt(p, V - 1);
  out.Commit(PutText(p, "]\""));
  for (const XmodelVertex& v : s.vertices) {
    p = PutText(out.Reserve(), "\r\n\t");
    p = PutFixed(p, v.position[0]);
    *p++ = ' ';
    p = PutFixed(p, v.position[1]);
    *p++ = ' ';
    p = PutFixed(p, v.position[2]);
    out.Commit(p);
  }
  out.Commit(PutText(out.Reserve(), ";"));

  // Edges: triangle t owns 3t (c->b), 3t+1 (b->a) and 3t+2 (a->c).
  const uint16_t* tri = s.triangles.data();
  const size_t corners = s.triangles.size();
  p = PutText(out.Reserve(), "\r\nsetAttr -s ");
  p = PutInt(p, 3 * T);
  p = PutText(p, " \".ed[0:");
  p = PutInt(p, 3 * T - 1);
  out.Commit(PutText(p, "]\""));
  // Vertex numbers as text, formatted once (at most five digits each).
  const VertexTexts number(s.vertices.size(), [](char* q, size_t vi) { return PutInt(q, (long long)vi); });
  for (size_t t = 0; t + 2 < corners; t += 3) {
    const std::string_view a = number[tri[t]], b = number[tri[t + 1]], c = number[tri[t + 2]];
    p = PutText(out.Reserve(), "\r\n\t");
    p = PutShort(p, c);
    *p++ = ' ';
    p = PutShort(p, b);
    p = PutText(p, " 0 ");
    p = PutShort(p, b);
    *p++ = ' ';
    p = PutShort(p, a);
    p = PutText(p, " 0 ");
    p = PutShort(p, a);
    *p++ = ' ';
    p = PutShort(p, c);
    out.Commit(PutText(p, " 0"));
  }
  out.Commit(PutText(out.Reserve(), ";\r\n"));

  // Normals per face corner, c, b, a.
  p = PutText(out.Reserve(), "setAttr -s ");
  p = PutInt(p, 3 * T);
  p = PutText(p, " \".n[0:");
  p = PutInt(p, 3 * T - 1);
  out.Commit(PutText(p, "]\" -type \"float3\""));
  // Each vertex's " x y z", formatted once; the line's first drops its blank.
  const VertexTexts normal(s.vertices.size(),
                           [&](char* q, size_t vi) { return PutTriple(q, s.vertices[vi].normal, 9); });
  for (size_t t = 0; t + 2 < corners; t += 3) {
    p = PutText(out.Reserve(), "\r\n\t");
    p = PutText(p, normal[tri[t + 2]].substr(1));
    p = PutText(p, normal[tri[t + 1]]);
    out.Commit(PutText(p, normal[tri[t]]));
  }
  out.Commit(PutText(out.Reserve(), ";"));

  // Faces over their own edges, UVs indexed like the vertices.
  p = PutText(out.Reserve(), "\r\nsetAttr -s ");
  p = PutInt(p, T);
  p = PutText(p, " \".fc[0:");
  p = PutInt(p, T - 1);
  out.Commit(PutText(p, "]\" -type \"polyFaces\""));
  for (size_t t = 0; t + 2 < corners; t += 3) {
    const long long e = (long long)t;  // 3 * triangle number
    p = PutText(out.Reserve(), "\r\n\tf 3 ");
    p = PutInt(p, e);
    *p++ = ' ';
    p = PutInt(p, e + 1);
    *p++ = ' ';
    p = PutInt(p, e + 2);
    p = PutText(p, "\r\n\tmu 0 3 ");
    p = PutShort(p, number[tri[t + 2]]);
    *p++ = ' ';
    p = PutShort(p, number[tri[t + 1]]);
    *p++ = ' ';
    p = PutShort(p, number[tri[t]]);
    out.Commit(p);
  }
  out.Commit(PutText(out.Reserve(),
                       ";\r\nsetAttr \".cd\" -type \"dataPolyComponent\" Index_Data Edge 0 ;\r\n\r\n"));
}

// ------------------------------------------------------------ [shading]

// The ".ftn" value of a colour texture: the file the texture export writes,
// as a MEL string (backslashes doubled).
std::string TexturePath(const MaterialImage& image, const std::string& raw_dir, bool local, ImageFileChoice files) {
  if (local) return "images\\\\" + QuoteEscape(ExportedImageFile(image, files, true));
  return QuoteEscape(raw_dir) + "images\\\\" + QuoteEscape(ExportedImageFile(image, files, false));
}

void WriteShadingNetwork(TextOut& out, const std::string& m, const std::string& ftn) {
  out.Lit("createNode shadingEngine -n \"").Raw(m).Lit("SG\";\n\tsetAttr \".ihi\" 0;\n\tsetAttr \".ro\" yes;\n");
  out.Lit("createNode materialInfo -n \"").Raw(m).Lit("MI\";\n");
  out.Lit("createNode lambert -n \"").Raw(m).Lit("\";\n\tsetAttr \".ambc\" -type \"float3\" 1 1 1 ;\n");
  out.Lit("createNode file -n \"").Raw(m).Lit("FILE\";\n\tsetAttr \".ftn\" -type \"string\" \"").Raw(ftn);
  out.Lit("\";\nif(getAttr(\"").Raw(m).Lit("FILE.fha\")) connectAttr ").Raw(m).Lit("FILE.ot ").Raw(m);
  out.Lit(".it;\ncreateNode place2dTexture -n \"").Raw(m).Lit("P2DT\";\n\n");
}

// ------------------------------------------------------------ [links]

// The place2dTexture outputs and the file inputs they drive, in Maya's order.
constexpr std::string_view kP2dtToFile[][2] = {
    {"c", "c"},     {"tf", "tf"},   {"rf", "rf"},   {"mu", "mu"},   {"mv", "mv"},
    {"s", "s"},     {"wu", "wu"},   {"wv", "wv"},   {"re", "re"},   {"of", "of"},
    {"r", "ro"},    {"n", "n"},     {"vt1", "vt1"}, {"vt2", "vt2"}, {"vt3", "vt3"},
    {"vc1", "vc1"}, {"o", "uv"},    {"ofs", "fs"},
};

void WriteLightLinks(TextOut& out, const std::string& m, long long link) {
  out.Lit("connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[").Int(link).Lit("].llnk\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit("SG.msg\" \"lightLinker1.lnk[").Int(link).Lit("].olnk\";\n");
  out.Lit("connectAttr \":defaultLightSet.msg\" \"lightLinker1.slnk[").Int(link).Lit("].sllk\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit("SG.msg\" \"lightLinker1.slnk[").Int(link).Lit("].solk\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit(".oc\" \"").Raw(m).Lit("SG.ss\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit("SG.msg\" \"").Raw(m).Lit("MI.sg\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit(".msg\" \"").Raw(m).Lit("MI.m\";\n");
  out.Lit("connectAttr \"").Raw(m).Lit("FILE.msg\" \"").Raw(m).Lit("MI.t\" -na;\n");
  out.Lit("connectAttr \"").Raw(m).Lit("FILE.oc\" \"").Raw(m).Lit(".c\";\n");
  for (const auto& pair : kP2dtToFile) {
    out.Lit("connectAttr \"").Raw(m).Lit("P2DT.").Raw(pair[0]).Lit("\" \"").Raw(m).Lit("FILE.");
    out.Raw(pair[1]).Lit("\";\n");
  }
  out.Lit("connectAttr \"").Raw(m).Lit("SG.pa\" \":renderPartition.st\" -na;\n");
  out.Lit("connectAttr \"").Raw(m).Lit(".msg\" \":defaultShaderList1.s\" -na;\n");
  out.Lit("connectAttr \"").Raw(m).Lit("P2DT.msg\" \":defaultRenderUtilityList1.u\" -na;\n");
  out.Lit("connectAttr \"").Raw(m).Lit("FILE.msg\" \":defaultTextureList1.tx\" -na;\n");
  out.Lit("\n");
}

// ------------------------------------------------------------ [joints]

// The bone a joint hangs under: an earlier bone with a name (only those
// are created before it), else none and the joint goes under "Joints".
int JointParent(const std::vector<XmodelBone>& bones, size_t i) {
  const int parent = int(int8_t(bones[i].parent));
  if (parent < 0 || size_t(parent) >= i || bones[size_t(parent)].name.empty()) return -1;
  return parent;
}

void WriteJoints(TextOut& out, const Xmodel& model, const std::vector<std::string>& joints) {
  const std::vector<XmodelBone>& bones = model.bones;
  out.Lit("\ncreateNode transform -n \"Joints\";\nsetAttr \".ove\" yes;\n\n");
  char num[3 * (kMaxNumberChars + 2)];
  for (size_t i = 0; i < bones.size(); ++i) {
    const XmodelBone& b = bones[i];
    if (b.name.empty()) continue;  // nothing to create or bind to
    const int parent = JointParent(bones, i);
    out.Lit("createNode joint -n \"").Raw(joints[i]).Lit("\" -p \"");
    out.Raw(parent < 0 ? std::string_view("Joints") : std::string_view(joints[size_t(parent)]));
    out.Lit("\";\naddAttr -ci true -sn \"liw\" -ln \"lockInfluenceWeights\" -bt \"lock\" -min 0 -max 1 -at "
            "\"bool\";\nsetAttr \".uoc\" yes;\nsetAttr \".ove\" yes;\nsetAttr \".t\" -type \"double3\"");
    out.Raw(std::string_view(num, size_t(PutTriple(num, b.position, 9) - num)));
    out.Lit(" ;\nsetAttr \".mnrl\" -type \"double3\" -360 -360 -360 ;\nsetAttr \".mxrl\" -type \"double3\" "
            "360 360 360 ;\nsetAttr \".radi\" ");
    out.Raw(std::string_view(num, size_t(PutFixedWidth(num, model.scale * 0.5, 2, 6) - num)));
    double angles[3];
    JointAngles(b.rotation, angles);
    out.Lit(";\nsetAttr \".jo\" -type \"double3\" ").Fixed(angles[0]).Lit(" ").Fixed(angles[1]);
    out.Lit(" ").Fixed(angles[2]).Lit(";\n\n");
  }
  // Scale compensation between each joint and the joint it hangs under.
  for (size_t i = 0; i < bones.size(); ++i) {
    if (bones[i].name.empty()) continue;
    const int parent = JointParent(bones, i);
    if (parent < 0) continue;
    out.Lit("connectAttr \"").Raw(joints[size_t(parent)]).Lit(".s\" \"").Raw(joints[i]).Lit(".is\";\n");
  }
}

}  // namespace

// ------------------------------------------------------------ [ExportMA]

ErrorCode ExportMA(const Xmodel& model, std::string folder, const ExportSettings& settings, ExportWritten* written) {
  // Loaded through the surfaces, with sound geometry.
  if (ErrorCode code = CheckLevelZero(model); code != err::kSuccess) return code;
  const XmodelLod& lod = model.ShownLod();
  if (!platform::IsSafeOutputName(lod.surf_name)) return err::kInvalidPath;
  // Every mesh needs its material; names are mapped onto Maya's alphabet,
  // but nothing can carry a line break into the comments and strings.
  if (lod.materials.size() < lod.surfaces.size()) return err::kFileNotValid;
  if (!IsSingleLine(model.name) || !MayaNamesWritable(model)) return err::kFileNotValid;
  if (!settings.export_images_local && !IsSingleLine(model.raw_dir)) return err::kFileNotValid;
  for (const MaterialEntry& entry : model.material_library.entries)
    for (const MaterialImage& image : entry.images)
      if (!IsSingleLine(image.dds_file)) return err::kFileNotValid;

  // Progress starts; the output folder is made.
  ExportRun run(model, 1);
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);

  // The bind script; a failure is reported and the scene still
  // written. It runs its own progress, so the scene's starts again.
  if (settings.export_MA_BIND) {
    ErrorCode mel = ExportMABind(model, dir, written);
    if (mel != err::kSuccess) Logger().log("^1Mel Error^7: %s", ExportErrorText(mel).c_str());
    model.busy = true;
    model.progress = 1;
  }

  // The scene file and the names its nodes go by.
  const std::string file_path = dir + lod.surf_name + ".ma";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return run.Finish(code);
  const std::vector<std::string> materials = lod.unique_materials;
  const MayaNames nodes = MakeMayaNames(model);
  const long long N = (long long)materials.size();

  {
    TextOut out(file);
    // Header comments, then the fixed blocks around the link counts.
    out.Lit("//Maya ASCII 8.5 scene\n//Name: ").Raw(lod.surf_name).Lit(".ma\n");
    out.Lit("//Exported by Qor_Fen Vantor\n");
    out.Lit("//Maya ASCII scene written from the game's xmodel, xmodelparts and xmodelsurfs files\n");
    out.Lit("//Parent Xmodel: ").Raw(model.name).Lit("\n");
    out.Lit("//Surface Load Time: ").Fixed(double(lod.surf_load_ms), 2).Lit(" ms\n//Total Meshes: ");
    out.Int(lod.surface_count).Lit("\n//Codeset: 1252\n");
    out.Lit(kMaFixedBlockA);
    out.Lit("\tsetAttr -s ").Int(N).Lit(" \".lnk\";\n\tsetAttr -s ").Int(N).Lit(" \".slnk\";\n");
    out.Lit(kMaFixedBlockB);

    // Progress for the header.
    run.Step(5, 100);
    run.Step(1, 99);
    const size_t mesh_count = lod.surfaces.size();
    const int32_t step = mesh_count ? int32_t(90 / mesh_count) : 0;

    // The model's transform and one mesh node per surface.
    out.Lit("createNode transform -n \"").Raw(nodes.model).Lit("\";\nsetAttr \".ove\" yes;");
    out.Parallel(
        mesh_count, [&](TextOut& o, size_t i) { WriteMesh(o, lod.surfaces[i], i, nodes.model); },
        [&](size_t) { run.Step(step); });

    // One shading network per material, with its first colour texture: a
    // second colour slot (a material may list its map twice, or under two
    // slot names) would create the same nodes again, which Maya refuses.
    // The links and mesh assignments below connect to every material's
    // nodes, so a material without a colour texture gets its network too,
    // with no file.
    for (const std::string& m : materials) {
      bool made = false;
      for (const MaterialEntry& entry : model.material_library.entries) {
        if (entry.name != m || made) continue;
        for (const MaterialImage& image : entry.images) {
          if (!IsColourSlot(image.slot)) continue;
          out.Lit("// Material: ").Raw(entry.name).Lit("\n");
          WriteShadingNetwork(out, nodes.Material(m),
                              TexturePath(image, model.raw_dir, settings.export_images_local, ImageFilesOf(settings)));
          made = true;
          run.Step(1, 99);
          break;
        }
      }
      if (!made) {
        out.Lit("// Material: ").Raw(m).Lit("\n");
        WriteShadingNetwork(out, nodes.Material(m), "");
      }
    }

    // Light links; links 0 and 1 are block B's defaults.
    for (long long k = 0; k < N; ++k) WriteLightLinks(out, nodes.Material(materials[size_t(k)]), k + 2);
    run.Step(1, 99);

    // Each mesh joins its material's shading group.
    for (size_t i = 0; i < mesh_count; ++i) {
      const std::string& m = nodes.Material(lod.materials[i]);
      out.Lit("connectAttr \"").Raw(m).Lit("SG.mwc\" \"MeshShape_").Int((long long)i);
      out.Lit(".iog.og[0].gco\";\nconnectAttr \"MeshShape_").Int((long long)i).Lit(".iog\" \"").Raw(m);
      out.Lit("SG.dsm\" -na;\n\n");
    }
    run.Step(1, 99);

    // The joint hierarchy.
    WriteJoints(out, model, nodes.joints);
    run.Step(5, 100);

    // Flush and close; the file takes its name only now.
    code = output.Close(out);
  }
  if (code == err::kSuccess && written) written->push_back(file_path);
  return run.Finish(code);
}
