// What a widget sees of the toolkit while it runs (gui/widgets): the
// drawer, the pictures and the clock; the frame's mouse, wheel and list
// step with the calls that spend them; the keyboard; sounds, the clipboard,
// the tooltip, the named progress values and its own command list. The
// toolkit (QorGUI) is one; a widget never reaches the menus or the layout.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "gui/commands.h"
#include "gui/gui_rect.h"

class Draw2D;
class GuiKeyboard;
class MaterialStore;

class WidgetContext {
 public:
  // The list step's page and whole-list moves (list_step), signed as the
  // single steps.
  static constexpr int kListPageStep = 0x10000;
  static constexpr int kListEndStep = 0x20000;

  virtual Draw2D& draw() = 0;
  virtual MaterialStore& materials() = 0;
  virtual double now() const = 0;
  // The origin of the menu being drawn, which item rectangles are relative
  // to.
  virtual float menu_origin_x() const = 0;
  virtual float menu_origin_y() const = 0;
  // Runs `draw` after the rest of the menu being drawn, over its items (an
  // open drop-down list).
  virtual void DrawOverMenu(std::function<void()> draw) = 0;
  // Asks for another frame soon (a fade or a held arrow under way).
  virtual void KeepDrawing() = 0;

  // The mouse. The tests are relative to the menu being drawn; a point
  // under a later visible menu fails them. A widget that acts on a press
  // takes it, so one press acts once.
  virtual float mouse_x() const = 0;
  virtual float mouse_y() const = 0;
  virtual bool HoverTest(const GuiRect& item) = 0;
  virtual bool ClickTest(const GuiRect& item) = 0;
  virtual bool button_held() const = 0;
  virtual void ConsumeClick() = 0;
  virtual float press_y() const = 0;
  virtual double press_ms() const = 0;  // the clock at the last left press
  virtual bool RightClickTest(const GuiRect& item) = 0;
  virtual bool right_held() const = 0;
  virtual void ConsumeRightClick() = 0;
  virtual float right_press_x() const = 0;
  virtual float right_press_y() const = 0;
  // True when a later visible menu lies over the point (screen pixels).
  virtual bool CoveredAt(float x, float y) const = 0;
  // The viewer leaves the pointer alone this frame.
  virtual void SetMouseOverGui() = 0;
  // Wheel steps (positive: turned away from the user) and the list step
  // (+1 down, -1 up, or kListPageStep or kListEndStep signed the same way)
  // since the last frame; the view that uses one takes it.
  virtual int wheel() const = 0;
  virtual void ConsumeWheel() = 0;
  virtual int list_step() const = 0;
  virtual void ConsumeListStep() = 0;

  // Focus and key capture, for text boxes and key binders. A focused box
  // calls NoteFocusDrawn each frame it is drawn.
  virtual GuiKeyboard& keyboard() = 0;
  virtual void NoteFocusDrawn() = 0;

  virtual void PlaySound(std::string_view sound, int channel) = 0;
  // Drawn at the pointer in this frame only.
  virtual void SetTooltip(std::string text) = 0;
  // "Copied text to clipboard: ..." and the text to the system clipboard.
  virtual void CopyToClipboard(const std::string& text) = 0;
  // The clipboard's text without control characters, cut to `limit`.
  virtual std::string PasteFromClipboard(size_t limit = 46) = 0;
  // A named progress value from 0 to 1.
  virtual float Progress(std::string_view name) const = 0;
  // "Export To DDS" / "Export To TGA" of an image row (nothing when the
  // program gave no exporter).
  virtual void ExportImage(int material, int slot, bool tga) = 0;
  // A click on a level of detail's row (nothing when the program gave no
  // handler).
  virtual void ShowLod(int level) = 0;
  // A widget's command list, run as the menus' are.
  virtual void RunCommandList(const CommandList& list) = 0;

 protected:
  ~WidgetContext() = default;
};
