// vantor-cli: the program's core without a window. Its commands and their
// output are an interface that scripts and tests rely on (see docs/cli.md).
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/cli_args.h"
#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: vantor-cli COMMAND ...\n"
    "  info [--game cod4|cod5|bo] [--json] [--geometry] [--scale F] [--lod N] [--auto-switch yes|no] PATH\n"
    "  export PATH|FOLDER... [--all ROOT] --format xe[,...]|all [--out DIR] [--gdt-dir DIR] [--tags-dir DIR]\n"
    "         [--game cod4|cod5|bo] [--scale F] [--lod N|all] [--sub-dir|--no-sub-dir] [--auto-switch yes|no]\n"
    "         [--open] [--png off|colour|all] [-j N] [--skip-existing] [--json]\n"
    "  settings list | get KEY | set KEY VALUE | reset\n"
    "  list [ROOT|FOLDER] [--game cod4|cod5|bo] [--filter TEXT] [--anims] [--json]\n"
    "  sample DIR\n"
    "  update check [--manual]\n"
    "  update download --dir DIR [--no-handoff]\n"
    "  iwd ROOT [--check|--index]\n"
    "  anim info FILE [--json]\n"
    "  anim export FILE... --model MODEL --format xanim_export[,gltf,glb] [--out DIR]\n"
    "  export --anims [FILE...] [--all ROOT] --model MODEL --format xanim_export[,gltf,glb] [--out DIR]\n"
    "  convert FILE.iwi|FILE.dds --to dds|tga|png [--out FILE]\n"
    "  gui [--size WxH] [--json] STEP...   (run TEXT, ms N, move X Y, press, release, click X Y, resize W H)\n";

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto args = ParseCliArgs(argc, argv, {"--game", "--scale", "--lod", "--auto-switch", "--format", "--out", "--gdt-dir", "--tags-dir", "--to", "--size", "--filter", "--png", "--all", "-j", "--dir", "--model"},
                           {"--json", "--geometry", "--help", "--sub-dir", "--no-sub-dir", "--open", "--check", "--manual", "--skip-existing", "--no-handoff", "--index", "--anims"}, error);
  if (!args) {
    std::cerr << "vantor-cli: " << error << "\n" << kUsage;
    return 2;
  }
  if (args->command == "info") return CmdInfo(*args);
  if (args->command == "sample") return CmdSample(*args);
  if (args->command == "export") return CmdExport(*args);
  if (args->command == "settings") return CmdSettings(*args);
  if (args->command == "iwd") return CmdIwd(*args);
  if (args->command == "convert") return CmdConvert(*args);
  if (args->command == "gui") return CmdGui(*args);
  if (args->command == "list") return CmdList(*args);
  if (args->command == "update") return CmdUpdate(*args);
  if (args->command == "anim") return CmdAnim(*args);
  if (args->command == "--help" || args->command == "help" || args->command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  std::cerr << (args->command.empty() ? "vantor-cli: no command\n"
                                      : "vantor-cli: unknown command \"" + args->command + "\"\n")
            << kUsage;
  return 2;
}
