#include "shell/interface.h"

#include <GL/glew.h>

#include <cstdlib>

#include "base/logger.h"
#include "gui/material_table.h"
#include "imaging/gl_image.h"
#include "imaging/image_codes.h"
#include "imaging/iwd_index.h"  // Required for: IwdImages()
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/vk_codes.h"
#include "shell/command_words.h"
#include "shell/hotkeys.h"
#include "shell/qor_opengl.h"
#include "shell/screens/layout.h"
#include "shell/settings.h"
#include "shell/settings_export.h"
#include "update/http_fetch.h"
#include "update/qor_updater.h"
#include "viewer/real_image_gl.h"

namespace {

update::CheckAsk CheckAskOf(const QorSettings& settings) {
  return {settings.update_server, settings.run_count, settings.export_count};
}

// DDS pictures into GL textures, through the image loader.
std::optional<uint32_t> LoadTexture(const std::string& path, std::string& error) {
  RealImageGl gl;
  uint32_t texture = 0;
  const ImageResult r = LoadDDSTexture(gl, path, texture);
  if (r == img::kSuccess) return texture;
  error = QorLogger::error_text(r);
  return std::nullopt;
}

// A panel's rows from the board's table when it is not the one the panel
// already holds (`held`); no table empties it. True when they were taken.
bool TakeRows(DetailSource& panel, const SharedRows& rows, SharedRows& held) {
  if (rows == held) return false;
  held = rows;
  std::lock_guard<std::mutex> hold(panel.lock);
  panel.rows = rows ? *rows : std::vector<DetailRow>{};
  panel.changed = true;
  panel.texts_only = false;
  return true;
}

SoundSwitches SwitchesFromSettings() {
  const QorSettings& s = Settings();
  return {s.sound_all, s.sound_focus, s.sound_accept, s.sound_welcome, s.sound_export};
}

}  // namespace

QorInterface::QorInterface()
    : materials(LoadTexture),
      commands([] { return platform::NowMsPrecise(); }),
      gui(draw, materials, commands, [] { return platform::NowMsPrecise(); }) {}

void QorInterface::InitSound() { sound.InitSound(); }

void QorInterface::LoadDefaultTextures(const std::string& data_dir) {
  if (!materials.LoadDSS("default", data_dir + "/" + kDefaultMaterialFile))
    Logger().critical_error("Failed To Load Default Texture.");
  if (!materials.LoadDSS("mouse_cursor", data_dir + "/" + kCursorMaterialFile))
    Logger().critical_error("Failed To Load Cursor Texture.");
}

void QorInterface::Play(std::string_view name, int channel) {
  sound.SetSwitches(SwitchesFromSettings());
  sound.Playsound(name, channel);
}

