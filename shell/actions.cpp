#include "shell/actions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "base/logger.h"
#include "jobs/qor_loader.h"
#include "jobs/xmodel_threaded.h"
#include "platform/folder_list.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"
#include "platform/text_case.h"
#include "shell/settings.h"

namespace {

constexpr const char* kSetPath = "Set Path";
constexpr const char* kRunningDirectory = "Running Directory";
// What the store keeps of a folder; a longer one would come back cut.
constexpr size_t kMaxFolderLength = 259;

// The whole text as a number, spaces around it allowed: "60x", "1e99999"
// and "" are not numbers.
template <class T>
bool ParseWhole(const std::string& text, T& value) {
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return false;
  const char* first = text.data() + begin;
  const char* last = text.data() + end + 1;
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

bool HasRawFolder(const std::string& root) {
  bool found = false;
  platform::ListFolder(root, [&found](std::string_view name, bool is_folder) {
    if (is_folder && platform::EqualsNoCase(name, "raw")) found = true;
  });
  return found;
}

const char* const kRootTexts[3] = {"output_cod4", "output_cod5", "output_cod_bo"};
const char* const kNoRaw[3] = {
    "No 'raw' folder found make sure you select the root cod4 directory and have mod tools installed.",
    "No 'raw' folder found make sure you select the root cod5 directory and have mod tools installed.",
    "No 'raw' folder found make sure you select the root cod BO directory and have mod tools installed.",
};
const GameVersion kGames[3] = {Cod4, Cod5, BO};

}  // namespace

uint32_t PackColour(float r, float g, float b) {
  auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
  return channel(r) | channel(g) << 8 | channel(b) << 16;
}

QorActions::QorActions(QorSettings& settings, QorLoader& loader, ActionHooks hooks)
    : settings_(settings), loader_(loader), hooks_(std::move(hooks)) {}

std::string& QorActions::GameRoot(int game) {
  return game == 1 ? settings_.Cod5Path : game == 2 ? settings_.BOPath : settings_.Cod4Path;
}

QorActions::ListStart QorActions::StartModelList(const std::string& root) {
  if (root == kSetPath) {
    if (hooks_.show_message) hooks_.show_message("Directory Not Set");
    return ListStart::kFailed;
  }
  const std::string folder = platform::WithTrailingSeparator(platform::NormalizePath(root)) + "raw/xmodel";
  if (!platform::FolderExists(folder)) {
    if (hooks_.show_error) hooks_.show_error("Xmodel List: '" + folder + "' is not a valid path");
    return ListStart::kFailed;
  }
  if (root == listed_root_) return ListStart::kUnchanged;
  if (!loader_.SetFolder(folder) || !loader_.LoadList()) return ListStart::kFailed;
  if (hooks_.set_title) hooks_.set_title(root);
  listed_root_ = root;
  return ListStart::kStarted;
}

void QorActions::ListFinished(bool ok) {
  if (!ok) listed_root_.clear();
}

bool QorActions::SetActiveGame(int index) {
  if (loader_.loading()) {
    Logger().warning("User tried to switch active game while list is still loading.");
    return false;
  }
  if (index < 0 || index > 2) {
    if (hooks_.show_error) hooks_.show_error("Unkown Game selected in dropbox.");
    return false;
  }
  // The readers' layout follows the list shown: a game whose list did not
  // start leaves both as they were.
  if (StartModelList(GameRoot(index)) == ListStart::kFailed) return false;
  if (hooks_.set_model_game) hooks_.set_model_game(kGames[index]);
  settings_.active_game = index;
  return true;
}

void QorActions::CycleGame() {
  int game = settings_.active_game;
  for (int attempt = 0; attempt < 2; ++attempt) {
    game = (game + 1) % 3;
    if (SetActiveGame(game)) return;
  }
}

void QorActions::LoadModel(const std::string& name) {
  if (!loader_.Listed(name)) return;
  Logger().log("Passing Xmodel: '%s' to background loader", name.c_str());
  // The readers follow the list again after a dropped model of another game.
  if (hooks_.set_model_game) hooks_.set_model_game(kGames[std::clamp(settings_.active_game, 0, 2)]);
  if (hooks_.add_job) hooks_.add_job(loader_.folder() + name, job::kOpenModel);
}

bool QorActions::OpenDroppedModel(const std::string& path) {
  const std::string file = platform::NormalizePath(path);
  const size_t name_at = platform::LastSeparator(file);
  const std::string folder = name_at == std::string::npos ? "" : file.substr(0, name_at);
  const size_t xmodel_at = platform::LastSeparator(folder);
  const std::string raw = xmodel_at == std::string::npos ? "" : folder.substr(0, xmodel_at);
  const size_t raw_at = platform::LastSeparator(raw);
  if (raw_at == std::string::npos || !platform::EqualsNoCase(folder.substr(xmodel_at + 1), "xmodel") ||
      !platform::EqualsNoCase(raw.substr(raw_at + 1), "raw") || !platform::FileExists(file)) {
    if (hooks_.show_error) hooks_.show_error("Not a model file (raw/xmodel/NAME): '" + path + "'");
    return false;
  }
  auto bare = [](const std::string& stored) {
    std::string dir = platform::NormalizePath(stored);
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
  };
  const std::string root = raw.substr(0, raw_at);
  for (int game = 0; game < 3; ++game)
    if (game != settings_.active_game && bare(GameRoot(game)) == root && !loader_.loading()) SetActiveGame(game);
  // The version: 62 only Black Ops writes; a 25 is read as the active game
  // when that is COD 4 or COD 5 (the loader's switch may still make a COD 5
  // read a COD 4 model), else as COD 5, whose reader asks about COD 4.
  GameVersion game = kGames[std::clamp(settings_.active_game, 0, 2)];
  unsigned char version[2] = {0, 0};
  if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
    if (std::fread(version, 1, 2, f) == 2) {
      const int v = version[0] | version[1] << 8;
      if (v == 62) game = BO;
      if (v == 25 && game == BO) game = Cod5;
    }
    std::fclose(f);
  }
  if (hooks_.set_model_game) hooks_.set_model_game(game);
  Logger().log("Passing Xmodel: '%s' to background loader", file.c_str());
  if (hooks_.add_job) hooks_.add_job(file, job::kOpenModel);
  return true;
}

