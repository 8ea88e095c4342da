// The platform side of the channel's Ui: message boxes, Possible Errors, Wait box, traces.
#pragma once

#include <windows.h>

#include "channel/Ui.h"

namespace tarnwick::win32 {

class Win32Ui final : public Ui {
 public:
  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override;
  void ShowPossibleErrors() override;
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override;
  void Trace(const std::string& line) override;
  void PumpPaint() override;
};

// The caption of messages that name none: the program file's name without its extension.
std::string ApplicationName();

}  // namespace tarnwick::win32
