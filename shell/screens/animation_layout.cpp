// The framed panel "xanim_player": the animations of the active game's
// raw/xanim folder with their search box, and the player of the one picked:
// its name, the timeline with the notetracks, the frame, the buttons, the
// speed and the loop and root-motion switches.
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"
#include "shell/settings.h"

using namespace layout;

void BuildAnimationLayout(QorGUI& gui, QorSettings& s, const AnimationLayoutHooks& hooks) {
  const QorSettings defaults;
  const SettingsRect& size = defaults.rect_xanim_player_s;
  gui.AddFramedMenu(kAnimationMenu, "Xanim Player", &s.rect_xanim_player, &s.rect_xanim_player_s,
                    R(0, 0, size.w, size.h), s.vis_xanim_player, 0.5f);
  gui.BindVisibility(&s.vis_xanim_player, "Menus/vis_xanim_player");
  ListBoxItem colours;
  colours.background = {0.05f, 0.05f, 0.05f, 0.5f};
  colours.outline = {0.3f, 0.3f, 0.3f, 1};
  colours.row = {0.2f, 0.2f, 0.2f, 0.5f};
  colours.row_hover = {0.45f, 0.1f, 0.1f, 0.8f};
  colours.text_hover = kWhite;
  colours.text = {0.75f, 0.75f, 0.75f, 1};
  gui.AddListBox(kAnimationList, R(4, 22, 160, 122, kAnchorHeight), colours, hooks.animations,
                 Handler(hooks.load, "LoadAnimation"));
  gui.AddTextBox("xanim_search", "Search animations..", R(4, 148, 160, 17, kAnchorY), kBoxFrame, kBoxHover,
                 kBoxText, Handler(hooks.filter, "FilterAnimations"));

  gui.AddNamedLabel(At(172, 38), kGrey8, kAnimationNameText);
  gui.AddTimeline("xanim_timeline", R(170, 44, 264, 22, kAnchorWidth), hooks.timeline,
                  Handler(hooks.seek, "SeekAnimation"));
  gui.AddNamedLabel(At(172, 84), kWhite, kAnimationFrameText);
  gui.AddTextButton(R(170, 92, 28, 20), "<", "anim_step -1;");
  gui.AddTextButton(R(202, 92, 50, 20), "PLAY", "anim_play;");
  gui.AddTextButton(R(256, 92, 58, 20), "PAUSE", "anim_pause;");
  gui.AddTextButton(R(318, 92, 28, 20), ">", "anim_step 1;");
  gui.AddTextButton(R(350, 92, 52, 20), "STOP", "anim_stop;");
  gui.AddColourLabel(At(172, 132), kGrey8, "Speed");
  gui.AddSlider(R(214, 120, 130, 16), 0.25f, 2.0f, hooks.speed, nullptr, false, "");
  gui.AddNamedLabel(At(352, 132), kGrey8, kAnimationSpeedText);
  gui.AddCheckBox(R(170, 142, 60, 20), "Loop", hooks.loop, "");
  gui.AddCheckBox(R(236, 142, 150, 20), "With root motion", hooks.root_motion, "");
}
