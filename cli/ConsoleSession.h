// A console command's session with the router: its log-in data, a Ui that notes failures and
// refuses every question, and no settings kept.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "channel/Clock.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "ui/Session.h"
#include "ui/Settings.h"

namespace tarnwick {

// The exit status of tarnwick-cli.
enum ConsoleStatus { kConsoleDone = 0, kConsoleCommandFailed = 1, kConsoleLoginFailed = 2 };

struct ConsoleTarget {
  std::string address;  // host[:port]
  std::string password;
  std::optional<Millis> replyLimit;
};

// Forwards to the console; notes whether anything went wrong on the way, and answers every
// question No: a show agrees to no change.
class WatchingUi final : public Ui {
 public:
  explicit WatchingUi(Ui& inner) : inner_(inner) {}
  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    if (caption == "Error") failed = true;
    const Answer shown = inner_.Message(owner, text, caption, buttons);
    return buttons == Buttons::YesNo ? Answer::No : shown;
  }
  void ShowPossibleErrors() override {
    failed = true;
    inner_.ShowPossibleErrors();
  }
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override {
    return inner_.OpenWait(text);
  }
  void Trace(const std::string& line) override { inner_.Trace(line); }
  void PumpPaint() override { inner_.PumpPaint(); }

  bool failed = false;

 private:
  Ui& inner_;
};

// Nothing a show does keeps a setting; only an Apply would write one.
class NoSettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return std::nullopt; }
  bool WriteIPAddress(const std::string&) override { return false; }
};

class ConsoleSession {
 public:
  ConsoleSession(const ConsoleTarget& target, SocketFactory& sockets, Clock& clock, Ui& ui);
  // False (said on ui) when the log-in failed.
  bool LogIn();

  WatchingUi watching;
  NoSettings settings;
  Session session;

 private:
  Ui& ui_;
};

}  // namespace tarnwick
