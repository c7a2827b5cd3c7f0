// The program's one window and its two GL contexts (GLFW): the main context
// the frames draw with, and a hidden one sharing its objects that the model
// worker makes current to build textures and buffers. Input arrives through
// the callbacks set here; nothing else in the program talks to GLFW.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct GLFWwindow;

namespace platform {

// One size of the window's icon: RGBA bytes, rows top first.
struct WindowIconImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

// The X11 class (WM_CLASS) of every window the program opens: the desktop
// entry's StartupWMClass names it, so the dock groups the window with it.
inline constexpr const char* kWindowClass = "vantor";

struct WindowEvents {
  std::function<void(int vk, bool down)> key;        // Windows virtual-key codes; repeats come down again
  std::function<void(unsigned codepoint)> character;
  std::function<void(double x, double y)> mouse_move;
  std::function<void(int button, bool down)> mouse_button;  // 0 left, 1 right, 2 middle
  std::function<void(double delta)> wheel;           // notches, up positive
  std::function<void(int width, int height)> resize; // framebuffer size
  std::function<void(bool focused)> focus;
  std::function<void(bool minimised)> minimise;
  std::function<void()> close;
  std::function<void()> cursor_left;
  std::function<void(const std::string& path)> drop;  // each file dropped onto the window
};

class GlWindow {
 public:
  ~GlWindow();
  // Creates the window: 32-bit colour, 16-bit depth, 1 stencil bit, double
  // buffered, a compatibility context. `visible` false keeps it off screen.
  // Returns false with `error` set.
  bool Create(int width, int height, const std::string& title, bool visible, std::string& error);
  // The worker's hidden context, sharing objects with the main one.
  bool CreateSharedContext(std::string& error);
  void Destroy();

  void SetEvents(WindowEvents events);
  void PollEvents();
  void SwapBuffers();
  void SetTitle(const std::string& title);
  // The icon the desktop shows for the window (all sizes at hand; the
  // desktop picks). An empty list leaves the desktop's default.
  void SetIcon(const std::vector<WindowIconImage>& sizes);
  void SetTopmost(bool on);
  // The window's place as the store keeps it: the top-left corner of its
  // drawing area on the screen and that area's size. Restoring what was read
  // puts the window back exactly, frame or no frame (the desktop's frame is
  // outside this rectangle), so nothing drifts from run to run.
  bool GetPlacement(int& x, int& y, int& width, int& height) const;
  // Moves the drawing area's corner to (x, y), kept where at least 100 x 60
  // pixels of it show on the primary monitor's work area.
  void Place(int x, int y);
  void SetMinimumSize(int width, int height);
  void Show();
  // Brings the window to the front with the keyboard focus.
  void Focus();
  // The interface draws its own pointer.
  void HideCursor();
  void SetSwapInterval(int interval);  // main context must be current
  void GetFramebufferSize(int& width, int& height) const;
  bool ShouldClose() const;
  // Window callbacks so far (input, focus, size, iconify, expose).
  uint64_t event_count() const { return event_count_; }
  bool IsFocused() const;
  // The desktop's clipboard as text (empty when it holds none).
  void SetClipboard(const std::string& text);
  std::string Clipboard() const;

  bool MakeMainCurrent();
  bool MakeWorkerCurrent();
  static void ReleaseCurrent();
  static bool MainIsCurrentOn(const GlWindow& w);

  GLFWwindow* main() const { return main_; }

 private:
  friend struct GlWindowCallbacks;
  GLFWwindow* main_ = nullptr;
  GLFWwindow* worker_ = nullptr;
  WindowEvents events_;
  uint64_t event_count_ = 0;
};

// Sleeps the calling thread (frame caps never spin).
void SleepMs(int ms);
// The same to a fraction of a millisecond.
void SleepForMs(double ms);

}  // namespace platform
