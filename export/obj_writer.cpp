// The Wavefront OBJ writer and its MTL material library: level 0's meshes
// as groups of positions, UVs and normals sharing one 1-based index over the
// file, faces wound first-third-second, and per distinct material its colour,
// bump and specular maps under the names the texture export writes.
// Positions are written as they stand in memory (with the load scale).
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_common.h"
#include "export/model_exports.h"
#include "platform/path_names.h"
#include "export/number_format.h"
#include "export/output_names.h"
#include "export/text_out.h"
#include "export/texture_names.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"

namespace {

const std::string& MeshMaterial(const XmodelLod& lod, size_t mesh) {
  static const std::string kNone;
  return mesh < lod.materials.size() ? lod.materials[mesh] : kNone;
}

bool IsObjSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Material names as `usemtl` and `newmtl` write them. OBJ readers take a
// material name up to the first blank, so each blank becomes "_"; a name
// that then meets another gets a number. Names without blanks are kept, and
// both files build the same table from the model.
std::map<std::string, std::string> ObjMaterialNames(const XmodelLod& lod) {
  std::vector<const std::string*> all;
  for (const std::string& m : lod.unique_materials) all.push_back(&m);
  for (const std::string& m : lod.materials) all.push_back(&m);
  std::map<std::string, std::string> names;
  std::set<std::string> taken;
  for (const std::string* m : all)
    if (std::none_of(m->begin(), m->end(), [](char c) { return IsObjSpace((unsigned char)c); }) &&
        taken.insert(*m).second)
      names.emplace(*m, *m);
  for (const std::string* m : all) {
    if (names.count(*m)) continue;
    std::string base = *m;
    for (char& c : base)
      if (IsObjSpace((unsigned char)c)) c = '_';
    std::string name = FirstFreeName(base, [&](const std::string& n) { return taken.count(n) == 0; });
    taken.insert(name);
    names.emplace(*m, name);
  }
  return names;
}

char* PutVec3(char* p, const char* tag, const float v[3]) {
  p = PutText(p, tag);
  p = PutFixed(p, v[0]);
  *p++ = ' ';
  p = PutFixed(p, v[1]);
  *p++ = ' ';
  p = PutFixed(p, v[2]);
  return PutText(p, "\r\n");
}

void CountLine(TextOut& out, int count, std::string_view what) {
  char* p = PutText(out.Reserve(), "# ");
  p = PutInt(p, count);
  out.Commit(PutText(p, what));
}

// One mesh: positions, UVs, normals, its group and material, its faces.
// `base` is the OBJ index of the mesh's first vertex.
void WriteMesh(TextOut& out, const XmodelSurface& s, size_t mesh, std::string_view material,
               long long base) {
  for (const XmodelVertex& v : s.vertices) out.Commit(PutVec3(out.Reserve(), "v ", v.position));
  CountLine(out, s.vertex_count, " vertices\r\n\r\n");

  for (const XmodelVertex& v : s.vertices) {
    char* p = PutText(out.Reserve(), "vt ");
    p = PutFixed(p, v.u);
    *p++ = ' ';
    p = PutFixed(p, v.v);  // as stored: already 1 - the file's value
    out.Commit(PutText(p, "\r\n"));
  }
  CountLine(out, s.vertex_count, " UV's\r\n\r\n");

  for (const XmodelVertex& v : s.vertices) out.Commit(PutVec3(out.Reserve(), "vn ", v.normal));
  CountLine(out, s.vertex_count, " normals\r\n\r\n");

  char* p = PutText(out.Reserve(), "\r\ns off\r\ng QorGroup_");
  p = PutInt(p, (long long)mesh);
  out.Commit(PutText(p, "\r\nusemtl "));
  out.Text(material);
  out.Text("\r\n");

  // Position, UV and normal share the index; corners go first, third,
  // second, which turns the games' winding into OBJ's.
  // The index is formatted once and copied to its three places.
  const VertexTexts corner(s.vertices.size(), [&](char* q, size_t vi) {
    *q++ = ' ';
    char* end = PutInt(q, (long long)vi + base);
    const size_t n = size_t(end - q);
    if (n > 16) [[unlikely]] {
      for (int k = 0; k < 2; ++k) *end++ = '/', end = PutText(end, {q, n});
      return end;
    }
    char digits[16];
    std::memcpy(digits, q, 16);
    *end++ = '/';
    std::memcpy(end, digits, 16);
    end += n;
    *end++ = '/';
    std::memcpy(end, digits, 16);
    return end + n;
  });
  const uint16_t* t = s.triangles.data();
  for (size_t i = 0; i + 2 < s.triangles.size(); i += 3) {
    p = out.Reserve();
    *p++ = 'f';
    p = PutUpTo32(p, corner[t[i]]);
    p = PutUpTo32(p, corner[t[i + 2]]);
    p = PutUpTo32(p, corner[t[i + 1]]);
    out.Commit(PutText(p, "\r\n"));
  }
}

}  // namespace

