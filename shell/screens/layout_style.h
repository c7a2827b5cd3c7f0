// The layout's shared looks: dark panels, group boxes and their red
// headings, page titles.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

#include "base/logger.h"
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

// Text boxes with grey frames: frame, hover and text colours.
inline constexpr Rgba kBoxFrame{0.5f, 0.5f, 0.5f, 0.1f};
inline constexpr Rgba kBoxHover{0, 1, 0, 0.3f};
inline constexpr Rgba kBoxText{1, 1, 1, 1};

// The handler `f`, or, while the program has none, a log line naming it
// (and, for a handler with a result, a refusal).
template <typename R, typename... Args>
std::function<R(Args...)> Handler(const std::function<R(Args...)>& f, const char* name) {
  if (f) return f;
  return [name](Args...) -> R {
    Logger().log("%s :: not available yet", name);
    if constexpr (!std::is_void_v<R>) return R{};
  };
}
// A handler bound to one argument given now (the game of a folder row).
template <typename Arg>
std::function<void()> Handler(const std::function<void(Arg)>& f, const char* name, Arg arg) {
  return [g = Handler(f, name), arg] { g(arg); };
}

}  // namespace layout
