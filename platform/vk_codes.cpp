// GLFW key numbers to Windows virtual-key codes.
#include "platform/vk_codes.h"

#include <GLFW/glfw3.h>

namespace platform {

int VirtualKeyOfGlfwKey(int k) {
  if (k >= GLFW_KEY_A && k <= GLFW_KEY_Z) return 'A' + (k - GLFW_KEY_A);
  if (k >= GLFW_KEY_0 && k <= GLFW_KEY_9) return '0' + (k - GLFW_KEY_0);
  if (k >= GLFW_KEY_F1 && k <= GLFW_KEY_F24) return kVkF1 + (k - GLFW_KEY_F1);
  if (k >= GLFW_KEY_KP_0 && k <= GLFW_KEY_KP_9) return 0x60 + (k - GLFW_KEY_KP_0);
  switch (k) {
    case GLFW_KEY_BACKSPACE: return kVkBack;
    case GLFW_KEY_TAB: return kVkTab;
    case GLFW_KEY_ENTER: case GLFW_KEY_KP_ENTER: return kVkReturn;
    case GLFW_KEY_LEFT_SHIFT: case GLFW_KEY_RIGHT_SHIFT: return kVkShift;
    case GLFW_KEY_LEFT_CONTROL: case GLFW_KEY_RIGHT_CONTROL: return kVkControl;
    case GLFW_KEY_LEFT_ALT: case GLFW_KEY_RIGHT_ALT: return kVkMenu;
    case GLFW_KEY_ESCAPE: return kVkEscape;
    case GLFW_KEY_SPACE: return kVkSpace;
    case GLFW_KEY_LEFT: return kVkLeft;
    case GLFW_KEY_UP: return kVkUp;
    case GLFW_KEY_RIGHT: return kVkRight;
    case GLFW_KEY_DOWN: return kVkDown;
    case GLFW_KEY_DELETE: return kVkDelete;
    case GLFW_KEY_HOME: return 0x24;
    case GLFW_KEY_END: return 0x23;
    case GLFW_KEY_PAGE_UP: return 0x21;
    case GLFW_KEY_PAGE_DOWN: return 0x22;
    case GLFW_KEY_INSERT: return 0x2D;
    default: return 0;
  }
}

}  // namespace platform