ErrorCode ExportOBJ(const Xmodel& model, std::string folder, const ExportSettings& settings, ExportWritten* written) {
  // Loaded through the surfaces, with sound geometry; names that
  // reach the file's path or its lines must fit them.
  if (ErrorCode code = CheckLevelZero(model); code != err::kSuccess) return code;
  const XmodelLod& lod = model.ShownLod();
  if (!platform::IsSafeOutputName(lod.surf_name)) return err::kInvalidPath;
  if (!IsSingleLine(model.name)) return err::kFileNotValid;
  for (size_t i = 0; i < lod.surfaces.size(); ++i)
    if (!IsSingleLine(MeshMaterial(lod, i))) return err::kFileNotValid;
  const std::map<std::string, std::string> obj_names = ObjMaterialNames(lod);

  // Progress starts; the output folder and file are made.
  ExportRun run(model, 0);
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);
  const std::string file_path = dir + lod.surf_name + ".obj";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return run.Finish(code);

  {
    TextOut out(file);
    // Header. The mtllib line ends in CR CR LF on disk, as
    // the format was always written (a "\r\n" put through text mode).
    out.Lit("\n# Exported by Qor_Fen Vantor\n");
    out.Lit("# Wavefront OBJ written from the game's xmodel, xmodelparts and xmodelsurfs files\n");
    out.Lit("# Parent Xmodel: ").Raw(model.name).Lit("\n# Surface Load Time: ");
    out.Fixed(double(lod.surf_load_ms), 2).Lit("ms\n# Total Meshes: ").Int(lod.surface_count);
    out.Lit("\n\n");
    out.Lit("mtllib ").Raw(lod.surf_name).Raw(".mtl\r\r\n");

    // Each mesh: positions, texture points, normals, then its group and faces.
    const size_t mesh_count = lod.surfaces.size();
    const int32_t step = mesh_count ? int32_t(100 / mesh_count) : 0;
    std::vector<long long> base(mesh_count + 1, 1);
    for (size_t i = 0; i < mesh_count; ++i) base[i + 1] = base[i] + (long long)lod.surfaces[i].vertices.size();
    out.Parallel(
        mesh_count,
        [&](TextOut& o, size_t i) {
          const XmodelSurface& s = lod.surfaces[i];
          const auto named = obj_names.find(MeshMaterial(lod, i));
          WriteMesh(o, s, i, named == obj_names.end() ? MeshMaterial(lod, i) : named->second, base[i]);
          CountLine(o, s.triangle_count, " faces\r\n\r\n");
        },
        [&](size_t) { run.Step(step); });
    // Commit the file; then the material library beside it.
    code = output.Close(out);
  }
  if (code != err::kSuccess) return run.Finish(code);
  if (written) written->push_back(file_path);
  if (settings.export_MTL) code = ExportMTL(model, folder, settings, written);
  return run.Finish(code);
}

ErrorCode ExportMTL(const Xmodel& model, std::string folder, const ExportSettings& settings, ExportWritten* written) {
  if (!model.xmodel_loaded) return err::kNotLoaded;
  if (model.lods.empty()) return err::kOutOfRange;
  const XmodelLod& lod = model.ShownLod();
  if (!platform::IsSafeOutputName(lod.surf_name)) return err::kInvalidPath;
  // The material files, when the model's load did not read them.
  if (!model.material_library.loaded)
    if (ErrorCode code = model.material_library.LoadMaterials(); code != err::kSuccess) return code;

  const size_t count = std::min(lod.unique_materials.size(), size_t(std::max<int16_t>(lod.unique_material_count, 0)));
  // The maps point at the files the texture export writes: under "images"
  // of the export folder, or beside the source images.
  auto map_path = [&](const MaterialImage& image) {
    if (settings.export_images_local) return "images/" + ExportedImageFile(image, ImageFilesOf(settings), true);
    return model.raw_dir + "images/" + ExportedImageFile(image, ImageFilesOf(settings), false);
  };
  // Every name and path must stay on its own line.
  if (!settings.export_images_local && !IsSingleLine(model.raw_dir)) return err::kFileNotValid;
  for (size_t m = 0; m < count; ++m) {
    if (!IsSingleLine(lod.unique_materials[m])) return err::kFileNotValid;
    for (const MaterialEntry& entry : model.material_library.entries)
      if (entry.name == lod.unique_materials[m])
        for (const MaterialImage& image : entry.images)
          if (!IsSingleLine(image.dds_file)) return err::kFileNotValid;
  }

  // The output folder and file.
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);
  const std::string file_path = dir + lod.surf_name + ".mtl";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return code;

  TextOut out(file);
  // One newmtl block per distinct material, with its maps.
  const std::map<std::string, std::string> names = ObjMaterialNames(lod);
  for (size_t m = 0; m < count; ++m) {
    const std::string& material = lod.unique_materials[m];
    out.Lit("newmtl ").Raw(names.at(material)).Lit("\nKd 1.0000 1.0000 1.0000\nNs 1\nillum 0");
    std::string last_image;
    for (const MaterialEntry& entry : model.material_library.entries) {
      if (entry.name != material) continue;
      for (const MaterialImage& image : entry.images) {
        if (image.dds_file == last_image) continue;
        last_image = image.dds_file;
        // A bump or specular map is listed when the texture export has a
        // source to convert it from.
        const bool has_source = image.iwi_exists || image.dds_exists;
        if (image.slot == "colorMap") {
          out.Lit("\nmap_Kd ").Raw(map_path(image));
        } else if (image.slot == "normalMap" && has_source) {
          out.Lit("\nmap_bump ").Raw(map_path(image));
        } else if (image.slot == "specularMap" && has_source) {
          out.Lit("\nmap_Ks ").Raw(map_path(image));
        }
      }
    }
    out.Lit("\n\n");
  }
  // Commit the file.
  code = output.Close(out);
  if (code == err::kSuccess && written) written->push_back(file_path);
  return code;
}
