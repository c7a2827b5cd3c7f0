#include "shell/screens/headless_gui.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>

#include "base/logger.h"
#include "gui/material_table.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/replace_file.h"
#include "shell/command_words.h"
#include "shell/screens/layout.h"
#include "shell/settings.h"

void TextRecorder::Enter2D(int, int) {
  texts.clear();
  stack_.clear();
}

void TextRecorder::PushTranslate(float x, float y) {
  const Offset top = stack_.empty() ? Offset{0, 0} : stack_.back();
  stack_.push_back({top.x + x, top.y + y});
}

void TextRecorder::Pop() {
  if (!stack_.empty()) stack_.pop_back();
}

void TextRecorder::Text(float x, float y, std::string_view text) {
  const Offset top = stack_.empty() ? Offset{0, 0} : stack_.back();
  texts.push_back({top.x + x, top.y + y, std::string(text)});
}

namespace {

// A picture counts as loaded when its file is there; nothing is decoded.
MaterialStore::Loader FilePresence() {
  return [next = uint32_t(1)](const std::string& path, std::string& error) mutable -> std::optional<uint32_t> {
    if (platform::FileExists(path)) return next++;
    error = "file not found";
    return std::nullopt;
  };
}

}  // namespace

HeadlessGui::HeadlessGui(QorSettings& settings) : materials(FilePresence()) {
  const std::string data = platform::DataFolder();
  (void)draw.LoadFonts(data);
  (void)materials.LoadDSS("default", data + "/" + kDefaultMaterialFile);
  (void)materials.LoadDSS("mouse_cursor", data + "/" + kCursorMaterialFile);
  LoadGuiMaterials(materials, data);
  ProgramWords words;
  words.gui = &gui;
  words.settings = &settings;
  words.queue_job = [](uint32_t flags) { Logger().log("Job 0x%x not run: no model worker here", unsigned(flags)); };
  words.open_page = [](const std::string& url) { Logger().log("Page not opened here: %s", url.c_str()); };
  RegisterProgramWords(commands, words);
  BuildLayout(gui, settings);
}

bool ParseWindowSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  const char* end = text.data() + text.size();
  auto w = std::from_chars(text.data(), text.data() + x, width);
  auto h = std::from_chars(text.data() + x + 1, end, height);
  return w.ec == std::errc() && w.ptr == text.data() + x && h.ec == std::errc() && h.ptr == end && width > 0 &&
         height > 0 && width <= 16384 && height <= 16384;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  platform::ReplaceFile file;
  int e = file.Open(path);
  if (e == 0 && !file.Write(text.data(), text.size())) e = errno ? errno : EIO;
  if (e == 0) e = file.Commit();
  if (e != 0) {
    file.Abandon();
    std::cerr << "error: cannot write " << path << ": " << std::strerror(e) << "\n";
    return false;
  }
  return true;
}
