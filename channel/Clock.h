// Time for the router dialogue's pauses and limits, behind a seam tests replace.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace tarnwick {

// Milliseconds on a monotonic scale; only differences are meaningful.
using Millis = std::int64_t;

// How the dialogue with the router is paced. The bytes sent are the same either way.
enum class Pace {
  // The program's own: fixed pauses give the router time at log-in, before each reply is
  // read and between the steps of a write; a line whose answer is not read is only sent.
  Program,
  // The router's own: every pause that only gives the router time before a wait that looks
  // for its text (or only animates a progress step) is skipped, and every line whose answer
  // is not read waits for its echo and prompt instead, bounded as a reply. The pauses that
  // wait for the router itself to act (after "batch execute", after "restart", before a
  // reconnection, a script's own pauses) stay.
  Fast,
};

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
