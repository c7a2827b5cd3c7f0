// GLFW window, contexts and input callbacks.
#include "platform/gl_window.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/vk_codes.h"

#if defined(__SANITIZE_ADDRESS__)
#define VANTOR_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_LEAK_CHECK 1
#endif
#endif
#if VANTOR_LEAK_CHECK
#include <sanitizer/lsan_interface.h>  // Required for: __lsan_do_leak_check()
#endif

namespace platform {

struct GlWindowCallbacks {
  // Every callback counts as an event, whatever the program does with it:
  // the frame loop redraws after any of them.
  static GlWindow* Of(GLFWwindow* w) {
    GlWindow* self = static_cast<GlWindow*>(glfwGetWindowUserPointer(w));
    if (self) ++self->event_count_;
    return self;
  }
  static void Key(GLFWwindow* w, int key, int, int action, int) {
    GlWindow* self = Of(w);
    int vk = VirtualKeyOfGlfwKey(key);
    if (!self || !vk || !self->events_.key) return;
    // A held key repeats as presses, as Windows sends them: Backspace held
    // deletes on, a held hotkey fires once per repeat.
    self->events_.key(vk, action != GLFW_RELEASE);
  }
  static void Char(GLFWwindow* w, unsigned cp) {
    if (GlWindow* self = Of(w); self && self->events_.character) self->events_.character(cp);
  }
  static void Cursor(GLFWwindow* w, double x, double y) {
    if (GlWindow* self = Of(w); self && self->events_.mouse_move) self->events_.mouse_move(x, y);
  }
  static void Enter(GLFWwindow* w, int entered) {
    if (GlWindow* self = Of(w); self && !entered && self->events_.cursor_left) self->events_.cursor_left();
  }
  static void Button(GLFWwindow* w, int button, int action, int) {
    GlWindow* self = Of(w);
    if (!self || !self->events_.mouse_button) return;
    // The pointer's place with the press: a window that just got the pointer
    // may not have reported a motion inside it yet.
    if (self->events_.mouse_move) {
      double x = 0, y = 0;
      glfwGetCursorPos(w, &x, &y);
      self->events_.mouse_move(x, y);
    }
    int b = button == GLFW_MOUSE_BUTTON_LEFT ? 0 : button == GLFW_MOUSE_BUTTON_RIGHT ? 1 : 2;
    self->events_.mouse_button(b, action == GLFW_PRESS);
  }
  static void Scroll(GLFWwindow* w, double, double dy) {
    if (GlWindow* self = Of(w); self && self->events_.wheel) self->events_.wheel(dy);
  }
  static void Size(GLFWwindow* w, int width, int height) {
    if (GlWindow* self = Of(w); self && self->events_.resize) self->events_.resize(width, height);
  }
  static void Focus(GLFWwindow* w, int focused) {
    if (GlWindow* self = Of(w); self && self->events_.focus) self->events_.focus(focused != 0);
  }
  static void Iconify(GLFWwindow* w, int iconified) {
    if (GlWindow* self = Of(w); self && self->events_.minimise) self->events_.minimise(iconified != 0);
  }
  // The window was uncovered or needs its picture again: counted by Of.
  static void Refresh(GLFWwindow* w) { (void)Of(w); }
  static void Drop(GLFWwindow* w, int count, const char** paths) {
    if (GlWindow* self = Of(w); self && self->events_.drop)
      for (int i = 0; i < count; ++i) self->events_.drop(paths[i]);
  }
  static void Close(GLFWwindow* w) {
    // The program decides when to close: the loop sees the request.
    glfwSetWindowShouldClose(w, GLFW_FALSE);
    if (GlWindow* self = Of(w); self && self->events_.close) self->events_.close();
  }
};

GlWindow::~GlWindow() { Destroy(); }

bool GlWindow::Create(int width, int height, const std::string& title, bool visible,
                      std::string& error) {
  if (!glfwInit()) {
    error = "Window Creation Error.";
    return false;
  }
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, 8);
  glfwWindowHint(GLFW_GREEN_BITS, 8);
  glfwWindowHint(GLFW_BLUE_BITS, 8);
  glfwWindowHint(GLFW_ALPHA_BITS, 8);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 1);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHintString(GLFW_X11_CLASS_NAME, kWindowClass);
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, kWindowClass);
  main_ = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
  if (!main_) {
    error = "Window Creation Error.";
    return false;
  }
  glfwSetWindowUserPointer(main_, this);
  glfwSetKeyCallback(main_, GlWindowCallbacks::Key);
  glfwSetCharCallback(main_, GlWindowCallbacks::Char);
  glfwSetCursorPosCallback(main_, GlWindowCallbacks::Cursor);
  glfwSetCursorEnterCallback(main_, GlWindowCallbacks::Enter);
  glfwSetMouseButtonCallback(main_, GlWindowCallbacks::Button);
  glfwSetScrollCallback(main_, GlWindowCallbacks::Scroll);
  glfwSetFramebufferSizeCallback(main_, GlWindowCallbacks::Size);
  glfwSetWindowFocusCallback(main_, GlWindowCallbacks::Focus);
  glfwSetWindowIconifyCallback(main_, GlWindowCallbacks::Iconify);
  glfwSetWindowCloseCallback(main_, GlWindowCallbacks::Close);
  glfwSetDropCallback(main_, GlWindowCallbacks::Drop);
  glfwSetWindowRefreshCallback(main_, GlWindowCallbacks::Refresh);
  return true;
}

