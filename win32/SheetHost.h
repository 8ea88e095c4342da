// Runs the main property sheet modally: its pages, title, icon and system menu.
#pragma once

#include <windows.h>

#include "ui/Page.h"

namespace tarnwick::win32 {

class SheetHost {
 public:
  // Returns what the platform's modal sheet returns (0 after Cancel).
  static int Run(SheetModel& sheet);
};

}  // namespace tarnwick::win32
