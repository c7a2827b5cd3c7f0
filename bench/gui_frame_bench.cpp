// The interface toolkit's own cost a frame, without GL: the whole layout
// built as the window builds it, every material present, drawn through the
// null drawer at 800 x 600. What is left is the toolkit's logic (menus,
// hover tests, animations, material look-ups, label texts); the window's
// figure beside it (bench/window_bench.sh) adds the GL calls and Mesa's
// rasterisation.
//   BM_GuiFrame/still     the pointer parked over the empty 3D view
//   BM_GuiFrame/moving    the pointer sweeping the tool bar's buttons
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "gui/layout/layout.h"
#include "gui/material_table.h"
#include "gui/qor_gui.h"
#include "shell/command_words.h"
#include "shell/settings.h"

namespace {

struct Rig {
  double now = 0;
  NullDraw2D draw;
  // Every picture "loads": the window's data folder has them all.
  MaterialStore materials{[next = uint32_t(1)](const std::string&, std::string&) mutable -> std::optional<uint32_t> {
    return next++;
  }};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
  QorSettings settings;

  Rig() {
    (void)materials.LoadDSS("default", kDefaultMaterialFile);
    (void)materials.LoadDSS("mouse_cursor", kCursorMaterialFile);
    LoadGuiMaterials(materials, "data");
    ProgramWords words;
    words.gui = &gui;
    words.settings = &settings;
    words.queue_job = [](uint32_t) {};
    words.open_page = [](const std::string&) {};
    RegisterProgramWords(commands, words);
    BuildLayout(gui, settings);
    gui.SetPendingSize(800, 600);
    (void)gui.ItemScale();
    gui.SetText("progress_bar", "");
  }
};

void BM_GuiFrame(benchmark::State& state) {
  Rig rig;
  const bool moving = state.range(0) != 0;
  rig.gui.OnMouseMove(300, 300);
  int step = 0;
  for (auto _ : state) {
    if (moving) rig.gui.OnMouseMove(float(250 + (step * 7) % 540), 12);
    rig.gui.Render(30.0);
    rig.now += 33;
    ++step;
    benchmark::DoNotOptimize(rig.gui.mouse_over_gui());
  }
}
BENCHMARK(BM_GuiFrame)->Arg(0)->Arg(1)->ArgNames({"moving"});

}  // namespace

BENCHMARK_MAIN();
