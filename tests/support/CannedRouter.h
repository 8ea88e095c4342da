// A router of canned replies behind fake sockets, on a virtual clock: exact reply texts at no
// real time, for the tests of scanning and of the channel's conduct.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "channel/Socket.h"
#include "support/Clocks.h"

namespace tarnwick::testing {

class CannedRouter final : public SocketFactory {
 public:
  static constexpr const char* kPrompt = "\r\nrouter> ";

  explicit CannedRouter(ManualClock& clock) : clock(clock) {}

  std::unique_ptr<Socket> Make() override;

  ManualClock& clock;
  std::string password = "admin";
  // Command line (line end included) -> output printed between echo and prompt. Lines
  // without an entry are echoed and prompted with no output; silent ones get nothing.
  std::map<std::string, std::string> outputs;
  std::vector<std::string> silent;
  bool refuseConnections = false;
  // Once this many lines were received after log-in, every send fails (-1 off).
  int sendsFailAfter = -1;
  // Runs as each line arrives after log-in, before it is answered.
  std::function<void(const std::string&)> onLine;

  std::vector<std::string> received;  // after log-in, every line in order
  int made = 0;                       // sockets handed out
  int connects = 0;
  int closes = 0;
  int logins = 0;
};

class CannedSocket final : public Socket {
 public:
  explicit CannedSocket(CannedRouter& router) : router_(router) {}
  bool Create() override { return true; }
  bool Connect(const std::string&, std::uint16_t) override {
    ++router_.connects;
    if (router_.refuseConnections) return false;
    pending_ = "\r\nLogin password: ";
    return true;
  }
  int Send(const char* data, int length) override {
    if (loggedIn_ && router_.sendsFailAfter >= 0 &&
        static_cast<int>(router_.received.size()) >= router_.sendsFailAfter)
      return -1;
    input_.append(data, static_cast<std::size_t>(length));
    for (std::size_t end; (end = input_.find('\n')) != std::string::npos;) {
      const std::string line = input_.substr(0, end + 1);
      input_.erase(0, end + 1);
      Answer(line);
    }
    return length;
  }
  int Receive(char* buffer, int capacity, Millis waitMs) override {
    if (pending_.empty()) {
      router_.clock.Advance(std::max<Millis>(waitMs, 1));
      return kTimedOut;
    }
    const int n = std::min(capacity, static_cast<int>(pending_.size()));
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
        ++router_.logins;
        pending_ += CannedRouter::kPrompt;
      } else {
        pending_ += "\r\nLogin incorrect\r\nLogin password: ";
      }
      return;
    }
    router_.received.push_back(line);
    if (router_.onLine) router_.onLine(line);
    if (std::find(router_.silent.begin(), router_.silent.end(), line) != router_.silent.end())
      return;
    auto it = router_.outputs.find(line);
    pending_ +=
        line + (it == router_.outputs.end() ? std::string() : it->second) + CannedRouter::kPrompt;
  }

  CannedRouter& router_;
  std::string input_;
  std::string pending_;
  bool loggedIn_ = false;
};

inline std::unique_ptr<Socket> CannedRouter::Make() {
  ++made;
  return std::make_unique<CannedSocket>(*this);
}

}  // namespace tarnwick::testing
