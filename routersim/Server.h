// The telnet listener and its poll loop, moving bytes between sockets and sessions.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "routersim/Console.h"
#include "routersim/Session.h"

namespace tarnwick::routersim {

// True for 127.0.0.0/8 (and "localhost"); *dotted gets the address in dotted form.
bool IsLoopbackAddress(const std::string& address, std::string* dotted = nullptr);

class Server {
 public:
  // Every use of the console happens with `mu` held.
  Server(Console& console, std::mutex& mu);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds a loopback address (port 0: any free one) and starts serving.
  bool Start(const std::string& address, std::uint16_t port, std::string* error);
  void Stop();
  void Wake();

  std::uint16_t Port() const { return port_; }
  // Where it listens now, in dotted form; read with `mu` held once serving.
  const std::string& Host() const { return host_; }

 private:
  struct Connection {
    int fd = -1;
    std::unique_ptr<Session> session;
  };

  // A listening socket on address:port, or -1 with *error set.
  static int Listen(const std::string& address, std::uint16_t port, std::string* error);
  // The router's LAN address is where it is reached: move there when it changes.
  void FollowLan();
  void Serve();
  void Accept();
  bool Flush(Connection& c);
  void CloseAll();

  Console& console_;
  std::mutex& mu_;
  std::vector<Connection> connections_;
  int listenFd_ = -1;
  int wake_[2] = {-1, -1};
  std::uint16_t port_ = 0;
  std::string host_;
  std::string lanSeen_;  // the LAN address last acted on
  std::thread thread_;
  std::atomic<bool> stopping_{false};
};

}  // namespace tarnwick::routersim
