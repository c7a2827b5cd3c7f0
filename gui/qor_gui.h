// QorGUI: the program's immediate-mode interface toolkit. It owns the menus
// (drawing order = list order, later menus on top), draws them in a 2D pass
// over the 3D view through the Draw2D seam, and in the same pass tests the
// mouse, animates, drags and resizes framed menus and runs commands.
// Everything here runs on the main thread; other threads reach it through
// posted command texts and the notice board's named texts.
//
// [SECTION] building     add menus and their items, in the layout's order
// [SECTION] visibility   SetVis, toggle, forced sets, ShowError
// [SECTION] input        mouse position, the latched press, the mouse tests,
//                        keys and typed characters
// [SECTION] frame        Render: menus, frames, labels, FPS and version
// [SECTION] resize       ItemScale
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/commands.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/menu.h"
#include "gui/widget_context.h"

struct BoardSnapshot;
struct SettingsRect;

inline constexpr const char* kGuiVersionText = "0.987";

struct GuiHooks {
  std::function<void(std::string_view sound, int channel)> play_sound;
  std::function<void()> exit_app;
  // The system clipboard (none: copies are only logged, pastes are empty).
  std::function<void(const std::string&)> set_clipboard;
  std::function<std::string()> get_clipboard;
  // "Export To DDS" / "Export To TGA" of an image row: the model's material
  // and its texture slot.
  std::function<void(int material, int slot, bool tga)> export_image;
  // A click on a level of detail's row of the properties panel.
  std::function<void(int level)> show_lod;
  // A key press (virtual-key kind) or a typed character (kind 0) that no
  // text box or key binder took, as a stored key (gui/key_names.h).
  std::function<void(uint16_t key)> hotkey;
};

struct ThemeColours;

class QorGUI final : public WidgetContext {
 public:
  // The size the layout is designed for; the window starts at it.
  static constexpr int kDesignWidth = 640;
  static constexpr int kDesignHeight = 480;

  QorGUI(Draw2D& draw, MaterialStore& materials, CommandProcessor& commands, std::function<double()> clock);
  QorGUI(const QorGUI&) = delete;
  QorGUI& operator=(const QorGUI&) = delete;

  GuiHooks hooks;

