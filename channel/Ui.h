// What the channel and the pages show the user: messages, Possible Errors, the Wait box.
#pragma once

#include <memory>
#include <string>

namespace tarnwick {

// Opaque native window handle (HWND on Windows); null means "no owner".
using WindowRef = void*;

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// The modeless Wait box with its progress bar.
class WaitWindow {
 public:
  virtual ~WaitWindow() = default;  // destroys the window
  virtual void SetProgress(int position) = 0;
  virtual void Repaint() = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // Modal message box. An empty caption shows the application name.
  virtual Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                         Buttons buttons = Buttons::Ok) = 0;
  // The modal Possible Errors dialog shown when a connection cannot be made.
  virtual void ShowPossibleErrors() = 0;
  // Creates the Wait box (no parent, centred, range 0-200) showing text, or its
  // default text when text is empty, and shows it.
  virtual std::unique_ptr<WaitWindow> OpenWait(const std::string& text) = 0;
  // One line to the debugger output.
  virtual void Trace(const std::string& line) = 0;
  // Repaints pending windows while a socket wait goes on; handles nothing else.
  virtual void PumpPaint() = 0;
};

}  // namespace tarnwick
