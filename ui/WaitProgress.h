// The modeless Wait box of a long operation and its progress bar.
#pragma once

#include <memory>
#include <string>

#include "channel/Clock.h"
#include "channel/Ui.h"

namespace tarnwick {

// Owned by the operation that shows it, for its duration.
class WaitProgress {
 public:
  static constexpr int kRangeMin = 0;
  static constexpr int kRangeMax = 200;
  static constexpr int kStep = 20;
  static constexpr Millis kStepPauseMs = 200;
  static constexpr int kFinishSteps = 6;

  // At fast pace a step only moves the bar: the lines around it wait for the router instead.
  WaitProgress(Ui& ui, Clock& clock, Pace pace = Pace::Program);
  ~WaitProgress();
  WaitProgress(const WaitProgress&) = delete;
  WaitProgress& operator=(const WaitProgress&) = delete;

  // Opens the box at position 0; an empty text keeps the box's default text.
  void Show(const std::string& text);
  // Advances one step (past the end the bar starts over), then freezes for 200 ms (at the
  // program's pace).
  void Step();
  // Six steps in a row.
  void Finish();
  void Repaint();
  void Close();

  int Position() const { return position_; }
  bool IsOpen() const { return window_ != nullptr; }

 private:
  Ui& ui_;
  Clock& clock_;
  Pace pace_;
  std::unique_ptr<WaitWindow> window_;
  int position_ = kRangeMin;
};

}  // namespace tarnwick