void QorInterface::Finish(QorOpenGL& gl, const std::string& data_dir) {
  QorSettings& s = Settings();
  {
    std::lock_guard<std::mutex> hold(gl.worker.lock);
    gl.window.MakeMainCurrent();
    LoadDefaultTextures(data_dir);
    draw.LoadFonts(data_dir);
    LoadGuiMaterials(materials, data_dir);
    platform::GlWindow::ReleaseCurrent();
  }
  gui.hooks.play_sound = [this](std::string_view name, int channel) { Play(name, channel); };
  // Escape with nothing focused quits, or cancels the folder entry.
  gui.hooks.exit_app = [this, &gl] {
    if (entry_open_) {
      EndEntry(false);
    } else {
      gl.quit_requested = true;
    }
  };
  gui.SetTextColour(float(s.color_text & 0xFF) / 255.0f, float((s.color_text >> 8) & 0xFF) / 255.0f,
                    float((s.color_text >> 16) & 0xFF) / 255.0f);

  loader_ = std::make_unique<QorLoader>(models_);
  loader_->wake = [] { Board().Touch(); };
  loader_->reset_listbox = [this] { commands.RunCommand("reset_listbox xmodels;"); };
  loader_->on_finished = [this](bool ok) { actions_->ListFinished(ok); };
  ActionHooks act;
  act.show_error = [this](const std::string& text) { gui.ShowError(text); };
  act.show_message = [this](const std::string& text) {
    gui.SetMessage(text);
    commands.RunCommand("open msg_box_menu;");
  };
  act.run_commands = [this](const std::string& text) { commands.RunCommand(text); };
  act.set_text = [this](const std::string& name, const std::string& text) { gui.SetBoxText(name, text); };
  // A root whose models are listed has its animations listed too.
  act.set_title = [this, &gl](const std::string& root) {
    gl.SetTitle(root);
    if (animations_) animations_->ListRoot(root);
  };
  act.set_model_game = [&gl](GameVersion game) { gl.worker.SetModelGame(game); };
  act.add_job = [&gl](const std::string& path, uint32_t flags) { gl.worker.AddJob(path, flags); };
  act.set_model_scale = [&gl](float scale) { gl.worker.SetModelScale(scale); };
  act.set_frame_caps = [&gl](int focused, int unfocused) {
    gl.fps_focused = focused;
    gl.fps_unfocused = unfocused;
  };
  iwd_ = std::make_unique<QorIWDUtils>();
  // A new game root: the mover starts over and looks at its images.
  act.check_images = [this](const std::string& root) {
    iwd_->Reset();
    iwd_->CheckForImages(root);
    // The image lookups read what raw/images lacks from the archives: their
    // index is built now, before the first model asks.
    IwdImages().Prepare(root);
  };
  actions_ = std::make_unique<QorActions>(s, *loader_, std::move(act));
  gl.fps_focused = s.fps_active;
  gl.fps_unfocused = s.fps_sleepy;
  on_top_applied_ = s.window_on_top;

  ProgramWords words;
  words.gui = &gui;
  words.settings = &s;
  // Every job takes the export settings as they are when it is queued, so
  // a check box changed since start-up counts.
  // The model path is the worker's: the last model it was asked to load.
  words.queue_job = [&gl](uint32_t flags) {
    const std::string model_path = gl.worker.ModelPath();
    if (model_path.empty()) return;
    ExportSettings exports = ExportSettingsFromSettings(Settings());
    if (!platform::FolderExists(exports.export_folder)) exports.export_folder = "Running Directory";
    if (!platform::FolderExists(exports.export_folder_GDT)) exports.export_folder_GDT = "Running Directory";
    gl.worker.SetExportSettings(exports);
    gl.worker.AddJob(model_path, flags);
  };
  words.has_model = [&gl] { return !gl.worker.ModelPath().empty() && gl.worker.HasModel(); };
  words.open_page = [](const std::string& url) {
    if (const std::string error = platform::OpenWithDesktop(url); !error.empty()) {
      Logger().warning("%s", error.c_str());
      Board().ShowError(error);
    }
  };
  words.run_iwd_scan = [this] { iwd_->IWDToImages(); };
  words.cancel_iwd_scan = [this] { iwd_->Cancel(); };
  words.random = [] { return uint32_t(std::rand()); };
  updater_ = std::make_unique<QorUpdater>();
  words.download_update = [this] {
    UpdateDownloadRequest request;
    request.server = update::ServerOf(Settings().update_server);
    request.program_folder = platform::ProgramFolder();
    if (!updater_->StartUpdateDownload(std::move(request))) Logger().log("The update download runs already");
  };
  words.stop_update_download = [this] { updater_->StopDownload(); };
  animations_ = std::make_unique<AnimationPanel>(gui, gl);
  words.animation = [this](const std::string& word, const std::string& value) { animations_->RunWord(word, value); };
  RegisterProgramWords(commands, words);
  theme_ = std::make_unique<QorThemeManger>(s.active_theme);
  gui.SetFrameColours(&theme_->colours());
  LayoutHooks layout = ActionLayoutHooks();
  layout.ask_question = [this](std::string title, std::string text, std::function<void(bool)> answer) {
    questions_.Ask(title, text, std::move(answer));
  };
  layout.set_theme = [this](int index) {
    if (!theme_->SetTheme(index)) return false;
    Settings().active_theme = index;
    gui.SetFrameColours(&theme_->colours());
    return true;
  };
  Logger().attach_model_log();
  log_lines_.ready = true;
  layout.log_lines = &log_lines_;
  layout.properties = &properties_;
  layout.tags = &tags_;
  layout.animation = animations_->LayoutHooks();
  // "Export To DDS" / "Export To TGA" on an image row of the properties
  // panel: that image of the model on show, by its place in the library.
  gui.hooks.export_image = [&gl](int material, int image, bool tga) {
    const std::string model_path = gl.worker.ModelPath();
    if (model_path.empty()) return;
    gl.worker.AddJob(model_path, tga ? job::kExportTGA : job::kExportIWI, ImageRef{material, image});
  };
  // A level of detail's row: the model on show, at that level.
  gui.hooks.show_lod = [&gl](int level) {
    const std::string model_path = gl.worker.ModelPath();
    if (!model_path.empty()) gl.worker.AddJob(model_path, job::kSurfaces | job::kTextures, {}, level);
  };
  layout.sound_level = [this](float level) { sound.SetLevel(level); };
  update_check_ = std::make_unique<QorUpdateCheck>(HttpFetch());
  layout.check_for_updates = [this] { update_check_->Start(true, CheckAskOf(Settings())); };
  BuildLayout(gui, s, layout);
  FolderEntryHooks entry;
  entry.accept = [this] { EndEntry(true); };
  entry.cancel = [this] { EndEntry(false); };
  BuildFolderEntry(gui, std::move(entry));
  questions_.Build();
  platform::SetQuestionAnswerer(&worker_questions_);

  // Sounds: the table, then the stored level.
  const std::string sounds = data_dir + "/";
  for (const SoundTableRow& row : kSoundTable) sound.LoadSound(row.name, sounds + row.file);
  sound.SetLevel(s.sound_level);

  FrameHooks& h = gl.hooks;
  // The bars read the board's values as this frame drained them.
  gui.ReadValuesFrom(&gl.board_view);
  // What the background threads published reaches the widgets each frame.
  h.draw_gui = [this, &gl] {
    loader_->Refresh();
    for (const auto& [name, text] : gl.board_view.texts) gui.SetText(name, text);
    // The panels' rows, when the worker has published new ones.
    TakeRows(properties_, gl.board_view.Rows(kPropertyRowsName), property_rows_);
    const bool new_tags = TakeRows(tags_, gl.board_view.Rows(kTagRowsName), tag_rows_);
    // While an animation plays the tags panel gives each tag's posed
    // position; after it, the worker's rows again.
    animations_->Refresh();
    if (gl.player.active()) {
      static const std::vector<DetailRow> kNoRows;
      tags_posed_ |= animations_->PoseTagRows(tag_rows_ ? *tag_rows_ : kNoRows, tags_, new_tags || !tags_posed_);
    } else if (tags_posed_) {
      tags_posed_ = false;
      tag_rows_.reset();
      TakeRows(tags_, gl.board_view.Rows(kTagRowsName), tag_rows_);
    }
    // The log switches take effect at once.
    Logger().set_log_xmodel(Settings().log_xmodel);
    Logger().set_supress_warnings(Settings().log_supress_warnings);
    if (const size_t count = Logger().model_log_size(); count != log_count_) {
      std::vector<std::string> lines = Logger().model_log_lines();
      std::lock_guard<std::mutex> hold(log_lines_.lock);
      log_lines_.items = std::move(lines);
      log_count_ = count;
    }
    worker_questions_.Show(questions_);
    gui.Render(gl.frame_rate);
  };
  h.after_swap = [this, &gl] {
    commands.RunDue();
    PollBrowse();
    ProcessFrameActions(gl);
  };
  // A folder dialog's answer is looked for on every pass while it is open.
  h.gui_moving = [this] { return gui.Moving() || dialog_.Running(); };
  h.pointer_over_gui = [this] { return gui.mouse_over_gui(); };
  h.play_sound = [this](const std::string& name) { Play(name, 2); };
  h.show_error = [this](const std::string& text) { gui.ShowError(text); };
  h.show_message = [this](const std::string& text) {
    gui.SetMessage(text);
    commands.RunCommand("open msg_box_menu;");
  };
  h.run_commands = [this](const std::string& text) { commands.RunCommand(text); };
  h.mouse_move = [this](float x, float y) { gui.OnMouseMove(x, y); };
  h.left_button = [this](bool down) {
    if (down) {
      gui.OnPress();
    } else {
      gui.OnRelease();
    }
  };
  // Escape with nothing focused reaches exit_app (above) and the key arrays.
  auto taken = [](KeyRoute r) { return r != KeyRoute::kHotkey && r != KeyRoute::kExit; };
  h.key = [this, taken](int vk, bool down) {
    const bool entry = entry_open_;
    const KeyRoute route = gui.OnKey(vk, down);
    if (!entry) return taken(route);
    // The folder entry: Enter takes the path, Escape cancels; neither quits.
    if (down && route == KeyRoute::kEndEdit) EndEntry(vk == platform::kVkReturn);
    return route != KeyRoute::kHotkey;
  };
  h.character = [this, taken](unsigned cp) { return taken(gui.OnChar(cp)); };
  h.drop = [this](const std::string& path) { actions_->OpenDroppedModel(path); };
  h.right_button = [this](bool down) {
    if (down) {
      gui.OnRightPress();
    } else {
      gui.OnRightRelease();
    }
  };
  h.wheel = [this](int notches) { gui.AddWheel(notches); };
  gui.hooks.set_clipboard = [&gl](const std::string& text) { gl.window.SetClipboard(text); };
  gui.hooks.get_clipboard = [&gl] { return gl.window.Clipboard(); };
  h.resized = [this](int w, int h2) {
    gui.SetPendingSize(w, h2);
    gui.ItemScale();
  };
  gui.SetPendingSize(gl.view_width, gl.view_height);
  gui.ItemScale();
  gl.window.HideCursor();
  started_ = true;
}

