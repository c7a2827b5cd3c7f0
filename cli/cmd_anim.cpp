// vantor-cli anim: a compiled animation's header, bones and notetracks
// (`anim info`), and the animation put on a model and written as the mod
// tools' XANIM_EXPORT with its GDT entry, or as glTF / GLB (`anim export`).
#include <algorithm>
#include <cstring>
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
#include "platform/folder_list.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

constexpr const char* kUsage =
    "usage: vantor-cli anim info FILE [--json]\n"
    "       vantor-cli anim export FILE... --model MODEL --format xanim_export[,gltf,glb] [--out DIR]\n"
    "       vantor-cli export --anims [FILE...] [--all ROOT] --model MODEL --format xanim_export[,gltf,glb] [--out DIR]\n"
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

struct Formats {
  bool xe = false, gltf = false, glb = false;
};

// The --format list; false (after the message) for an unknown word.
bool ParseFormats(const std::string& words, Formats& f) {
  std::stringstream list(words);
  for (std::string w; std::getline(list, w, ',');) {
    if (w == "xanim_export" || w == "xe") f.xe = true;
    else if (w == "gltf") f.gltf = true;
    else if (w == "glb") f.glb = true;
    else {
      std::cerr << "vantor-cli: unknown animation format '" << Printable(w) << "' (xanim_export, gltf, glb)\n";
      return false;
    }
  }
  return f.xe || f.gltf || f.glb;
}

// One animation put on the loaded model and written; the files go to
// `written`. 27, or the code of the step that failed (with its message).
ErrorCode ExportOne(const std::string& path, const Xmodel& model, const Formats& formats, const std::string& out,
                    std::vector<std::string>& written) {
  Xanim a;
  if (const ErrorCode code = LoadXanim(path, a); code != err::kSuccess) {
    std::cerr << "error: " << Printable(ErrorText(code) + ": " + path) << "\n";
    return code;
  }
  const std::string name = BaseName(path);
  if (!platform::IsSafeOutputName(name)) {
    std::cerr << "error: " << Printable(ErrorText(err::kInvalidPath) + ": " + name) << "\n";
    return err::kInvalidPath;
  }
  const ModelSkeleton skeleton = SkeletonOf(model);
  const std::vector<AnimChannels> channels = ChannelsOf(a);
  AnimBinding binding;
  binding.Bind(skeleton.names, skeleton.bind_pose, channels, a.additive());
  if (binding.unmatched() > 0)
    std::cerr << "anim: " << binding.unmatched() << " of the animation's " << a.bones.size()
              << " bones are not in the model and are left out (" << Printable(name) << ")\n";
  SampledAnimation sampled{name, path, a.keyed_frames(), a.frame_rate, {}, &binding};
  for (const XanimNote& n : a.notes) sampled.notes.push_back({n.name, n.frame});

  ErrorCode code = err::kSuccess;
  if (formats.xe) {
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
  for (const bool binary : {false, true})
    if (code == err::kSuccess && (binary ? formats.glb : formats.gltf))
      code = ExportGLTF(model, out, binary, &written, false, &animation);
  if (code != err::kSuccess) std::cerr << "error: " << Printable(ExportErrorText(code) + ": " + name) << "\n";
  return code;
}

// Every animation of `files` on the --model, into --out: 0, 1 when one
// failed (the others are written), 2 for a bad command.
int ExportAll(const CliArgs& args, const std::vector<std::string>& files) {
  const std::optional<std::string> model_path = args.Get("--model");
  Formats formats;
  if (!model_path || !ParseFormats(args.Get("--format").value_or(""), formats)) {
    std::cerr << kUsage;
    return 2;
  }
  std::optional<CliModelOptions> options = ReadModelOptions(args);
  if (!options) return 2;
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
  const std::string out = platform::WithTrailingSeparator(args.Get("--out").value_or("."));
  platform::CreateDirectories(out);
  int status = 0;
  for (const std::string& file : files) {
    std::vector<std::string> written;
    if (ExportOne(file, model, formats, out, written) != err::kSuccess) status = 1;
    for (const std::string& w : written) std::cout << Printable(w) << "\n";
    std::cout << std::flush;
  }
  return status;
}

}  // namespace

int CmdAnim(const CliArgs& args) {
  if (args.positional.size() == 2 && args.positional[0] == "info") return Info(args);
  if (args.positional.size() >= 2 && args.positional[0] == "export")
    return ExportAll(args, {args.positional.begin() + 1, args.positional.end()});
  std::cerr << kUsage;
  return 2;
}

int CmdExportAnims(const CliArgs& args) {
  std::vector<std::string> files = args.positional;
  if (const std::optional<std::string> root = args.Get("--all")) {
    const std::string folder = platform::NormalizePath(*root) + "/raw/xanim/";
    std::vector<std::string> names;
    const int e = platform::ListFolderEntries(folder, [&](std::string_view name, bool is_folder) {
      if (!is_folder && name.find('.') == std::string_view::npos) names.emplace_back(name);
      return true;
    });
    if (e != 0) {
      std::cerr << "error: " << Printable(folder) << " cannot be listed: " << std::strerror(e) << "\n";
      return 1;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) files.push_back(folder + n);
  }
  if (files.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  return ExportAll(args, files);
}
