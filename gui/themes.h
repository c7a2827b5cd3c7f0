// The three themes ("Dark Theme", "Grey Theme", "Blue Theme"): colour tables
// for the window's frame. The desktop draws the frame here, so the table in
// force is published for whatever paints with it, and a change asks for a
// repaint through the hook the shell sets.
#pragma once

#include <array>
#include <functional>

struct ThemeColours {
  float caption_top[3];
  float caption_bottom[3];
  float border[3];
  float caption_text[3];
};

class QorThemeManger {
 public:
  static constexpr const char* kNames[3] = {"Dark Theme", "Grey Theme", "Blue Theme"};

  // The stored "active_theme"; 0 for any value but 0, 1, 2.
  explicit QorThemeManger(int stored_index);

  // True when `index` is in force afterwards. Selecting the active theme
  // again repaints nothing; an index outside 0-2 changes nothing and fails.
  bool SetTheme(int index);
  int active() const { return active_; }
  const ThemeColours& colours() const { return tables_[size_t(active_)]; }

  std::function<void()> repaint_frame;

 private:
  std::array<ThemeColours, 3> tables_;
  int active_ = 0;
};
