// Runs any dialog model modally from its template.
#pragma once

#include <windows.h>

#include "ui/DialogModel.h"

namespace tarnwick::win32 {

// Runs any dialog model modally from its template and forwards the dialog's events to it.
class DialogHost {
 public:
  // owner may be null. Returns the result the model ended the dialog with, -1 when the
  // template could not be loaded.
  static int Run(DialogModel& model, HWND owner);

  // Some label texts start a new line with a run of blanks that is meant to hang past the
  // label's right edge. Where DrawText counts those blanks (Wine does), the line breaks a
  // word early and the text needs a line more than the label has; such a label gets its
  // line breaks written out. Labels that DrawText already wraps that way stay untouched.
  static void FitWrappedLabels(HWND dialog);

  // What every dialog and page gets before its model sees it: the labels above fitted, digit
  // boxes that show three digits, pictures at the screen's scale, and accessible names.
  static void Prepare(HWND dialog);
};

}  // namespace tarnwick::win32
