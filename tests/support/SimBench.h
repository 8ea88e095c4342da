// The page bench on the in-process router simulator over loopback, its pauses skipped.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "channel/Socket.h"
#include "routersim/Simulator.h"
#include "support/PageBench.h"

namespace tarnwick::testing {

// The shared skipping clock, letting the simulator's thread catch up before each pause of a
// progress step or longer. With no real time passing, a "restart" or "batch execute" seen
// only after the client skipped its wait would take effect late, and lines still unread when
// the client drops a connection are lost with it.
class SettlingClock final : public Clock {
 public:
  Millis Now() const override { return inner_.Now(); }
  void Sleep(Millis ms) override {
    if (ms >= 200 && settle) settle();
    inner_.Sleep(ms);
  }
  std::function<void()> settle;

 private:
  SkippingClock inner_;
};

struct SimulatorWorld {
  SimulatorWorld() : sim(std::make_unique<routersim::Simulator>(Defaults(), clock)) {
    clock.settle = [this] { Settle(); };
  }

  static routersim::Options Defaults() {
    routersim::Options options;
    options.port = 0;
    return options;
  }

  // Starts the router (again, with other options when given), before logging in.
  void Start(const routersim::Options* options = nullptr) {
    if (options) {
      routersim::Options o = *options;
      o.port = 0;
      sim = std::make_unique<routersim::Simulator>(o, clock);
    }
    std::string error;
    ASSERT_TRUE(sim->Start(&error)) << error;
  }

  // Until the transcript has stopped growing for a few milliseconds (at most 200 ms).
  void Settle() const {
    if (!sim) return;
    std::size_t size = sim->TranscriptLines().size();
    for (int stable = 0, turns = 0; stable < 3 && turns < 200; ++turns) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const std::size_t now = sim->TranscriptLines().size();
      stable = now == size ? stable + 1 : 0;
      size = now;
    }
  }

  SocketFactory& Sockets() { return *sockets; }
  std::string Address() const { return sim->Address(); }
  std::string Password() const { return sim->options().password; }
  std::vector<std::string> Commands() const {
    Settle();
    std::vector<std::string> out;
    const std::string passwordLine = Password() + "\r\n";
    for (const std::string& line : sim->TranscriptLines())
      if (line != passwordLine && line != "home \r\n") out.push_back(line);
    return out;
  }

  SettlingClock clock;
  std::unique_ptr<routersim::Simulator> sim;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
};

// Starts the simulator and logs in.
struct SimBench : PageBench<SimulatorWorld> {
  void Start(const routersim::Options* options = nullptr) {
    SimulatorWorld::Start(options);
    session.channel.RouterAddress = Address();
    session.channel.RouterPassword = Password();
    ASSERT_TRUE(Login());
  }
};

}  // namespace tarnwick::testing
