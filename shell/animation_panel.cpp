#include "shell/animation_panel.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "base/logger.h"
#include "gui/qor_gui.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"
#include "shell/qor_opengl.h"

AnimationPanel::AnimationPanel(QorGUI& gui, QorOpenGL& gl) : gui_(gui), gl_(gl) {
  loader_ = std::make_unique<QorLoader>(list_);
  loader_->reset_listbox = [this] { gui_.ResetListBox(kAnimationList); };
  loader_->wake = [] { Board().Touch(); };
  loader_->terms = false;  // "bones:>20" means nothing for an animation
  list_.ready = true;
}

void AnimationPanel::RunWord(std::string_view word, const std::string& value) {
  AnimationPlayer& player = gl_.player;
  AnimationClock& clock = player.clock;
  if (word == "anim_stop") {
    player.Stop();
    Logger().log("Xanim Stopped");
    return;
  }
  if (!player.active()) return;
  if (word == "anim_play") {
    // Play at the end of an animation that does not loop starts it again.
    if (!clock.looping() && clock.frame_number() >= clock.frames() - 1) clock.Seek(0);
    clock.Play();
  } else if (word == "anim_pause") {
    clock.Pause();
  } else if (word == "anim_step") {
    clock.Step(std::atoi(value.c_str()));
  }
  player.Touch();
}

AnimationLayoutHooks AnimationPanel::LayoutHooks() {
  AnimationLayoutHooks h;
  h.animations = &list_;
  h.timeline = &timeline_;
  h.speed = &speed_;
  h.loop = &loop_;
  h.root_motion = &root_motion_;
  h.load = [this](const std::string& name) { Load(name); };
  h.filter = [this](const std::string& text) { loader_->Filter(text); };
  h.seek = [this](double frame) {
    if (!gl_.player.active()) return;
    gl_.player.clock.Seek(frame);
    gl_.player.Touch();
  };
  return h;
}

void AnimationPanel::ListRoot(const std::string& root) {
  const std::string folder = platform::WithTrailingSeparator(platform::NormalizePath(root)) + "raw/xanim";
  if (!platform::FolderExists(folder)) {
    std::lock_guard<std::mutex> hold(list_.lock);
    list_.items = {"No raw/xanim folder in this game's root"};
    list_.changed = true;
    return;
  }
  if (loader_->folder() == platform::WithTrailingSeparator(folder) && !loader_->loading()) return;
  if (!loader_->SetFolder(folder) || !loader_->LoadList()) Logger().warning("Xanim List: '%s' was not listed", folder.c_str());
}

void AnimationPanel::Load(const std::string& name) {
  if (!loader_->Listed(name)) return;
  gl_.LoadAnimation(loader_->folder() + name);
}

void AnimationPanel::Refresh() {
  loader_->Refresh();
  AnimationPlayer& player = gl_.player;
  AnimationClock& clock = player.clock;
  if (player.loads() != loads_seen_) {
    // A new animation: the loop switch starts as the file says, the marks
    // are its notetracks.
    loads_seen_ = player.loads();
    loop_ = clock.looping();
    timeline_.marks.clear();
    for (const XanimNote& n : player.notes()) timeline_.marks.push_back({n.frame, n.name});
  }
  if (!player.active()) {
    timeline_ = {};
    gui_.SetText(kAnimationNameText, "");
    gui_.SetText(kAnimationFrameText, "");
    gui_.SetText(kAnimationSpeedText, "");
    return;
  }
  if (clock.speed() != speed_) clock.SetSpeed(speed_);
  if (clock.looping() != loop_) clock.SetLooping(loop_);
  if (player.root_motion != root_motion_) {
    player.root_motion = root_motion_;
    player.Touch();
  }
  timeline_.frames = clock.frames();
  timeline_.frame = clock.frame();
  std::string name = player.name();
  if (player.unmatched() > 0) name += "  (" + std::to_string(player.unmatched()) + " bones not in the model)";
  gui_.SetText(kAnimationNameText, name);
  gui_.SetText(kAnimationFrameText, clock.Text());
  char speed[16];
  std::snprintf(speed, sizeof speed, "%.2fx", double(clock.speed()));
  gui_.SetText(kAnimationSpeedText, speed);
}

bool AnimationPanel::PoseTagRows(const std::vector<DetailRow>& base, DetailSource& rows, bool fresh) {
  const AnimationPlayer& player = gl_.player;
  if (!player.active() || (player.pose_count() == tags_pose_ && !fresh)) return false;
  tags_pose_ = player.pose_count();
  const std::vector<std::string>& names = player.bone_names();
  const std::vector<BoneMatrix>& posed = player.posed();
  std::unordered_map<std::string_view, size_t> index;
  for (size_t i = 0; i < names.size() && i < posed.size(); ++i) index.emplace(names[i], i);
  std::vector<DetailRow> out = base;
  for (DetailRow& row : out) {
    if (row.icon != "joint") continue;
    const auto found = index.find(row.text);
    if (found == index.end()) continue;
    const BoneMatrix& m = posed[found->second];
    char at[64];
    std::snprintf(at, sizeof at, "  (%.2f, %.2f, %.2f)", double(m.m[0][3]), double(m.m[1][3]), double(m.m[2][3]));
    row.text += at;
  }
  std::lock_guard<std::mutex> hold(rows.lock);
  rows.rows = std::move(out);
  // Rows the list has not shown yet may be other rows: then not texts only.
  rows.texts_only = !fresh && (!rows.changed || rows.texts_only);
  rows.changed = true;
  return true;
}
