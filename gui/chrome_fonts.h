// The fonts of the toolkit's own chrome (frames, boxes, counters) and the
// smallest a framed menu may be made. Shared by the toolkit's sources only.
#pragma once

#include "gui/draw2d.h"
#include "gui/item_texts.h"

inline constexpr FontState kSmallFont = kButtonFont;
inline constexpr FontState kNormalFont = kItemFont;
inline constexpr FontState kTitleFont{GuiFont::kBookman, 11, 0.3f, 0.15f};
inline constexpr FontState kFpsFont{GuiFont::kBookman, 11, 0.4f, 0.15f};
inline constexpr FontState kVersionFont{GuiFont::kBookman, 16, 0, 0.15f};
inline constexpr int kMinFramedWidth = 190;
inline constexpr int kMinFramedHeight = 150;
