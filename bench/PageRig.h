// The simulator started with a preset and a session logged in to it, for the page benchmarks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "channel/Socket.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "ui/Session.h"

namespace tarnwick::bench {

// The pauses the dialogue mandates run on a SkippingClock, so what a benchmark times is the
// real time above them.
struct PageRig {
  explicit PageRig(const std::string& preset) {
    routersim::Options options;
    options.port = 0;
    options.preset = preset;
    simulator = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    if (!simulator->Start(&error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      std::exit(1);
    }
    session.channel.RouterAddress = simulator->Address();
    session.channel.RouterPassword = options.password;
    if (!session.channel.ConnectAndLogin()) std::exit(1);
  }
  ~PageRig() {
    session.channel.DropConnection();
    simulator->Stop();
  }

  SkippingClock clock;
  testing::RecordingUi ui;
  testing::MemorySettings settings;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
  Session session{*sockets, clock, ui, settings};
  std::unique_ptr<routersim::Simulator> simulator;
};

}  // namespace tarnwick::bench
