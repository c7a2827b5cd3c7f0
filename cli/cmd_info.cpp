// vantor-cli info: load a model (the load and surface steps) and print what
// it holds, as text or as one JSON object.
#include <cstdio>
#include <iostream>
#include <string>

#include "base/json_writer.h"
#include "cli/cli_args.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/terminal_question.h"
#include "cli/terminal_text.h"
#include "model/bounds.h"
#include "model/xmodel.h"

namespace {

void Vec(JsonWriter& j, const float* v, int n) {
  j.BeginArray();
  for (int i = 0; i < n; ++i) j.Float(v[i]);
  j.EndArray();
}

int PrintError(bool json, ErrorCode code, const std::string& text) {
  if (json) {
    JsonWriter j;
    j.BeginObject().Key("error").BeginObject().Key("code").Int(code).Key("text").String(text);
    j.EndObject().EndObject();
    std::cout << j.str() << "\n";
  } else {
    std::cerr << "error: " << Printable(text) << "\n";
  }
  return 1;
}

// With --lod, the surfaces are those of that level, and both outputs say
// which one it is.
void WriteJson(const Xmodel& m, bool geometry, int32_t lod) {
  JsonWriter j;
  j.BeginObject();
  j.Key("name").String(m.name);
  j.Key("version").Int(m.version);
  j.Key("game").String(GameShortName(m.layout));
  j.Key("lod_count").Int(m.lod_count);
  j.Key("lods").BeginArray();
  for (size_t i = 0; i < 4; ++i) {
    j.BeginObject();
    j.Key("distance").Float(i < m.lod_distances.size() ? m.lod_distances[i] : 0.0f);
    j.Key("name").String(i < m.lod_names.size() ? m.lod_names[i] : "");
    j.EndObject();
  }
  j.EndArray();
  if (lod >= 0) j.Key("shown_lod").Int(lod);
  j.Key("collision_lod").Int(m.collision_lod);
  j.Key("physics_preset").String(m.physics_preset);
  j.Key("source_map").String(m.source_map);
  j.Key("materials").BeginArray();
  for (const XmodelLod& lod : m.lods) {
    j.BeginArray();
    for (const std::string& name : lod.materials) j.String(name);
    j.EndArray();
  }
  j.EndArray();
  j.Key("unique_materials").BeginArray();
  for (const std::string& name : m.material_library.names) j.String(name);
  j.EndArray();

  j.Key("bones").BeginArray();
  for (size_t i = 0; i < m.bones.size(); ++i) {
    const XmodelBone& b = m.bones[i];
    j.BeginObject();
    j.Key("index").Int(int64_t(i));
    j.Key("name").String(b.name);
    j.Key("parent").Int(int8_t(b.parent));  // 255 reads as -1
    j.Key("position");
    Vec(j, b.position, 3);
    j.Key("rotation").BeginArray();
    for (double q : b.rotation) j.Double(q);
    j.EndArray();
    j.EndObject();
  }
  j.EndArray();

  j.Key("surfaces").BeginArray();
  if (!m.lods.empty()) {
    const XmodelLod& lod = m.ShownLod();
    for (size_t si = 0; si < lod.surfaces.size(); ++si) {
      const XmodelSurface& s = lod.surfaces[si];
      j.BeginObject();
      j.Key("vertex_count").Int(s.vertex_count);
      j.Key("triangle_count").Int(s.triangle_count);
      j.Key("weighted").Bool(s.weighted);
      j.Key("material").String(si < lod.materials.size() ? lod.materials[si] : "");
      j.Key("bone_table").BeginArray();
      for (const SurfaceBoneEntry& e : s.bone_table)
        j.BeginArray().Int(e.vertex_count).Int(e.bone).EndArray();
      j.EndArray();
      if (geometry) {
        j.Key("vertices").BeginArray();
        for (size_t vi = 0; vi < s.vertices.size(); ++vi) {
          const XmodelVertex& v = s.vertices[vi];
          j.BeginObject();
          j.Key("position");
          Vec(j, v.position, 3);
          j.Key("normal");
          Vec(j, v.normal, 3);
          j.Key("uv").BeginArray().Float(v.u).Float(v.v).EndArray();
          j.Key("colour").BeginArray();
          for (uint8_t c : v.colour) j.Int(c);
          j.EndArray();
          j.Key("primary_bone").Int(s.influences[vi].primary_bone);
          j.Key("influences").BeginArray();
          for (const InfluenceEntry& e : s.Entries(vi)) j.BeginArray().Int(e.bone).Int(e.weight).EndArray();
          j.EndArray();
          j.EndObject();
        }
        j.EndArray();
        j.Key("triangles").BeginArray();
        for (size_t t = 0; t + 2 < s.triangles.size(); t += 3)
          j.BeginArray().Int(s.triangles[t]).Int(s.triangles[t + 1]).Int(s.triangles[t + 2]).EndArray();
        j.EndArray();
      }
      j.EndObject();
    }
  }
  j.EndArray();

  ModelBounds bounds = ComputeBounds(m);
  j.Key("bounds").BeginObject();
  j.Key("min");
  Vec(j, bounds.min, 3);
  j.Key("max");
  Vec(j, bounds.max, 3);
  j.EndObject();
  j.Key("load_ms").Double(m.load_time_ms);
  j.Key("surface_load_ms").Int(m.lods.empty() ? 0 : m.ShownLod().surf_load_ms);
  j.EndObject();
  std::cout << j.str() << "\n";
}

// Every name printed here comes from the game files: Printable keeps a
// hostile one from driving the terminal.
void WriteText(const Xmodel& m, int32_t lod) {
  std::printf("name: %s\n", Printable(m.name).c_str());
  std::printf("version: %d\n", m.version);
  std::printf("layout: %s (%s)\n", GameShortName(m.layout), GameLongName(m.layout));
  std::printf("lod count: %d\n", m.lod_count);
  for (size_t i = 0; i < 4; ++i)
    std::printf("  slot %zu: distance %g name \"%s\"\n", i,
                i < m.lod_distances.size() ? double(m.lod_distances[i]) : 0.0,
                i < m.lod_names.size() ? Printable(m.lod_names[i]).c_str() : "");
  if (lod >= 0) std::printf("shown lod: %d\n", lod);
  std::printf("collision lod: %d\n", m.collision_lod);
  std::printf("physics preset: \"%s\"\n", Printable(m.physics_preset).c_str());
  if (!m.source_map.empty()) std::printf("source map: \"%s\"\n", Printable(m.source_map).c_str());
  for (size_t i = 0; i < m.lods.size(); ++i) {
    std::printf("materials of lod %zu:", i);
    for (const std::string& name : m.lods[i].materials) std::printf(" %s", Printable(name).c_str());
    std::printf("\n");
  }
  std::printf("distinct materials:");
  for (const std::string& name : m.material_library.names) std::printf(" %s", Printable(name).c_str());
  std::printf("\n");

  std::printf("bones: %zu (%d roots)\n", m.bones.size(), m.root_bone_count);
  for (size_t i = 0; i < m.bones.size(); ++i) {
    const XmodelBone& b = m.bones[i];
    std::printf("  %3zu %-32s parent %4d  pos (%g, %g, %g)  rot (%.6f, %.6f, %.6f, %.6f)\n", i,
                Printable(b.name).c_str(), int(int8_t(b.parent)), double(b.position[0]),
                double(b.position[1]), double(b.position[2]), b.rotation[0], b.rotation[1],
                b.rotation[2], b.rotation[3]);
  }

  size_t vertices = 0, triangles = 0;
  if (!m.lods.empty()) {
    const XmodelLod& lod = m.ShownLod();
    std::printf("surfaces: %zu\n", lod.surfaces.size());
    for (size_t si = 0; si < lod.surfaces.size(); ++si) {
      const XmodelSurface& s = lod.surfaces[si];
      std::printf("  %3zu vertices %6d triangles %6d %s material %s bone table",
                  si, s.vertex_count, s.triangle_count, s.weighted ? "weighted" : "rigid   ",
                  si < lod.materials.size() ? Printable(lod.materials[si]).c_str() : "?");
      for (const SurfaceBoneEntry& e : s.bone_table) std::printf(" [%u, %u]", e.vertex_count, e.bone);
      std::printf("\n");
      vertices += size_t(s.vertex_count);
      triangles += size_t(s.triangle_count);
    }
  }
  std::printf("totals: %zu vertices, %zu triangles\n", vertices, triangles);
  ModelBounds b = ComputeBounds(m);
  std::printf("bounds: min (%g, %g, %g) max (%g, %g, %g)\n", double(b.min[0]), double(b.min[1]),
              double(b.min[2]), double(b.max[0]), double(b.max[1]), double(b.max[2]));
  std::printf("load: %.1f ms, surfaces: %d ms\n", m.load_time_ms,
              m.lods.empty() ? 0 : m.ShownLod().surf_load_ms);
}

}  // namespace

