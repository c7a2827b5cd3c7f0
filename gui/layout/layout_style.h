// The layout's shared looks: dark panels, group boxes and their red
// headings, page titles.
#pragma once

#include "gui/qor_gui.h"

namespace layout {

inline constexpr Rgba kRed{1, 0, 0, 1};
inline constexpr Rgba kGrey8{0.8f, 0.8f, 0.8f, 1};
inline constexpr Rgba kWhite{1, 1, 1, 1};

inline GuiRect R(int x, int y, int w, int h, int flags = kAnchorFixed) { return {x, y, w, h, flags}; }
inline GuiRect At(int x, int y, int flags = kAnchorFixed) { return {x, y, 0, 0, flags}; }

inline void DarkPanel(QorGUI& gui, GuiRect rect) { gui.AddPicture(rect, {0.15f, 0.15f, 0.15f, 0.95f}, "menu_frame"); }
inline void GroupBox(QorGUI& gui, GuiRect rect) { gui.AddOutlineRect(rect, {0.3f, 0.3f, 0.3f, 1}); }
inline void Heading(QorGUI& gui, GuiRect at, const char* text) { gui.AddColourLabel(at, kRed, text); }
inline void PageTitle(QorGUI& gui, GuiRect at, const char* text) { gui.AddSizedLabel(at, kRed, text, 16, true); }

}  // namespace layout
