// GLFW key numbers to Windows virtual-key codes.
#include "platform/vk_codes.h"

#include <GLFW/glfw3.h>

namespace platform {

int VirtualKeyOfGlfwKey(int k) {
  if (k >= GLFW_KEY_A && k <= GLFW_KEY_Z) return 'A' + (k - GLFW_KEY_A);
  if (k >= GLFW_KEY_0 && k <= GLFW_KEY_9) return '0' + (k - GLFW_KEY_0);
  if (k >= GLFW_KEY_F1 && k <= GLFW_KEY_F24) return kVkF1 + (k - GLFW_KEY_F1);
  if (k >= GLFW_KEY_KP_0 && k <= GLFW_KEY_KP_9) return kVkNumpad0 + (k - GLFW_KEY_KP_0);
  switch (k) {
    case GLFW_KEY_BACKSPACE: return kVkBack;
    case GLFW_KEY_TAB: return kVkTab;
    case GLFW_KEY_ENTER: case GLFW_KEY_KP_ENTER: return kVkReturn;
    case GLFW_KEY_LEFT_SHIFT: return kVkLShift;
    case GLFW_KEY_RIGHT_SHIFT: return kVkRShift;
    case GLFW_KEY_LEFT_CONTROL: return kVkLControl;
    case GLFW_KEY_RIGHT_CONTROL: return kVkRControl;
    case GLFW_KEY_LEFT_ALT: return kVkLMenu;
    case GLFW_KEY_RIGHT_ALT: return kVkRMenu;
    case GLFW_KEY_PAUSE: return kVkPause;
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
    case GLFW_KEY_KP_MULTIPLY: return 0x6A;
    case GLFW_KEY_KP_ADD: return 0x6B;
    case GLFW_KEY_KP_SUBTRACT: return 0x6D;
    case GLFW_KEY_KP_DECIMAL: return 0x6E;
    case GLFW_KEY_KP_DIVIDE: return 0x6F;
    // The US layout's punctuation keys (VK_OEM_*): the key map can hold
    // them though the binders show them as "Unknown".
    case GLFW_KEY_SEMICOLON: return 0xBA;
    case GLFW_KEY_EQUAL: return 0xBB;
    case GLFW_KEY_COMMA: return 0xBC;
    case GLFW_KEY_MINUS: return 0xBD;
    case GLFW_KEY_PERIOD: return 0xBE;
    case GLFW_KEY_SLASH: return 0xBF;
    case GLFW_KEY_GRAVE_ACCENT: return 0xC0;
    case GLFW_KEY_LEFT_BRACKET: return 0xDB;
    case GLFW_KEY_BACKSLASH: return 0xDC;
    case GLFW_KEY_RIGHT_BRACKET: return 0xDD;
    case GLFW_KEY_APOSTROPHE: return 0xDE;
    default: return 0;
  }
}

}  // namespace platform
