// The XMODEL_EXPORT writer: bones with their poses, every vertex of level 0
// with its bone weights, the faces with per-corner normal, colour and UV,
// the meshes as objects and the distinct materials, in the text format the
// games' own tools read ("MODEL", "VERSION 6"), with CR LF line ends.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_common.h"
#include "export/model_exports.h"
#include "platform/path_names.h"
#include "export/output_names.h"
#include "export/text_out.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"

namespace {

using Mat3 = double[3][3];

// The rotation matrix of a bone's quaternion; entries that are not finite
// become 0.
void QuatMatrix(const double q[4], Mat3 m) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  m[0][0] = 1 - 2 * y * y - 2 * z * z;
  m[0][1] = 2 * x * y + 2 * z * w;
  m[0][2] = 2 * x * z - 2 * y * w;
  m[1][0] = 2 * x * y - 2 * z * w;
  m[1][1] = 1 - 2 * x * x - 2 * z * z;
  m[1][2] = 2 * y * z + 2 * x * w;
  m[2][0] = 2 * x * z + 2 * y * w;
  m[2][1] = 2 * y * z - 2 * x * w;
  m[2][2] = 1 - 2 * x * x - 2 * y * y;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (!std::isfinite(m[r][c])) m[r][c] = 0;
}

void MatMul(const Mat3 a, const Mat3 b, Mat3 out) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
}

struct BonePose {
  Mat3 axes;      // rows: the bone's X, Y and Z axes in model space
  float offset[3];
};

// Model-space poses, composed along the parent chain: a child's axes are its
// local rotation times its parent's, its offset the parent's offset plus the
// local offset turned by the parent's axes. (Summing every earlier bone in
// list order, as one might read the file, misplaces bones by tens of units.)
std::vector<BonePose> ComposePoses(const std::vector<XmodelBone>& bones, float unscale) {
  std::vector<BonePose> poses(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    const XmodelBone& b = bones[i];
    Mat3 q;
    QuatMatrix(b.rotation, q);
    float p[3] = {b.position[0] * unscale, b.position[1] * unscale, b.position[2] * unscale};
    BonePose& pose = poses[i];
    // The reader only accepts earlier bones as parents; a root has none.
    if (b.parent == 255 || b.parent >= i) {
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) pose.axes[r][c] = q[r][c];
      for (int k = 0; k < 3; ++k) pose.offset[k] = p[k];
    } else {
      const BonePose& parent = poses[b.parent];
      MatMul(q, parent.axes, pose.axes);
      for (int k = 0; k < 3; ++k)
        pose.offset[k] = float(parent.offset[k] + p[0] * parent.axes[0][k] +
                               p[1] * parent.axes[1][k] + p[2] * parent.axes[2][k]);
    }
  }
  return poses;
}

void Vec3(TextOut& out, double a, double b, double c, const char* sep) {
  out.Fixed(a).Lit(sep).Fixed(b).Lit(sep).Fixed(c);
}

char* PutVec3(char* p, float a, float b, float c, std::string_view sep) {
  p = PutText(PutFixed(p, a), sep);
  p = PutText(PutFixed(p, b), sep);
  return PutFixed(p, c);
}

// printf("%.6f") of every colour byte's c / 255.0 and of every raw
// weight's ExportWeight: all between 0 and 1, eight characters long.
using ColourTexts = char[256][8];
using WeightTexts = char[65536][8];

const ColourTexts& ColourText() {
  static const auto table = MakeFixedTexts<256, 8>([](char* buf, size_t c) { return PutFixed(buf, c / 255.0); });
  return table->text;
}

const WeightTexts& WeightText() {
  static const auto table =
      MakeFixedTexts<65536, 8>([](char* buf, size_t raw) { return PutFixed(buf, ExportWeight(uint16_t(raw))); });
  return table->text;
}

// One mesh's VERT records; `number` is its first vertex's number in the file.
void WriteVertices(TextOut& out, const XmodelSurface& s, size_t number, float write_scale) {
  const int rigid = s.bone_table.empty() ? 0 : s.bone_table[0].bone;
  for (size_t vi = 0; vi < s.vertices.size(); ++vi, ++number) {
    const XmodelVertex& v = s.vertices[vi];
    char* p = PutText(out.Reserve(), "VERT ");
    p = PutInt(p, int64_t(number));
    p = PutText(p, "\r\nOFFSET ");
    p = PutVec3(p, v.position[0] * write_scale, v.position[1] * write_scale, v.position[2] * write_scale, ", ");
    std::span<const InfluenceEntry> entries = s.Entries(vi);
    // A weighted vertex belongs to its own bone, which carries what the
    // entries leave; a rigid surface's vertices to the surface's bone.
    const int own = s.weighted ? s.influences[vi].primary_bone : rigid;
    if (entries.empty()) {
      p = PutText(p, "\r\nBONES 1\r\nBONE ");
      p = PutInt(p, own);
      out.Commit(PutText(p, " 1.000000\r\n\r\n"));
      continue;
    }
    double rest = 1.0;
    for (const InfluenceEntry& e : entries) rest -= ExportWeight(e.weight);
    if (rest < 0) rest = 0;
    p = PutText(p, "\r\nBONES ");
    p = PutInt(p, int64_t(entries.size() + 1));
    p = PutText(p, "\r\nBONE ");
    p = PutInt(p, own);
    *p++ = ' ';
    out.Commit(PutText(PutFixed(p, rest), "\r\n"));
    const WeightTexts& weights = WeightText();
    for (const InfluenceEntry& e : entries) {
      p = PutText(out.Reserve(), "BONE ");
      p = PutInt(p, e.bone);
      *p++ = ' ';
      std::memcpy(p, weights[e.weight], 8);
      out.Commit(PutText(p + 8, "\r\n"));
    }
    out.Text("\r\n");
  }
}

