#pragma once

#include <windows.h>

#include "app/Sheet.h"

namespace tarnwick::win32 {

// Runs the main property sheet modally: its pages, title, icon and system menu.
class SheetHost {
 public:
  // Returns what the platform's modal sheet returns (0 after Cancel).
  static int Run(CAllControlsSheet& sheet);
};

}  // namespace tarnwick::win32
