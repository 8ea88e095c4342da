// The modeless Wait box of a long operation and its progress bar.
#include "ui/WaitProgress.h"

namespace tarnwick {

WaitProgress::WaitProgress(Ui& ui, Clock& clock, Pace pace) : ui_(ui), clock_(clock), pace_(pace) {}

WaitProgress::~WaitProgress() { Close(); }

void WaitProgress::Show(const std::string& text) {
  Close();
  window_ = ui_.OpenWait(text);
  position_ = kRangeMin;
  if (window_) window_->SetProgress(position_);
}

void WaitProgress::Step() {
  // A native bar's step wraps past its maximum rather than sticking there.
  position_ += kStep;
  if (position_ > kRangeMax)
    position_ = (position_ - kRangeMin) % (kRangeMax - kRangeMin) + kRangeMin;
  if (window_) window_->SetProgress(position_);
  if (pace_ == Pace::Program) clock_.Sleep(kStepPauseMs);
}

void WaitProgress::Finish() {
  for (int i = 0; i < kFinishSteps; ++i) Step();
}

void WaitProgress::Repaint() {
  if (window_) window_->Repaint();
}

void WaitProgress::Close() { window_.reset(); }

}  // namespace tarnwick
