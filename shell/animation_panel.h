// The window's animation player panel: the animations of the active game's
// raw/xanim folder (a list loader of its own, narrowed by the panel's search
// box), what its timeline and texts show each frame, its switches, and the
// words of its buttons. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/list_source.h"
#include "base/notice_board.h"
#include "gui/widgets/widget_items.h"
#include "jobs/qor_loader.h"
#include "shell/screens/layout.h"

class QorGUI;
class QorOpenGL;
struct DetailSource;

class AnimationPanel {
 public:
  AnimationPanel(QorGUI& gui, QorOpenGL& gl);

  // The words "anim_play", "anim_pause", "anim_step N" and "anim_stop".
  void RunWord(std::string_view word, const std::string& value);
  AnimationLayoutHooks LayoutHooks();
  // A game root whose models are listed: its raw/xanim folder is listed
  // too (a root without one lists nothing and says so).
  void ListRoot(const std::string& root);
  // Once a frame, before the interface draws: the list's handovers, the
  // switches to the player, the timeline and texts from it.
  void Refresh();
  // The tags panel's rows while an animation plays: each tag's position as
  // posed, after a new pose or when `fresh` (the worker's rows, `base`,
  // were just taken). True when `rows` was rewritten; unless `fresh`, as
  // new texts for the same rows, which keeps the panel's menu open.
  bool PoseTagRows(const std::vector<DetailRow>& base, DetailSource& rows, bool fresh);

 private:
  void Load(const std::string& name);

  QorGUI& gui_;
  QorOpenGL& gl_;
  ListSource list_;
  std::unique_ptr<QorLoader> loader_;
  TimelineSource timeline_;
  float speed_ = 1.0f;
  bool loop_ = false;
  bool root_motion_ = false;
  uint64_t loads_seen_ = 0;
  uint64_t tags_pose_ = 0;
};