  // ---- [SECTION] building: each add-menu call starts the menu that the
  // following items and settings go to.
  Menu& AddStaticMenu(std::string name, GuiRect origin, GuiRect area, bool visible);
  Menu& AddFadeMenu(std::string name, GuiRect origin, GuiRect area, bool visible, float seconds);
  Menu& AddSlideMenu(std::string name, GuiRect origin, GuiRect area, bool visible, uint8_t open_dir,
                     uint8_t close_dir, float seconds);
  // A framed menu lives at the stored rectangles; `design_area` is the size
  // its items were laid out for. Damaged stored values are brought back
  // within the drag limits and the smallest size.
  Menu& AddFramedMenu(std::string name, std::string title, SettingsRect* stored_origin, SettingsRect* stored_area,
                      GuiRect design_area, bool visible, float seconds);
  // The on-open list of a menu that starts visible runs once, now.
  void SetOnOpen(std::string_view text);
  void SetOnClose(std::string_view text);
  // The menu is a dialog (gui/menu.h `dialog_keys`); the command form runs
  // `command` on Escape (what its Close or Cancel button runs).
  void SetDialogKeys(std::function<void(int vk)> keys);
  void SetEscapeCommand(std::string_view command);
  // `name` is the setting's "Key/value" name (the layout dump shows it).
  void BindVisibility(bool* setting, std::string name);
  void AddFilledRect(GuiRect rect, Rgba colour);
  void AddPicture(GuiRect rect, Rgba colour, std::string material);
  void AddOutlineRect(GuiRect rect, Rgba colour);
  void AddLabel(GuiRect at, std::string text);
  void AddColourLabel(GuiRect at, Rgba colour, std::string text);
  void AddNamedLabel(GuiRect at, Rgba colour, std::string text_name);
  void AddSizedLabel(GuiRect at, Rgba colour, std::string text, uint8_t point_size, bool large_font);
  void SetBoxTextArea(GuiRect area);
  void AddPictureButton(GuiRect rect, Rgba label_colour, std::string material, std::string hover_material,
                        std::string label, int16_t label_dx, int16_t label_dy, std::string_view command,
                        bool three_part = true);
  void AddPictureButton(GuiRect rect, Rgba label_colour, std::string material, std::string hover_material,
                        std::string label, int16_t label_dx, int16_t label_dy, std::function<void()> callback,
                        bool three_part = true);
  void AddLightBulb(GuiRect rect, Rgba colour, Rgba hover_colour, std::string_view command, std::string on_material,
                    std::string off_material);
  void AddTextButton(GuiRect rect, std::string label, std::string_view command);
  void AddTextButton(GuiRect rect, std::string label, std::function<void()> callback);
  // The box at the rectangle's corner; the label beside it. `name` is the
  // setting's "Key/value" name.
  void AddCheckBox(GuiRect rect, std::string label, bool* setting, std::string name);
  void AddSlider(GuiRect rect, float minimum, float maximum, float* bound, std::function<void(float)> callback,
                 bool update_on_release, std::string name);
  void AddProgressBar(GuiRect rect, Rgba fill, double fade_ms, std::string progress_name);
  void AddTimeline(std::string name, GuiRect rect, TimelineSource* source, std::function<void(double frame)> seek);
  // The views and the value widgets (gui/qor_gui_entries.cpp).
  void AddListBox(std::string name, GuiRect rect, const ListBoxItem& colours, ListSource* source,
                  std::function<void(const std::string&)> on_select);
  void AddTextList(std::string name, GuiRect rect, Rgba background, Rgba text, ListSource* lines);
  void AddDetailList(std::string name, GuiRect rect, Rgba background, Rgba text, DetailSource* data);
  // Live mode: every change of the text goes to `on_change`.
  void AddTextBox(std::string name, std::string hint, GuiRect rect, Rgba frame, Rgba hover, Rgba text,
                  std::function<void(const std::string&)> on_change);
  // The finished text goes to `on_commit`; a read-only box is never focused.
  void AddTextBox(std::string name, std::string text, GuiRect rect, Rgba frame, Rgba hover, Rgba text_colour,
                  std::function<void(const std::string&)> on_commit, bool read_only);
  void AddKeyBinder(std::string action, GuiRect rect, Rgba background, Rgba hover, Rgba text, HotKeySlot* key);
  void AddDropDown(GuiRect rect, std::map<int, std::string> options, std::function<bool(int)> on_choose,
                   int initial);
  void AddColourPicker(GuiRect at, Rgba text, std::function<void(const Rgba&)> on_change, Rgba initial);

  // ---- [SECTION] visibility
  void SetVis(std::string_view name, bool visible);
  void ToggleMenu(std::string_view name);
  void ForceSet(std::string_view name, bool visible);
  // Wraps `text` to the box, opens "error_menu" and plays "error_msg".
  void ShowError(std::string_view text);
  void SetMessage(std::string_view text);
  // `text` with line breaks that fit it in `width` pixels of the boxes' font.
  std::string Wrap(std::string_view text, float width);
  // The first text box of that name, in menu order, gets the text.
  void SetBoxText(std::string_view name, std::string_view text);
  // The text of the first text box of that name as typed so far ("" when
  // there is none): keys typed since the last frame are in it already.
  std::string BoxText(std::string_view name) const;
  // Puts the named list box's scroll block back at the top.
  void ResetListBox(std::string_view name);
  void SetText(std::string_view name, std::string_view text);
  const std::string& Text(std::string_view name) const;
  const std::map<std::string, std::string, std::less<>>& texts() const { return texts_; }
  // Drawn at the pointer in this frame only: a widget asks again every
  // frame it wants it shown.
  void SetTooltip(std::string text) override { tooltip_ = std::move(text); }

