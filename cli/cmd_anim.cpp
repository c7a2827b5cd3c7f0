// vantor-cli anim: a compiled animation's header, bones and notetracks
// (`anim info`), and the animation put on a model and written as the mod
// tools' XANIM_EXPORT with its GDT entry, or as glTF / GLB (`anim export`).
#include <iostream>
#include <sstream>
#include <string>

#include "base/json_writer.h"
#include "cli/cli_args.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/terminal_question.h"
#include "cli/terminal_text.h"
#include "export/animation_frames.h"
#include "export/export_common.h"
#include "export/gdt_writer.h"
#include "export/model_exports.h"
#include "model/anim_binding.h"
#include "model/xanim.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

constexpr const char* kUsage =
    "usage: vantor-cli anim info FILE [--json]\n"
    "       vantor-cli anim export FILE --model MODEL --format xanim_export[,gltf,glb] [--out DIR]\n"
    "                  [--game cod4|cod5|bo] [--scale F] [--auto-switch yes|no]\n";

const char* KindName(uint8_t kind) {
  switch (kind) {
    case 1: return "relative";
    case 2: return "delta";
    case 6: return "additive";
    default: return "unknown";
  }
}

std::string BaseName(const std::string& path) {
  const std::string normal = platform::NormalizePath(path);
  const size_t cut = platform::LastSeparator(normal);
  return cut == std::string::npos ? normal : normal.substr(cut + 1);
}

size_t Keys(const XanimKeys& k, size_t parts) { return k.values.size() / parts; }

int Info(const CliArgs& args) {
  const std::string& path = args.positional[1];
  Xanim a;
  if (const ErrorCode code = LoadXanim(path, a); code != err::kSuccess) {
    std::cerr << "error: " << Printable(ErrorText(code) + ": " + path) << "\n";
    return 1;
  }
  if (args.Has("--json")) {
    JsonWriter j;
    j.BeginObject().Key("name").String(BaseName(path)).Key("version").Int(a.version).Key("game").String(a.game());
    j.Key("frames").Int(a.frames).Key("keyed_frames").Int(a.keyed_frames()).Key("frame_rate").Int(a.frame_rate);
    j.Key("looping").Bool(a.looping()).Key("root_motion").Bool(a.root_motion()).Key("kind").Int(a.kind);
    j.Key("kind_name").String(KindName(a.kind)).Key("bones").BeginArray();
    for (const XanimBone& b : a.bones) {
      j.BeginObject().Key("name").String(b.name).Key("simple").Bool(b.simple);
      j.Key("rotation_keys").Int(int64_t(Keys(b.rotation, 4))).Key("translation_keys").Int(int64_t(Keys(b.translation, 3)));
      j.EndObject();
    }
    j.EndArray().Key("notetracks").BeginArray();
    for (const XanimNote& n : a.notes) j.BeginObject().Key("name").String(n.name).Key("frame").Int(n.frame).EndObject();
    j.EndArray().EndObject();
    std::cout << j.str() << "\n";
    return 0;
  }
  std::ostringstream out;
  out << "name: " << Printable(BaseName(path)) << "\nversion: " << a.version << " (" << a.game() << ")\n";
  out << "frames: " << a.frames << " at " << a.frame_rate << " a second" << (a.looping() ? ", looping" : "")
      << (a.root_motion() ? ", root motion" : "") << "\nkind: " << int(a.kind) << " (" << KindName(a.kind) << ")\n";
  out << "bones: " << a.bones.size() << "\n";
  for (const XanimBone& b : a.bones)
    out << "  " << Printable(b.name) << ": " << Keys(b.rotation, 4) << " rotation keys, " << Keys(b.translation, 3)
        << " translation keys" << (b.simple ? ", about Z only" : "") << "\n";
  out << "notetracks: " << a.notes.size() << "\n";
  for (const XanimNote& n : a.notes) out << "  frame " << n.frame << ": " << Printable(n.name) << "\n";
  std::cout << out.str();
  return 0;
}