// Mesh `mi`'s TRI records, corners by their number in the file (`base` is
// the mesh's first); a corner's colour is one of 256 texts.
void WriteFaces(TextOut& out, const XmodelLod& lod, size_t mi, size_t base) {
  const XmodelSurface& s = lod.surfaces[mi];
  int material = 0;
  if (mi < lod.materials.size())
    for (size_t k = 0; k < lod.unique_materials.size(); ++k)
      if (lod.unique_materials[k] == lod.materials[mi]) {
        material = int(k);
        break;
      }
  char tri_line[64];
  char* tri_end = PutText(tri_line, "TRI ");
  tri_end = PutInt(tri_end, int64_t(mi));
  *tri_end++ = ' ';
  tri_end = PutText(PutInt(tri_end, material), " 0 0\r\n");
  const std::string_view tri(tri_line, size_t(tri_end - tri_line));
  // Everything of a corner but its number belongs to its vertex.
  const ColourTexts& colours = ColourText();
  const VertexTexts corner(s.vertices.size(), [&](char* p, size_t vi) {
    const XmodelVertex& v = s.vertices[vi];
    p = PutText(p, "\r\nNORMAL ");
    p = PutVec3(p, v.normal[0], v.normal[1], v.normal[2], " ");
    p = PutText(p, "\r\nCOLOR  ");
    for (int k = 0; k < 4; ++k) {
      std::memcpy(p, colours[v.colour[k]], 8);
      p[8] = ' ';
      p += 9;
    }
    p = PutText(p - 1, "\r\nUV 1 ");
    p = PutFixed(p, v.u);
    *p++ = ' ';
    p = PutFixed(p, 1.0f - v.v);
    return PutText(p, "\r\n");
  });
  for (size_t t = 0; t + 2 < s.triangles.size(); t += 3) {
    out.Text(tri);
    for (int c = 0; c < 3; ++c) {
      const uint16_t local = s.triangles[t + size_t(c)];
      char* p = PutText(out.Reserve(), "VERT ");
      p = PutInt(p, int64_t(base + local));
      out.Commit(PutText(p, corner[local]));
    }
  }
}

// Bone and material names go between double quotes, which the format has no
// escape for; a '"' or a line break in one would end it and start lines of
// its own.
bool FitsInQuotes(std::string_view name) { return IsSingleLine(name) && name.find('"') == std::string_view::npos; }

bool NamesFitTheFormat(const Xmodel& model) {
  if (!IsSingleLine(model.name)) return false;  // in a comment line
  for (const XmodelBone& b : model.bones)
    if (!FitsInQuotes(b.name)) return false;
  for (const std::string& m : model.ShownLod().unique_materials)
    if (!FitsInQuotes(m)) return false;
  return true;
}

}  // namespace

