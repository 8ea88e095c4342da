// The world a page or dialog test runs in: a router, the recording Ui, settings in memory,
// the session and a test view that refuses controls the model did not declare.
#pragma once

#include <string>
#include <vector>

#include "support/CannedRouter.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "support/TestView.h"
#include "ui/DialogModel.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick::testing {

// World: the router side. It provides clock, Sockets(), Address(), Password() and
// Commands() (the lines received after each log-in, log-in lines left out).
template <typename World>
struct PageBench : World {
  PageBench() : session(World::Sockets(), World::clock, ui, settings) {
    session.channel.RouterAddress = World::Address();
    session.channel.RouterPassword = World::Password();
  }

  // Logs in as Log In leaves the channel.
  bool Login() { return session.channel.ConnectAndLogin(); }

  // Attaches the model to the view, which from then on holds it to its declared controls.
  template <typename Model>
  Model& Attach(Model& model) {
    view.Declare(model.Controls());
    model.Attach(&view);
    return model;
  }
  // Attach, then what the platform does when the window is created.
  template <typename Model>
  Model& Open(Model& model) {
    Attach(model).OnInitDialog();
    return model;
  }
  // The user types into a control, then clicks a button.
  void Type(int id, const std::string& text) { view.SetText(id, text); }
  void Click(DialogModel& model, int id) { model.OnCommand(id); }

  std::string LastCommand() const {
    const std::vector<std::string> lines = World::Commands();
    return lines.empty() ? std::string() : lines.back();
  }

  RecordingUi ui;
  MemorySettings settings;
  Session session;
  TestView view;
};

// Canned replies on a virtual clock: a silent router costs no real time.
struct CannedWorld {
  ManualClock clock;
  CannedRouter router{clock};

  SocketFactory& Sockets() { return router; }
  std::string Address() const { return "127.0.0.1"; }
  std::string Password() const { return router.password; }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const std::string& line : router.received)
      if (line != "home \r\n") out.push_back(line);
    return out;
  }
};

using CannedBench = PageBench<CannedWorld>;

}  // namespace tarnwick::testing