LayoutHooks QorInterface::ActionLayoutHooks() {
  QorActions& a = *actions_;
  LayoutHooks l;
  l.models = &models_;
  l.load_model = [&a](const std::string& name) { a.LoadModel(name); };
  l.filter_models = [this](const std::string& text) { loader_->Filter(text); };
  l.set_active_fps = [&a](const std::string& text) { a.SetActiveFps(text); };
  l.set_inactive_fps = [&a](const std::string& text) { a.SetInactiveFps(text); };
  l.set_model_scale = [&a](const std::string& text) { a.SetModelScale(text); };
  l.set_logging_mode = [&a](int mode) { return a.SetLoggingMode(mode); };
  l.set_active_game = [&a](int game) { return a.SetActiveGame(game); };
  l.set_export_as_tga = [&a](int value) { return a.SetExportAsTga(value); };
  l.set_mouse_style = [&a](int style) { return a.SetMouseStyle(style); };
  l.set_grid_colour = [&a](const Rgba& c) { a.SetGridColour(c.r, c.g, c.b); };
  l.set_background_colour = [&a](const Rgba& c) { a.SetBackgroundColour(c.r, c.g, c.b); };
  l.clear_game_root = [&a](int game) { a.ClearGameRoot(game); };
  static const char* const kRootTitles[3] = {"Select COD 4 'root' folder", "Select COD 5 'root' folder",
                                             "Select COD Black Ops 'root' folder"};
  l.browse_game_root = [this, &a](int game) {
    if (game < 0 || game > 2) return;
    Browse(kRootTitles[game], [&a, game](const std::string& folder) { a.SetGameRoot(game, folder); });
  };
  l.browse_export_folder = [this, &a] {
    Browse("Select export Folder", [&a](const std::string& folder) { a.SetExportFolder(folder); });
  };
  l.browse_gdt_folder = [this, &a] {
    Browse("Select folder to place GDT's", [&a](const std::string& folder) { a.SetGdtFolder(folder); });
  };
  l.clear_export_folder = [&a] { a.ClearExportFolder(); };
  // "Move IWD's Over": the chosen game's root to the mover, whose panel
  // offers the pass; an unset root is said, never handed over.
  l.move_iwds = [this](int game) {
    const QorSettings& s = Settings();
    const std::string& root = game == 1 ? s.Cod5Path : game == 2 ? s.BOPath : s.Cod4Path;
    if (root == "Set Path") {
      gui.SetMessage("Directory Not Set");
      commands.RunCommand("open msg_box_menu;");
      return;
    }
    if (iwd_->running()) return;
    iwd_->Reset();
    iwd_->SetRoot(root);
    commands.RunCommand("open iwd_images_menu;");
  };
  l.clear_gdt_folder = [&a] { a.ClearGdtFolder(); };
  return l;
}