ErrorCode ExportXE(const Xmodel& model, std::string folder) {
  // The model must be loaded through its surfaces, with sound
  // geometry.
  if (ErrorCode code = CheckLevelZero(model); code != err::kSuccess) return code;
  const XmodelLod& lod = model.ShownLod();
  // The file is named by the slot-0 name, which comes from the game file.
  if (!platform::IsSafeOutputName(lod.surf_name)) return err::kInvalidPath;
  if (!NamesFitTheFormat(model)) return err::kFileNotValid;

  // The file holds unscaled game units. Positions are unscaled as
  // they are written (the same float product the scale pass would make), so
  // the model in memory is never touched.
  const float write_scale = model.scale == 1.0f ? 1.0f : 1.0f / model.scale;

  // Progress, busy and the clock run from here until the file is closed.
  ExportRun run(model, 1);

  std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);
  std::string file_path = dir + lod.surf_name + ".XMODEL_EXPORT";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return run.Finish(code);

  const size_t bone_total = model.bones.size();
  const size_t mesh_count = lod.surfaces.size();
  {
    TextOut out(file);
    // Header.
    out.Lit("//Name: ").Raw(lod.surf_name).Lit(".XMODEL_EXPORT\n");
    out.Lit("//Exported by Qor_Fen Vantor\n");
    out.Lit("//XMODEL_EXPORT text written from the game's xmodel, xmodelparts and xmodelsurfs files\n");
    out.Lit("//Parent Xmodel: ").Raw(model.name).Lit("\n");
    out.Lit("//Surface Load Time: ").Fixed(double(lod.surf_load_ms), 2).Lit(" ms\n//Total Meshes: ");
    out.Int(lod.surface_count).Lit("\n");
    out.Lit("//Scale: ").Fixed(write_scale).Lit("\n");
    out.Lit("MODEL\nVERSION 6\n\n");

    // Bones.
    out.Lit("NUMBONES ").Int(int64_t(bone_total)).Lit("\n");
    for (size_t i = 0; i < bone_total; ++i) {
      int parent = i == 0 ? -1 : int(int8_t(model.bones[i].parent));
      out.Lit("BONE ").Int(int64_t(i)).Lit(" ").Int(parent).Lit(" \"").Raw(model.bones[i].name).Lit("\"\n");
    }
    out.Lit("\n");

    std::vector<BonePose> poses = ComposePoses(model.bones, write_scale);
    for (size_t i = 0; i < bone_total; ++i) {
      const BonePose& p = poses[i];
      out.Lit("BONE ").Int(int64_t(i)).Lit("\nOFFSET ");
      Vec3(out, p.offset[0], p.offset[1], p.offset[2], ", ");
      out.Lit("\nSCALE 1.000000, 1.000000, 1.000000\nX ");
      Vec3(out, p.axes[0][0], p.axes[0][1], p.axes[0][2], ", ");
      out.Lit("\nY ");
      Vec3(out, p.axes[1][0], p.axes[1][1], p.axes[1][2], ", ");
      out.Lit("\nZ ");
      Vec3(out, p.axes[2][0], p.axes[2][1], p.axes[2][2], ", ");
      out.Lit("\n\n");
    }

    // Vertices.
    size_t vertex_total = 0, triangle_total = 0;
    for (const XmodelSurface& s : lod.surfaces) {
      vertex_total += s.vertices.size();
      triangle_total += s.triangles.size() / 3;
    }
    out.Lit("NUMVERTS ").Int(int64_t(vertex_total)).Lit("\n\n");
    if (model.progress + 5 < 100) model.progress += 5;
    if (model.progress < 99) model.progress += 1;
    const int mesh_step = mesh_count ? int((90 / mesh_count) / 2) : 0;
    auto step = [&] {
      if (model.progress + mesh_step < 100) model.progress += mesh_step;
    };

    // The meshes' vertices, then their faces, numbered over the file.
    std::vector<size_t> first_vertex(mesh_count + 1, 0);
    for (size_t mi = 0; mi < mesh_count; ++mi)
      first_vertex[mi + 1] = first_vertex[mi] + lod.surfaces[mi].vertices.size();
    out.Parallel(
        mesh_count,
        [&](TextOut& o, size_t mi) { WriteVertices(o, lod.surfaces[mi], first_vertex[mi], write_scale); },
        [&](size_t) { step(); });

    out.Lit("NUMFACES ").Int(int64_t(triangle_total)).Lit("\n");
    out.Parallel(
        mesh_count,
        [&](TextOut& o, size_t mi) { WriteFaces(o, lod, mi, first_vertex[mi]); },
        [&](size_t) { step(); });

    // Objects and materials.
    out.Lit("\nNUMOBJECTS ").Int(int64_t(mesh_count)).Lit("\n");
    for (size_t mi = 0; mi < mesh_count; ++mi)
      out.Lit("OBJECT ").Int(int64_t(mi)).Lit(" \"QorMesh_").Int(int64_t(mi)).Lit("\"\n");
    out.Lit("\n");
    out.Lit("NUMMATERIALS ").Int(int64_t(lod.unique_materials.size())).Lit("\n");
    for (size_t k = 0; k < lod.unique_materials.size(); ++k) {
      out.Lit("MATERIAL ").Int(int64_t(k)).Lit(" \"").Raw(lod.unique_materials[k]);
      out.Lit("\" \"Lambert\" \"Qor_fen_is_win.dds\"\n");
      out.Lit(
          "COLOR 0.000000 0.000000 0.000000 1.000000\n"
          "TRANSPARENCY 0.000000 0.000000 0.000000 1.000000\n"
          "AMBIENTCOLOR 1.000000 1.000000 1.000000 1.000000\n"
          "INCANDESCENCE 0.000000 0.000000 0.000000 1.000000\n"
          "COEFFS 0.800000 0.000000\n"
          "GLOW 0.000000 0\n"
          "REFRACTIVE 6 1.000000\n"
          "SPECULARCOLOR -1.000000 -1.000000 -1.000000 1.000000\n"
          "REFLECTIVECOLOR -1.000000 -1.000000 -1.000000 1.000000\n"
          "REFLECTIVE -1 -1.000000\n"
          "BLINN -1.000000\n");
    }
    code = output.Close(out);
  }
  return run.Finish(code);
}
