#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "channel/Socket.h"

namespace tarnwick::testing {

// A router behind a fake socket: the log-in dialogue and one output per command line,
// on a ManualClock so that a silent router costs no real time.
class ScriptedRouter {
 public:
  explicit ScriptedRouter(ManualClock& clock) : clock(clock) {}

  ManualClock& clock;
  std::string password = "admin";
  bool listening = true;
  // Command line (with its line end) -> output printed before the prompt. A line that
  // is not listed gets no answer at all.
  std::map<std::string, std::string> outputs;
  static constexpr const char* kPrompt = "\r\nrouter> ";

  std::vector<std::string> received;  // every line, line end included
  int made = 0;
  int connects = 0;
  int closes = 0;
};

class ScriptedSocket final : public Socket {
 public:
  explicit ScriptedSocket(ScriptedRouter& router) : router_(router) {}

  bool Create() override { return true; }
  bool Connect(const std::string&, std::uint16_t) override {
    ++router_.connects;
    if (!router_.listening) return false;
    pending_ = "\r\nLogin password: ";
    return true;
  }
  int Send(const char* data, int length) override {
    input_.append(data, static_cast<std::size_t>(length));
    for (std::size_t end; (end = input_.find('\n')) != std::string::npos;) {
      std::string line = input_.substr(0, end + 1);
      input_.erase(0, end + 1);
      router_.received.push_back(line);
      Answer(line);
    }
    return length;
  }
  int Receive(char* buffer, int capacity, Millis waitMs) override {
    if (pending_.empty()) {
      router_.clock.Advance(waitMs);
      return kTimedOut;
    }
    int n = std::min(capacity, static_cast<int>(pending_.size()));
    std::memcpy(buffer, pending_.data(), static_cast<std::size_t>(n));
    pending_.erase(0, static_cast<std::size_t>(n));
    return n;
  }
  void ShutdownSend() override {}
  void Close() override { ++router_.closes; }

 private:
  void Answer(const std::string& line) {
    if (!loggedIn_) {
      if (line == router_.password + "\r\n") {
        loggedIn_ = true;
        pending_ += ScriptedRouter::kPrompt;
      } else {
        pending_ += "\r\nLogin incorrect\r\nLogin password: ";
      }
      return;
    }
    auto it = router_.outputs.find(line);
    if (it != router_.outputs.end()) pending_ += line + it->second + ScriptedRouter::kPrompt;
  }

  ScriptedRouter& router_;
  std::string input_;
  std::string pending_;
  bool loggedIn_ = false;
};

class ScriptedSocketFactory final : public SocketFactory {
 public:
  explicit ScriptedSocketFactory(ScriptedRouter& router) : router_(router) {}
  std::unique_ptr<Socket> Make() override {
    ++router_.made;
    return std::make_unique<ScriptedSocket>(router_);
  }

 private:
  ScriptedRouter& router_;
};

}  // namespace tarnwick::testing
