// The interface toolkit's own cost a frame, without GL: the whole layout
// built as the window builds it, every material present, drawn through the
// null drawer at 800 x 600. What is left is the toolkit's logic (menus,
// hover tests, animations, material look-ups, label texts); the window's
// figure beside it (bench/window_bench.sh) adds the GL calls and Mesa's
// rasterisation.
//   BM_GuiFrame/still     the pointer parked over the empty 3D view
//   BM_GuiFrame/moving    the pointer sweeping the tool bar's buttons
//   BM_ListBoxNewList     the frame a new model list of 20,000 or 200,000
//                         names (one in ten too wide for the list) arrives in
//   BM_ListBoxScroll      a frame of the whole layout while that list
//                         scrolls: by the wheel (three rows a frame), or by
//                         the scroll block jumping a page or more a frame
//                         (every row new)
#include <benchmark/benchmark.h>

#include <algorithm>
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

void BM_ListBoxNewList(benchmark::State& state) {
  ListRig l;
  const std::vector<std::string> names = ModelNames(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    l.NewList(names);
    state.ResumeTiming();
    l.rig.gui.Render(30.0);
  }
}
BENCHMARK(BM_ListBoxNewList)->Arg(20000)->Arg(200000)->ArgNames({"names"})->Unit(benchmark::kMillisecond);

void BM_ListBoxScroll(benchmark::State& state) {
  ListRig l;
  l.NewList(ModelNames(int(state.range(0))));
  l.rig.gui.Render(30.0);
  ListBoxItem& list = l.rig.gui.FindMenu("xmodel_list")->list_boxes[0];
  const bool jumps = state.range(1) != 0;
  int step = 0;
  for (auto _ : state) {
    if (jumps) {
      // The block's place as a drag leaves it, down the track and back.
      const float track = float(std::max(list.rect.h - 20, 1));
      list.scroll = float(list.rect.y + 5) + track * float((step * 37) % 100) / 100.0f;
    } else {
      l.rig.gui.AddWheel((step / 50) % 2 ? 3 : -3);
    }
    ++step;
    l.rig.gui.Render(30.0);
    l.rig.now += 33;
  }
}
BENCHMARK(BM_ListBoxScroll)
    ->Args({20000, 0})
    ->Args({200000, 0})
    ->Args({200000, 1})
    ->ArgNames({"names", "jumps"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
