// vantor-cli list: the model list as the window fills it, without one (or
// the animation files of a root with --anims). The
// names go to standard output in listing order, one a line (or as JSON);
// the "Loading: N" status lines and the log go to standard error. The
// filter takes the search box's terms ("bones:>20 !_lod"), reading the
// models' facts when a term needs them.
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <string>

#include "base/json_writer.h"
#include "base/list_source.h"
#include "base/logger.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "jobs/qor_loader.h"
#include "model/model_query.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/terminal.h"
#include "shell/settings.h"

namespace {

// A game root lists its raw/xmodel (raw/xanim with --anims); any other
// folder is listed itself.
std::optional<std::string> FolderToList(const CliArgs& args) {
  const char* kind = args.Has("--anims") ? "/raw/xanim" : "/raw/xmodel";
  if (!args.positional.empty()) {
    const std::string& path = args.positional[0];
    const std::string models = platform::NormalizePath(path) + kind;
    return platform::FolderExists(models) ? models : path;
  }
  QorSettings& s = Settings();
  s.Load();
  int game = s.active_game;
  if (std::optional<std::string> name = args.Get("--game")) {
    std::optional<int> parsed = ParseGameName(*name);
    if (!parsed) {
      std::cerr << "vantor-cli: unknown game (cod4, cod5 or bo)\n";
      return std::nullopt;
    }
    game = *parsed == Cod5 ? 1 : *parsed == BO ? 2 : 0;
  }
  const std::string& root = game == 1 ? s.Cod5Path : game == 2 ? s.BOPath : s.Cod4Path;
  if (root == "Set Path") {
    std::cerr << "error: Directory Not Set (vantor-cli settings set Folders/Cod4Path ROOT, or give ROOT)\n";
    return std::nullopt;
  }
  return platform::NormalizePath(root) + kind;
}

}  // namespace

int CmdList(const CliArgs& args) {
  InstallStderrSink(Logger(), platform::StderrIsTerminal());
  const std::optional<std::string> folder = FolderToList(args);
  if (!folder) return 2;
  if (args.Has("--anims") && ParseModelQuery(args.Get("--filter").value_or("")).needs_facts()) {
    std::cerr << "vantor-cli: search terms ask for models' facts; animations are found by name\n";
    return 2;
  }

  ListSource view;
  std::mutex lock;
  std::condition_variable signal;
  bool woken = false;
  bool ok = false;
  {
    QorLoader loader(view);
    loader.wake = [&] {
      std::lock_guard<std::mutex> hold(lock);
      woken = true;
      signal.notify_one();
    };
    loader.on_status = [](const std::string& line) { std::cerr << line << "\n"; };
    loader.on_finished = [&ok](bool finished) { ok = finished; };
    // The loader's threads wake this one; Refresh takes what they handed over.
    auto refresh_while = [&](auto busy) {
      while (busy()) {
        std::unique_lock<std::mutex> hold(lock);
        signal.wait(hold, [&] { return woken; });
        woken = false;
        hold.unlock();
        loader.Refresh();
      }
    };
    if (!loader.SetFolder(*folder) || !loader.LoadList()) return 1;
    refresh_while([&] { return loader.loading(); });
    if (!ok) return 1;
    loader.Filter(args.Get("--filter").value_or(""));
    if (!loader.query_error().empty()) {
      std::cerr << "vantor-cli: bad search term '" << Printable(loader.query_error())
                << "' (bones:, lods:, verts: take a count such as 20, >20 or <=20; game: cod4, cod5 or bo)\n";
      return 2;
    }
    refresh_while([&] { return loader.reading_facts(); });
  }

  std::lock_guard<std::mutex> hold(view.lock);
  if (args.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("folder").String(*folder).Key("filter").String(args.Get("--filter").value_or(""));
    json.Key("count").Int(int64_t(view.items.size())).Key("names").BeginArray();
    for (const std::string& name : view.items) json.String(name);
    json.EndArray().EndObject();
    std::cout << json.str() << "\n";
  } else {
    std::string out;
    for (const std::string& name : view.items) out += Printable(name) + "\n";  // names from a folder listing
    std::cout << out;
  }
  return 0;
}
