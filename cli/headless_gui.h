// The interface without a window: the toolkit over a null drawer with a
// clock the caller moves, the program's command words registered (jobs and
// pages only logged: no worker runs here) and the fixed layout built from
// the settings. `vantor --dump-layout` and `vantor-cli gui` run on it.
#pragma once

#include <string>

#include "gui/qor_gui.h"

struct QorSettings;

struct HeadlessGui {
  explicit HeadlessGui(QorSettings& settings);

  double now = 0;
  NullDraw2D draw;
  MaterialStore materials{nullptr};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
};

// "WxH" into two positive sizes.
bool ParseWindowSize(const std::string& text, int& width, int& height);
// Writes `text` to `path` whole or not at all; false with a message on
// standard error.
bool WriteTextFile(const std::string& path, const std::string& text);