int CmdInfo(const CliArgs& args) {
  bool json = args.Has("--json");
  if (args.positional.size() != 1) {
    std::cerr << "usage: vantor-cli info [--game cod4|cod5|bo] [--json] [--geometry] [--scale F] [--lod N] "
                 "[--auto-switch yes|no] PATH\n";
    return 2;
  }
  std::optional<CliModelOptions> options = ReadModelOptions(args);
  if (!options) return 2;
  if (options->lod == kEveryLod) {
    std::cerr << "error: info shows one level: --lod takes a level from 0 to 3\n";
    return 2;
  }

  TerminalQuestion question(options->auto_switch);
  platform::SetQuestionAnswerer(&question);
  static Xmodel model;  // one model for the process, as in the window
  model.game = options->game;
  model.scale = options->scale;
  ErrorCode code = model.LoadxmodelFull(args.positional[0]);
  if (code == err::kSuccess && options->lod >= 0 && !model.ShowLod(options->lod))
    return PrintError(json, err::kOutOfRange,
                      "the model has no level " + std::to_string(options->lod) + " (levels: " +
                          std::to_string(model.lods.size()) + "): " + args.positional[0]);
  if (code == err::kSuccess) code = model.LoadSurface();
  platform::SetQuestionAnswerer(nullptr);
  if (code != err::kSuccess) return PrintError(json, code, model.FailureText(code));

  if (json) WriteJson(model, args.Has("--geometry"), options->lod);
  else WriteText(model, options->lod);
  return 0;
}
