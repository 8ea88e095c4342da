// A window timer that refreshes a page while it is active, never overlapping its own refresh.
#pragma once

#include "ui/View.h"

namespace tarnwick {

class PollTimer {
 public:
  constexpr PollTimer(int id, int periodMs) : id_(id), periodMs_(periodMs) {}

  int id() const { return id_; }
  void Start(View& view) const { view.StartTimer(id_, periodMs_); }
  void Stop(View& view) const { view.StopTimer(id_); }

  // For OnTimer: false when the tick is another timer's. Otherwise the timer is stopped while
  // refresh runs, so the next tick comes a full period after it ends.
  template <typename Refresh>
  bool Tick(View& view, int timerId, Refresh refresh) const {
    if (timerId != id_) return false;
    Stop(view);
    refresh();
    Start(view);
    return true;
  }

 private:
  int id_;
  int periodMs_;
};

}  // namespace tarnwick
