// The splash: a frameless window with one picture, centred on the primary
// monitor and above the others, shown while the program starts. Clicks and
// keys on it do nothing. It closes once it has been up for a second and the
// start-up is done, whichever comes last.
#pragma once

#include <cstdint>
#include <vector>

struct GLFWwindow;

namespace platform {

class SplashWindow {
 public:
  static constexpr double kMinimumMs = 1000;
  // The window's title, which the main window's never contains.
  static constexpr const char* kTitle = "Vantor - starting";

  SplashWindow() = default;
  ~SplashWindow();
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;

  // `bgra`: rows top first. False (after the message box of the failure)
  // when the window cannot be made; start-up goes on without it.
  bool Show(const std::vector<uint8_t>& bgra, int width, int height, double now_ms);
  void StartupDone() { startup_done_ = true; }
  // Once a pass of the main loop: true when it closed now.
  bool Step(double now_ms);
  bool open() const { return window_ != nullptr; }
  double shown_ms() const { return shown_ms_; }
  void Close();

 private:
  void Paint();
  static void Refresh(GLFWwindow* w);
  GLFWwindow* window_ = nullptr;
  std::vector<uint8_t> bgra_;
  int width_ = 0, height_ = 0;
  double shown_ms_ = 0;
  bool startup_done_ = false;
};

}  // namespace platform