bool GlWindow::CreateSharedContext(std::string& error) {
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  worker_ = glfwCreateWindow(16, 16, "worker", nullptr, main_);
  if (!worker_) {
    error = "Can't Create A GL Rendering Context.";
    return false;
  }
  return true;
}

void GlWindow::Destroy() {
  if (worker_) glfwDestroyWindow(worker_);
  if (main_) glfwDestroyWindow(main_);
#if VANTOR_LEAK_CHECK
  // glfwTerminate unloads the GL driver (Mesa's swrast_dri.so), after which
  // what the driver still held reads as leaks from code no longer mapped:
  // frames nothing can name, so no suppression can match them. The leak
  // check runs here instead, while the driver is loaded (the one at exit is
  // then skipped); the program's own leaks are as fatal here as there.
  if (main_ || worker_) __lsan_do_leak_check();
#endif
  if (main_ || worker_) glfwTerminate();
  worker_ = main_ = nullptr;
}

void GlWindow::SetEvents(WindowEvents events) { events_ = std::move(events); }
void GlWindow::PollEvents() { glfwPollEvents(); }
void GlWindow::SwapBuffers() { glfwSwapBuffers(main_); }
void GlWindow::SetTitle(const std::string& title) { glfwSetWindowTitle(main_, title.c_str()); }

void GlWindow::SetIcon(const std::vector<WindowIconImage>& sizes) {
  if (!main_ || sizes.empty()) return;
  std::vector<GLFWimage> images;
  for (const WindowIconImage& icon : sizes) {
    if (icon.width <= 0 || icon.height <= 0 || icon.rgba.size() != size_t(icon.width) * size_t(icon.height) * 4)
      continue;
    // GLFW only reads the pixels (it copies them into the window property).
    images.push_back({icon.width, icon.height, const_cast<unsigned char*>(icon.rgba.data())});
  }
  if (!images.empty()) glfwSetWindowIcon(main_, int(images.size()), images.data());
}
void GlWindow::HideCursor() {
  if (main_) glfwSetInputMode(main_, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

bool GlWindow::GetPlacement(int& x, int& y, int& width, int& height) const {
  if (!main_) return false;
  glfwGetWindowPos(main_, &x, &y);
  glfwGetWindowSize(main_, &width, &height);
  return true;
}

void GlWindow::Place(int x, int y) {
  if (!main_) return;
  if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
    int ax = 0, ay = 0, aw = 0, ah = 0;
    glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
    if (aw > 0 && ah > 0) {
      // A place from another monitor set-up comes back into view.
      x = std::clamp(x, ax, std::max(ax, ax + aw - 100));
      y = std::clamp(y, ay, std::max(ay, ay + ah - 60));
    }
  }
  glfwSetWindowPos(main_, x, y);
}

void GlWindow::SetMinimumSize(int width, int height) {
  if (main_) glfwSetWindowSizeLimits(main_, width, height, GLFW_DONT_CARE, GLFW_DONT_CARE);
}

void GlWindow::Show() {
  if (main_) glfwShowWindow(main_);
}

void GlWindow::Focus() {
  if (main_) glfwFocusWindow(main_);
}

void GlWindow::SetTopmost(bool on) { glfwSetWindowAttrib(main_, GLFW_FLOATING, on ? GLFW_TRUE : GLFW_FALSE); }
void GlWindow::SetSwapInterval(int interval) { glfwSwapInterval(interval); }
void GlWindow::GetFramebufferSize(int& width, int& height) const {
  glfwGetFramebufferSize(main_, &width, &height);
}
bool GlWindow::ShouldClose() const { return glfwWindowShouldClose(main_); }
void GlWindow::SetClipboard(const std::string& text) {
  if (main_) glfwSetClipboardString(main_, text.c_str());
}

std::string GlWindow::Clipboard() const {
  const char* text = main_ ? glfwGetClipboardString(main_) : nullptr;
  return text ? text : "";
}

bool GlWindow::IsFocused() const { return glfwGetWindowAttrib(main_, GLFW_FOCUSED) == GLFW_TRUE; }

bool GlWindow::MakeMainCurrent() {
  glfwMakeContextCurrent(main_);
  return glfwGetCurrentContext() == main_;
}

bool GlWindow::MakeWorkerCurrent() {
  if (!worker_) return false;
  glfwMakeContextCurrent(worker_);
  return glfwGetCurrentContext() == worker_;
}

void GlWindow::ReleaseCurrent() { glfwMakeContextCurrent(nullptr); }
bool GlWindow::MainIsCurrentOn(const GlWindow& w) { return glfwGetCurrentContext() == w.main_; }

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SleepForMs(double ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

}  // namespace platform
