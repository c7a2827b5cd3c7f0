// The interface toolkit's own cost a frame, without GL: the whole layout
// built as the window builds it, every material present, drawn through the
// null drawer at 800 x 600. What is left is the toolkit's logic (menus,
// hover tests, animations, material look-ups, label texts); the window's
// figure beside it (bench/window_bench.sh) adds the GL calls and Mesa's
// rasterisation.
//   BM_GuiFrame/still     the pointer parked over the empty 3D view
//   BM_GuiFrame/moving    the pointer sweeping the tool bar's buttons
//   BM_ListBoxTrim        a new model list of 20,000 names (one in ten too
//                         wide for the list) trimmed once
//   BM_ListBoxScroll      a frame of the whole layout while the wheel scrolls
//                         that list
#include <benchmark/benchmark.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "shell/screens/layout.h"
#include "gui/material_table.h"
#include "gui/qor_gui.h"
#include "shell/command_words.h"
#include "base/list_source.h"
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

// Names like the stock ones; every tenth one long enough to be trimmed.
std::vector<std::string> ModelNames(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::string name = "viewmodel_weapon_" + std::to_string(i);
    if (i % 10 == 0) name += "_with_a_very_long_attachment_suffix";
    names.push_back(std::move(name));
  }
  return names;
}

struct ListRig {
  Rig rig;
  ListSource models;
  ListRig() {
    rig.gui.FindMenu("xmodel_list")->list_boxes[0].source = &models;
    models.ready = true;
    rig.gui.OnMouseMove(700, 300);  // over the list
  }
  void NewList(std::vector<std::string> names) {
    std::lock_guard<std::mutex> hold(models.lock);
    models.items = std::move(names);
    models.changed = true;
  }
};

void BM_ListBoxTrim(benchmark::State& state) {
  ListRig l;
  const std::vector<std::string> names = ModelNames(20000);
  for (auto _ : state) {
    state.PauseTiming();
    l.NewList(names);
    state.ResumeTiming();
    l.rig.gui.Render(30.0);  // the trimming pass runs in this frame
  }
}
BENCHMARK(BM_ListBoxTrim)->Unit(benchmark::kMillisecond);

void BM_ListBoxScroll(benchmark::State& state) {
  ListRig l;
  l.NewList(ModelNames(20000));
  l.rig.gui.Render(30.0);
  int step = 0;
  for (auto _ : state) {
    l.rig.gui.AddWheel((step++ / 50) % 2 ? 3 : -3);
    l.rig.gui.Render(30.0);
    l.rig.now += 33;
  }
}
BENCHMARK(BM_ListBoxScroll)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
