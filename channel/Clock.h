// Time for the router dialogue's pauses and limits, behind a seam tests replace.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace tarnwick {

// Milliseconds on a monotonic scale; only differences are meaningful.
using Millis = std::int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Millis Now() const = 0;
  // A fixed pause: the caller is frozen, nothing is pumped.
  virtual void Sleep(Millis ms) = 0;
};

class SteadyClock final : public Clock {
 public:
  Millis Now() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void Sleep(Millis ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

}  // namespace tarnwick
