// Clocks for tests: pauses skipped over real time, or purely virtual time.
#pragma once

#include <atomic>

#include "channel/Clock.h"

namespace tarnwick {

// Real time plus every pause skipped so far: pauses cost nothing, while real waits
// (a socket that stays silent) still count. Shared between a client and an in-process
// simulator, both see the same time. Thread-safe.
class SkippingClock final : public Clock {
 public:
  Millis Now() const override { return real_.Now() + skipped_.load(); }
  void Sleep(Millis ms) override {
    if (ms > 0) skipped_ += ms;
  }
  Millis Skipped() const { return skipped_.load(); }

 private:
  SteadyClock real_;
  std::atomic<Millis> skipped_{0};
};

// Pure virtual time for byte-level tests: only Sleep and Advance move it.
class ManualClock final : public Clock {
 public:
  Millis Now() const override { return now_.load(); }
  void Sleep(Millis ms) override {
    if (ms > 0) now_ += ms;
  }
  void Advance(Millis ms) { now_ += ms; }

 private:
  std::atomic<Millis> now_{0};
};

}  // namespace tarnwick
