// A bare loopback telnet client for the simulator's socket tests.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::routersim::testing {

inline constexpr const char kPrompt[] = "router> ";

// A bare loopback telnet client: no option handling, every byte kept.
class SimClient {
 public:
  ~SimClient() { Close(); }

  bool Connect(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  void Send(const std::string& text) { ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL); }

  // Collects bytes until done(text) holds, the peer closes, or waitMs of real time pass.
  std::string ReadUntil(const std::function<bool(const std::string&)>& done, int waitMs = 3000) {
    std::string text;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!done(text)) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                      until - std::chrono::steady_clock::now())
                      .count();
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char buf[65536];
      ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) {
        closed = true;
        break;
      }
      receiveSizes.push_back(static_cast<std::size_t>(n));
      text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
  }
  std::string ReadFor(int waitMs) {
    return ReadUntil([](const std::string&) { return false; }, waitMs);
  }
  std::string ReadPrompt(int waitMs = 3000) {
    return ReadUntil(
        [](const std::string& t) {
          return t.size() >= 8 && t.compare(t.size() - 8, 8, kPrompt) == 0;
        },
        waitMs);
  }

  // Banner, password, prompt; returns what came after the password.
  std::string LogIn(const std::string& password) {
    ReadUntil([](const std::string& t) { return t.find("password") != std::string::npos; });
    Send(password + "\r\n");
    return ReadUntil([](const std::string& t) {
      return t.find('>') != std::string::npos || t.find("password") != std::string::npos;
    });
  }
  // One command line; the whole reply from the echo to the prompt.
  std::string Command(const std::string& line) {
    Send(line);
    return ReadPrompt();
  }

  bool closed = false;
  std::vector<std::size_t> receiveSizes;

 private:
  int fd_ = -1;
};

}  // namespace tarnwick::routersim::testing