void QorInterface::Browse(const std::string& title, std::function<void(const std::string&)> answer) {
  if (dialog_.Running() || entry_open_) return;  // one browse at a time
  std::string note;
  const std::string start = platform::BrowseStartFolder(note);
  if (!note.empty()) Logger().log("%s", note.c_str());
  if (start.empty()) {
    gui.ShowError("Failed To Find 'CSIDL_DESKTOP' ");
    return;
  }
  folder_answer_ = std::move(answer);
  std::string warning;
  const platform::FolderBrowserKind kind = platform::PickFolderBrowser(warning);
  if (!warning.empty()) Logger().warning("%s", warning.c_str());
  if (kind != platform::FolderBrowserKind::kInWindow) {
    if (dialog_.Start(kind, title, start, warning)) return;
    Logger().warning("%s", warning.c_str());
  }
  gui.SetText(kFolderEntryTitle, title);
  gui.SetBoxText(kFolderEntryBox, start);
  gui.SetVis(kFolderEntryMenu, true);
  gui.FocusBox(kFolderEntryBox);  // what is typed goes there, replacing the start folder
  entry_open_ = true;
}

void QorInterface::EndEntry(bool accept) {
  if (!entry_open_) return;
  entry_open_ = false;
  gui.SetVis(kFolderEntryMenu, false);
  // The box itself: Enter may come before a frame has shown the last keys.
  const std::string path = gui.BoxText(kFolderEntryBox);
  if (accept && !path.empty() && folder_answer_) folder_answer_(path);
}