  // ---- [SECTION] input (the window feeds these between frames)
  void OnMouseMove(float x, float y);
  void OnPress();
  void OnRelease();
  bool button_held() const override { return held_; }
  // A widget that acts on a press takes it, so one press acts once.
  void ConsumeClick() override { held_ = false; }
  // Relative to the menu being drawn; a point under a later visible menu
  // fails both.
  bool HoverTest(const GuiRect& item) override;
  bool ClickTest(const GuiRect& item) override;
  // The right button, latched like the left one.
  void OnRightPress();
  void OnRightRelease();
  bool right_held() const override { return right_held_; }
  bool RightClickTest(const GuiRect& item) override;
  void ConsumeRightClick() override { right_held_ = false; }
  float press_x() const { return float(press_x_); }
  double press_ms() const override { return press_ms_; }  // the clock at the last left press
  float press_y() const override { return float(press_y_); }
  float right_press_x() const override { return float(right_x_); }
  float right_press_y() const override { return float(right_y_); }
  // Wheel steps (positive: turned away from the user) and the list step
  // (+1 down, -1 up, or a page or the whole list: kListPageStep and
  // kListEndStep, signed the same way) since the last frame; the view that
  // uses one takes it, and the frame clears both.
  void AddWheel(int steps) { wheel_ += steps; }
  int wheel() const override { return wheel_; }
  void ConsumeWheel() override { wheel_ = 0; }
  void SetListStep(int step) { list_step_ = step; }
  int list_step() const override { return list_step_; }
  void ConsumeListStep() override { list_step_ = 0; }
  // True when a later visible menu lies over the point (screen pixels).
  bool CoveredAt(float x, float y) const override { return Covered(x, y); }
  bool mouse_over_gui() const { return mouse_over_gui_; }
  float mouse_x() const override { return mouse_x_; }
  float mouse_y() const override { return mouse_y_; }
  // Keys (Windows virtual-key codes) and typed characters, routed by the
  // keyboard; hotkeys and Escape go on to their hooks. The route tells the
  // window whether its own key arrays see the event.
  KeyRoute OnKey(int vk, bool down);
  KeyRoute OnChar(unsigned codepoint);
  // Focus and key capture, for text boxes and key binders.
  GuiKeyboard& keyboard() override { return keyboard_; }
  // The first text box of that name gets the keyboard, its text selected.
  void FocusBox(std::string_view name);
  // The open dialog drawn last, which has the keyboard; nullptr: none.
  Menu* TopDialog();

  // ---- [SECTION] frame
  void Render(double fps);
  // Progress values from 0 to 1 by name are read from `values` (the
  // board's frame snapshot); 0 before it is set.
  void ReadValuesFrom(const BoardSnapshot* values) { values_ = values; }
  float Progress(std::string_view name) const override;
  // For the widgets while they draw.
  Draw2D& draw() override { return draw_; }
  double now() const override { return clock_(); }
  float menu_origin_x() const override;
  float menu_origin_y() const override;
  // Runs `draw` after the rest of the menu being drawn, over its items (an
  // open drop-down list).
  void DrawOverMenu(std::function<void()> draw) override { over_menu_.push_back(std::move(draw)); }
  // A focused text box calls this each frame it is drawn; a focus whose box
  // was not drawn (its menu closed) is dropped at the end of the frame.
  void NoteFocusDrawn() override { focus_drawn_ = true; }
  // "Copied text to clipboard: ..." and the text to the system clipboard.
  void CopyToClipboard(const std::string& text) override;
  // The clipboard's text without control characters, cut to 46 characters.
  std::string PasteFromClipboard(size_t limit = 46) override;
  void SetMouseOverGui() override { mouse_over_gui_ = true; }
  void PlaySound(std::string_view sound, int channel) override { Play(sound, channel); }
  void SetTextColour(float r, float g, float b) { text_colour_ = {r, g, b, 1}; }
  // The theme's colours for the framed panels' title bars and borders (the
  // desktop draws the window's own frame); nullptr: the toolkit's greys.
  void SetFrameColours(const ThemeColours* colours) { frame_colours_ = colours; }
  // A widget whose picture changes with time alone (a bar fading) asks for
  // the next pass; the request lasts until the next Render.
  void KeepDrawing() override { keep_drawing_ = true; }
  void ExportImage(int material, int slot, bool tga) override {
    if (hooks.export_image) hooks.export_image(material, slot, tga);
  }
  void ShowLod(int level) override {
    if (hooks.show_lod) hooks.show_lod(level);
  }
  void RunCommandList(const CommandList& list) override { commands_.Processcmd(list); }
  // Whether the next pass draws differently with no input at all: a menu
  // animating, a widget that asked, a command list waiting for its time.
  bool Moving() const;

