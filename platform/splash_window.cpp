// The splash on GLFW: its own small GL context, the picture drawn with
// glDrawPixels (no texture, nothing shared with the main context).
#include "platform/splash_window.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/message_box.h"

namespace platform {

SplashWindow::~SplashWindow() { Close(); }

bool SplashWindow::Show(const std::vector<uint8_t>& bgra, int width, int height, double now_ms) {
  if (window_ || width <= 0 || height <= 0 || bgra.size() < size_t(width) * size_t(height) * 4) return false;
  if (!glfwInit()) {
    ShowMessageBox("Qor_fen - Error", "Failed to register class - error 0");
    return false;
  }
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_FLOATING, GLFW_TRUE);
  glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  window_ = glfwCreateWindow(width, height, kTitle, nullptr, nullptr);
  glfwDefaultWindowHints();
  if (!window_) {
    const char* description = nullptr;
    const int code = glfwGetError(&description);
    ShowMessageBox("Qor_fen - Error", "Failed to create window- error " + std::to_string(code));
    return false;
  }
  // Kept bottom row first, as glDrawPixels reads them upwards from the
  // window's lower-left corner.
  const size_t row = size_t(width) * 4;
  bgra_.resize(row * size_t(height));
  for (int y = 0; y < height; ++y)
    std::copy_n(bgra.data() + row * size_t(height - 1 - y), row, bgra_.data() + row * size_t(y));
  width_ = width;
  height_ = height;
  if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
    int ax = 0, ay = 0, aw = 0, ah = 0;
    glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
    glfwSetWindowPos(window_, ax + aw / 2 - width / 2, ay + ah / 2 - height / 2);
  }
  glfwSetWindowUserPointer(window_, this);
  glfwSetWindowRefreshCallback(window_, Refresh);
  glfwShowWindow(window_);
  glfwPollEvents();  // the map and its first expose
  Paint();
  shown_ms_ = now_ms;
  startup_done_ = false;
  return true;
}

void SplashWindow::Refresh(GLFWwindow* w) {
  if (auto* self = static_cast<SplashWindow*>(glfwGetWindowUserPointer(w))) self->Paint();
}

void SplashWindow::Paint() {
  if (!window_) return;
  GLFWwindow* previous = glfwGetCurrentContext();
  glfwMakeContextCurrent(window_);
  int fw = 0, fh = 0;
  glfwGetFramebufferSize(window_, &fw, &fh);
  glViewport(0, 0, fw, fh);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  glPixelZoom(float(fw) / float(width_), float(fh) / float(height_));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glDrawPixels(width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, bgra_.data());
  glPixelZoom(1, 1);
  glfwSwapBuffers(window_);
  glfwMakeContextCurrent(previous);
}

bool SplashWindow::Step(double now_ms) {
  if (!window_ || !startup_done_ || now_ms - shown_ms_ < kMinimumMs) return false;
  Close();
  return true;
}

void SplashWindow::Close() {
  if (!window_) return;
  if (glfwGetCurrentContext() == window_) glfwMakeContextCurrent(nullptr);
  glfwDestroyWindow(window_);
  window_ = nullptr;
  bgra_.clear();
}

}  // namespace platform
