// The interface without a window: the toolkit over a drawer that only keeps
// texts, with a clock the caller moves, the program's command words
// registered (jobs and pages only logged: no worker runs here), the
// pictures "loaded" when their files are in the data folder (no textures),
// and the fixed layout built from the settings. `vantor --dump-layout` and `vantor-cli gui` run on it.
#pragma once

#include <string>
#include <vector>

#include "gui/qor_gui.h"
#include "gui/txf_metrics.h"

struct QorSettings;

// Draws nothing, keeps the texts of the last pass with their screen
// positions; measures with the fonts' own metrics.
class TextRecorder : public MeasuringDraw2D {
 public:
  struct Drawn {
    float x, y;
    std::string text;
  };
  void Enter2D(int, int) override;
  void PushTranslate(float x, float y) override;
  void Pop() override;
  void Text(float x, float y, std::string_view text) override;

  std::vector<Drawn> texts;

 private:
  struct Offset {
    float x, y;
  };
  std::vector<Offset> stack_;
};

struct HeadlessGui {
  explicit HeadlessGui(QorSettings& settings);

  double now = 0;
  TextRecorder draw;
  MaterialStore materials;
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
};

// "WxH" into two positive sizes.
bool ParseWindowSize(const std::string& text, int& width, int& height);
// Writes `text` to `path` whole or not at all; false with a message on
// standard error.
bool WriteTextFile(const std::string& path, const std::string& text);