void QorInterface::PollBrowse() {
  if (!dialog_.Running()) return;
  std::string warning;
  std::optional<std::string> answer = dialog_.Poll(warning);
  if (!warning.empty()) Logger().warning("%s", warning.c_str());
  if (answer && !answer->empty() && folder_answer_) folder_answer_(*answer);
}

void QorInterface::StartUpdateCheck() {
  if (update_check_ && Settings().auto_update) update_check_->Start(false, CheckAskOf(Settings()));
}

void QorInterface::StartActiveGame(QorOpenGL& gl) {
  if (!actions_ || !actions_->SetActiveGame(Settings().active_game)) gl.SetTitle("Set Active Game In Settings");
}

void QorInterface::ProcessFrameActions(QorOpenGL& gl) {
  QorSettings& s = Settings();
  RunHotkeys(s.key_map, gl.input.keys_pressed, gl.input.keys_char, [&](int slot) {
    if (slot == kHotkeyCycleGame) {
      actions_->CycleGame();
    } else if (slot == kHotkeyScreenshot) {
      gl.screenshot_request = "QorVantor_screenshot.dds";
    } else if (slot == kHotkeyFrameModel) {
      gl.FrameLoadedModel();
    } else if (slot == kHotkeyCycleLod) {
      if (const std::string model_path = gl.worker.ModelPath(); !model_path.empty())
        gl.worker.AddJob(model_path, job::kSurfaces | job::kTextures, {}, kNextLod);
    } else if (bool QorSettings::*flag = HotkeySwitch(slot)) {
      s.*flag = !(s.*flag);
    } else if (const std::string command = HotkeyCommand(slot); !command.empty()) {
      commands.RunCommand(command);
    }
  });
  // A press no hotkey took is forgotten, so binding its key later does not
  // fire it.
  gl.input.keys_pressed.fill(0);
  gl.input.keys_char.fill(0);
  if (s.window_on_top != on_top_applied_) {
    gl.window.SetTopmost(s.window_on_top);
    on_top_applied_ = s.window_on_top;
  }
}

void QorInterface::ShutdownUpdates() {
  if (updater_) updater_->Shutdown();
}

void QorInterface::ShutdownGui(QorOpenGL& gl) {
  if (!started_) return;
  // A question the worker waits on is answered no, and so is any later one.
  worker_questions_.Shutdown();
  platform::SetQuestionAnswerer(nullptr);
  // A listing still running stops at its next name, an IWD pass at its
  // next entry; an open folder dialog is closed.
  loader_.reset();
  animations_.reset();
  iwd_.reset();
  dialog_.Cancel();
  commands.DropPending();
  {
    std::lock_guard<std::mutex> hold(gl.worker.lock);
    if (gl.window.MakeMainCurrent()) {
      Logger().log("QorGUI Deleteing (%i) materials", int(materials.size()));
      materials.DeleteAll([](uint32_t texture) { glDeleteTextures(1, &texture); });
      draw.DeleteFonts();
      platform::GlWindow::ReleaseCurrent();
    }
  }
  Logger().log("QorGUI Shutdown");
  started_ = false;
}