  // ---- [SECTION] resize
  void SetPendingSize(int width, int height);
  // True when something moved.
  bool ItemScale();
  int width() const { return width_; }
  int height() const { return height_; }

  const std::vector<std::unique_ptr<Menu>>& menus() const { return menus_; }
  Menu* FindMenu(std::string_view name);
  const std::string& error_text() const { return error_text_; }
  const GuiRect& box_text_area() const { return box_; }
  bool display_error() const { return display_error_; }
  bool display_msg() const { return display_msg_; }
  MaterialStore& materials() override { return materials_; }
  CommandProcessor& commands() { return commands_; }

 private:
  Menu& NewMenu(std::string name, GuiRect origin, GuiRect area, bool visible);
  Menu& Building();
  void RunList(Menu& m, const CommandList& list);
  bool Covered(float x, float y) const;
  GuiRect OnScreen(const GuiRect& item) const;
  void Play(std::string_view sound, int channel);
  void PassOn(KeyRoute route, uint16_t key);
  void DrawMenu(size_t index);
  void DrawBoxText(const Menu& m);
  void DrawFrame(Menu& m);
  void DrawResizeHandle(Menu& m);
  void ReanchorItems(Menu& m, int32_t dx, int32_t dy);
  void ClampFramed(Menu& m, bool to_window);
  void StoreFramed(Menu& m);
  void RegisterWords();

  Draw2D& draw_;
  MaterialStore& materials_;
  CommandProcessor& commands_;
  std::function<double()> clock_;

  std::vector<std::unique_ptr<Menu>> menus_;
  Menu* building_ = nullptr;
  size_t drawing_ = 0;
  int raise_ = -1;

  float mouse_x_ = -1, mouse_y_ = -1;
  int press_x_ = -1, press_y_ = -1;
  double press_ms_ = -1;
  bool held_ = false;
  bool press_seen_ = true;       // a frame has run since the press
  bool release_pending_ = false;  // released before any frame saw the press
  bool mouse_over_gui_ = false;
  int right_x_ = -1, right_y_ = -1;
  bool right_held_ = false, right_seen_ = true, right_release_pending_ = false;
  int wheel_ = 0, list_step_ = 0;
  GuiKeyboard keyboard_;
  std::vector<std::function<void()>> over_menu_;
  bool focus_drawn_ = false;

  int width_ = kDesignWidth, height_ = kDesignHeight;
  int pending_width_ = kDesignWidth, pending_height_ = kDesignHeight;
  GuiRect box_design_{}, box_{};
  std::map<std::string, std::string, std::less<>> texts_;
  const BoardSnapshot* values_ = nullptr;
  Rgba text_colour_{1, 1, 1, 1};
  const ThemeColours* frame_colours_ = nullptr;
  std::string error_text_, message_text_, tooltip_;
  bool display_error_ = false, display_msg_ = false;
  bool keep_drawing_ = false;
};
