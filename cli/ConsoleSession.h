// A console command's session with the router: its log-in data, a Ui that notes failures and
// refuses every question, and no settings kept.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "channel/Clock.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "ui/NotingUi.h"
#include "ui/Session.h"
#include "ui/Settings.h"

namespace tarnwick {

// The exit status of tarnwick-cli.
enum ConsoleStatus { kConsoleDone = 0, kConsoleCommandFailed = 1, kConsoleLoginFailed = 2 };

struct ConsoleTarget {
  std::string address;  // host[:port]
  std::string password;
  std::optional<Millis> replyLimit;
  Pace pace = Pace::Program;
};

// The router address an Apply takes over is kept for the run only.
class RunSettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return address_; }
  bool WriteIPAddress(const std::string& address) override {
    address_ = address;
    return true;
  }

 private:
  std::optional<std::string> address_;
};

class ConsoleSession {
 public:
  ConsoleSession(const ConsoleTarget& target, SocketFactory& sockets, Clock& clock, Ui& ui);
  // False (said on ui) when the log-in failed.
  bool LogIn();

  // Every question is answered No unless told otherwise: a console command agrees to no
  // change it was not asked to make.
  NotingUi watching;
  RunSettings settings;
  Session session;

 private:
  Ui& ui_;
};

}  // namespace tarnwick
