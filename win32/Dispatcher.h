// Delivers the events of a dialog or property page window to its model, by one set of rules.
#pragma once

#include <windows.h>

#include "ui/DialogModel.h"

namespace tarnwick::win32 {

class Dispatcher {
 public:
  enum class Host { Dialog, Page };
  // Posted by Win32View::Focus: wParam the control id, lParam nonzero to select its text.
  static constexpr UINT kFocusMessage = WM_APP + 1;
  // Posted by Win32View when a list's rows changed: wParam the list's id.
  static constexpr UINT kFitColumnsMessage = WM_APP + 2;

  Dispatcher(DialogModel& model, Host host) : model_(model), host_(host) {}

  // Clicks (push buttons, check boxes, radio buttons), focus leaving an edit, list-view
  // selection changes, timers and focus requests. True when the message was handled.
  bool Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Moves the focus once the current event is over (after any message box it shows).
  void RequestFocus(HWND window, int id, bool selectAll);

 private:
  bool Command(HWND window, WPARAM wParam, LPARAM lParam);
  void FocusLeft(HWND window, int id);
  void ApplyFocus(HWND window, int id, bool selectAll);

  DialogModel& model_;
  Host host_;
  // Focus-leave events are not delivered while a focus-leave handler runs (its message box
  // takes the focus) or while a focus the model asked for is still to be applied.
  int quiet_ = 0;
};

}  // namespace tarnwick::win32
