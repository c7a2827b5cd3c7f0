// vantor-cli settings: the settings store by key path and value name.
//   list              every setting as "Key/value = text"
//   get KEY           one value's text
//   set KEY VALUE     parse by the value's type, write that value alone
//   reset             delete the store; the defaults apply at the next start
#include <iostream>

#include "base/logger.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "platform/terminal.h"
#include "shell/settings.h"

int CmdSettings(const CliArgs& args) {
  const auto& p = args.positional;
  auto usage = [] {
    std::cerr << "usage: vantor-cli settings list | get KEY | set KEY VALUE | reset\n";
    return 2;
  };
  if (p.empty()) return usage();
  InstallStderrSink(Logger(), platform::StderrIsTerminal());
  platform::RegistryStore& reg = platform::UserRegistry();
  QorSettings& s = Settings();
  const std::string& verb = p[0];

  if (verb == "reset") {
    if (p.size() != 1) return usage();
    return s.ResetSettings(reg) ? 0 : 1;
  }
  s.Load(reg);
  if (verb == "list") {
    if (p.size() != 1) return usage();
    for (const SettingDescriptor& d : SettingDescriptors())
      std::cout << SettingPath(d) << " = " << Printable(FormatSetting(s, d)) << "\n";
    return 0;
  }
  if (verb != "get" && verb != "set") return usage();
  if ((verb == "get" && p.size() != 2) || (verb == "set" && p.size() != 3)) return usage();
  const SettingDescriptor* d = FindSetting(p[1]);
  if (!d) {
    std::cerr << "error: no setting \"" << p[1] << "\" (see: vantor-cli settings list)\n";
    return 2;
  }
  if (verb == "get") {
    std::cout << Printable(FormatSetting(s, *d)) << "\n";
    return 0;
  }
  std::string error;
  if (!ParseSetting(s, *d, p[2], error)) {
    std::cerr << "error: " << error << "\n";
    return 2;
  }
  return SaveSetting(s, *d, reg) ? 0 : 1;
}
