#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/Settings.h"
#include "channel/Clock.h"
#include "channel/Socket.h"
#include "routersim/Simulator.h"
#include "support/RecordingUi.h"
#include "support/TestView.h"

namespace tarnwick::testing {

// A page's world against the in-process simulator over loopback; pauses are skipped.
struct SimBench {
  SimBench()
      : sim(MakeOptions(), clock),
        sockets(MakePlatformSocketFactory(true)),
        session(*sockets, clock, ui, settings) {}

  static routersim::Options MakeOptions() {
    routersim::Options o;
    o.port = 0;
    return o;
  }

  // Starts the router and logs in, as Log In leaves the channel.
  void Start() {
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    session.channel.RouterAddress = sim.Address();
    session.channel.RouterPassword = sim.options().password;
    ASSERT_TRUE(session.channel.ConnectAndLogin());
  }

  // Lines received after log-in that are not part of a log-in.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const std::string& line : sim.TranscriptLines())
      if (line != "admin\r\n" && line != "home \r\n") out.push_back(line);
    return out;
  }
  std::string LastCommand() const {
    auto lines = Commands();
    return lines.empty() ? std::string() : lines.back();
  }
  // From now on the router stays silent.
  void SilenceFromNextLine() {
    sim.options().faults.silenceAfterLines = static_cast<int>(sim.TranscriptLines().size());
  }

  SkippingClock clock;
  routersim::Simulator sim;
  std::unique_ptr<SocketFactory> sockets;
  RecordingUi ui;
  MemorySettings settings;
  Session session;
  TestView view;
};

}  // namespace tarnwick::testing