// A frame cap above `floor`; anything else is ignored without a word.
void QorActions::SetFrameCap(const std::string& text, int floor, int32_t& cap, const char* line) {
  int value = 0;
  if (!ParseWhole(text, value) || value <= floor) return;
  cap = value;
  if (hooks_.set_frame_caps) hooks_.set_frame_caps(settings_.fps_active, settings_.fps_sleepy);
  Logger().log(line, value);
}

void QorActions::SetActiveFps(const std::string& text) {
  SetFrameCap(text, 30, settings_.fps_active, "ActiveFPS set to: %i");
}

void QorActions::SetInactiveFps(const std::string& text) {
  SetFrameCap(text, 10, settings_.fps_sleepy, "InactiveFPS set to: %i");
}

void QorActions::SetModelScale(const std::string& text) {
  float value = 0;
  if (!ParseWhole(text, value) || !std::isfinite(value)) {
    if (hooks_.show_error) hooks_.show_error("Model Scale: Not a valid float");
    return;
  }
  if (!ValidModelScale(value)) {
    if (hooks_.show_error) hooks_.show_error("Model Scale: Please enter\n a scale between 0-999");
    return;
  }
  if (value == settings_.export_scale_new) return;
  settings_.export_scale_new = value;
  if (hooks_.set_model_scale) hooks_.set_model_scale(value);
  Logger().log("XmodelScale SetTo: %.2f", double(value));
}

bool QorActions::SetLoggingMode(int mode) { return settings_.SetLoggingMode(mode); }

bool QorActions::SetMouseStyle(int style) {
  if (style != 0 && style != 1) return false;
  if (hooks_.run_commands)
    hooks_.run_commands(style == 0 ? "open Settings_hotkeys_mouse_maya; force_close Settings_hotkeys_mouse_assView;"
                                   : "open Settings_hotkeys_mouse_assView; force_close Settings_hotkeys_mouse_maya;");
  settings_.mouse_style = style;
  return true;
}

bool QorActions::SetExportAsTga(int value) {
  if (value != 0 && value != 1) return false;
  // Each export job takes the image format from the settings when queued.
  settings_.export_img_as_tga = value;
  return true;
}

// The frame reads both colours from the settings every frame.
void QorActions::SetBackgroundColour(float r, float g, float b) { settings_.color_background = PackColour(r, g, b); }

void QorActions::SetGridColour(float r, float g, float b) { settings_.color_grid = PackColour(r, g, b); }

bool QorActions::StoreFolder(std::string& setting, const char* text_name, const std::string& folder) {
  if (folder.size() > kMaxFolderLength) {
    if (hooks_.show_error)
      hooks_.show_error("Folder path is too long to be stored (259 characters at most): '" + folder + "'");
    return false;
  }
  setting = folder;
  if (hooks_.set_text) hooks_.set_text(text_name, folder);
  return true;
}

bool QorActions::SetGameRoot(int game, const std::string& folder) {
  if (folder.empty() || game < 0 || game > 2) return false;
  if (!HasRawFolder(folder)) {
    if (hooks_.show_error) hooks_.show_error(kNoRaw[game]);
    return false;
  }
  if (!StoreFolder(GameRoot(game), kRootTexts[game], folder)) return false;
  if (hooks_.check_images) hooks_.check_images(folder);
  // The active game's new root is listed at once.
  if (game == settings_.active_game && !loader_.loading()) SetActiveGame(game);
  return true;
}

bool QorActions::SetExportFolder(const std::string& folder) {
  return !folder.empty() && StoreFolder(settings_.export_folder, "output_dir", folder);
}

bool QorActions::SetGdtFolder(const std::string& folder) {
  return !folder.empty() && StoreFolder(settings_.export_folder_GDT, "output_GDT_dir", folder);
}

void QorActions::ClearGameRoot(int game) {
  if (game < 0 || game > 2) return;
  StoreFolder(GameRoot(game), kRootTexts[game], kSetPath);
}

// The worker turns "Running Directory" into the program's own "exported" and
// "GDTs" folders.
void QorActions::ClearExportFolder() { StoreFolder(settings_.export_folder, "output_dir", kRunningDirectory); }
void QorActions::ClearGdtFolder() { StoreFolder(settings_.export_folder_GDT, "output_GDT_dir", kRunningDirectory); }