int Export(const CliArgs& args) {
  const std::string& path = args.positional[1];
  const std::optional<std::string> model_path = args.Get("--model");
  const std::string formats = args.Get("--format").value_or("");
  bool xe = false, gltf = false, glb = false;
  std::stringstream list(formats);
  for (std::string f; std::getline(list, f, ',');) {
    if (f == "xanim_export" || f == "xe") xe = true;
    else if (f == "gltf") gltf = true;
    else if (f == "glb") glb = true;
    else {
      std::cerr << "vantor-cli: unknown animation format '" << Printable(f) << "' (xanim_export, gltf, glb)\n";
      return 2;
    }
  }
  if (!model_path || !(xe || gltf || glb)) {
    std::cerr << kUsage;
    return 2;
  }
  std::optional<CliModelOptions> options = ReadModelOptions(args);
  if (!options) return 2;

  Xanim a;
  if (const ErrorCode code = LoadXanim(path, a); code != err::kSuccess) {
    std::cerr << "error: " << Printable(ErrorText(code) + ": " + path) << "\n";
    return 1;
  }
  TerminalQuestion question(options->auto_switch);
  platform::SetQuestionAnswerer(&question);
  static Xmodel model;
  model.game = options->game;
  model.scale = options->scale;
  ErrorCode code = model.LoadxmodelFull(*model_path);
  if (code == err::kSuccess) code = model.LoadSurface();
  platform::SetQuestionAnswerer(nullptr);
  if (code != err::kSuccess) {
    std::cerr << "error: " << Printable(model.FailureText(code)) << "\n";
    return 1;
  }

  const std::string name = BaseName(path);
  if (!platform::IsSafeOutputName(name)) {
    std::cerr << "error: " << Printable(ErrorText(err::kInvalidPath) + ": " + name) << "\n";
    return 1;
  }
  const ModelSkeleton skeleton = SkeletonOf(model);
  const std::vector<AnimChannels> channels = ChannelsOf(a);
  AnimBinding binding;
  binding.Bind(skeleton.names, skeleton.bind_pose, channels, a.additive());
  if (binding.unmatched() > 0)
    std::cerr << "anim: " << binding.unmatched() << " of the animation's " << a.bones.size()
              << " bones are not in the model and are left out\n";
  SampledAnimation sampled{name, path, a.keyed_frames(), a.frame_rate, {}, &binding};
  for (const XanimNote& n : a.notes) sampled.notes.push_back({n.name, n.frame});

  const std::string out = platform::WithTrailingSeparator(args.Get("--out").value_or("."));
  platform::CreateDirectories(out);
  std::vector<std::string> written;
  if (xe) {
    const std::string file = out + name + ".XANIM_EXPORT";
    code = WriteXanimExport(file, XanimFrames(model, skeleton, sampled));
    if (code == err::kSuccess) {
      written.push_back(file);
      GdtWriter gdt;
      code = gdt.Open(out + name);
      if (code == err::kSuccess) {
        gdt.WriteAnimation(name, {name + ".XANIM_EXPORT", model.name + ".XMODEL_EXPORT", a.looping(), KindName(a.kind)});
        code = gdt.Close();
      }
      if (code == err::kSuccess) written.push_back(gdt.path());
    }
  }
  const GltfAnimation animation = GltfFrames(model, skeleton, sampled);
  for (const bool binary : {false, true}) {
    if (code != err::kSuccess || !(binary ? glb : gltf)) continue;
    code = ExportGLTF(model, out, binary, &written, false, &animation);
  }
  for (const std::string& file : written) std::cout << Printable(file) << "\n";
  if (code != err::kSuccess) {
    std::cerr << "error: " << Printable(ExportErrorText(code)) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int CmdAnim(const CliArgs& args) {
  if (args.positional.size() == 2 && args.positional[0] == "info") return Info(args);
  if (args.positional.size() == 2 && args.positional[0] == "export") return Export(args);
  std::cerr << kUsage;
  return 2;
}
