// A blocking TCP stream socket with bounded receives, behind a seam tests replace.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "channel/Clock.h"

namespace tarnwick {

// A blocking TCP stream socket. Receive takes a bound so that callers can keep
// a silent peer from holding them past their own limit.
class Socket {
 public:
  static constexpr int kTimedOut = -2;

  virtual ~Socket() = default;
  virtual bool Create() = 0;
  // host: dotted IPv4 address or host name.
  virtual bool Connect(const std::string& host, std::uint16_t port) = 0;
  // Sends all bytes; returns the count sent, 0 or negative on failure.
  virtual int Send(const char* data, int length) = 0;
  // Waits at most waitMs for data. Returns the count stored (>0), 0 when the peer has
  // closed, -1 on error, kTimedOut when nothing arrived within waitMs.
  virtual int Receive(char* buffer, int capacity, Millis waitMs) = 0;
  virtual void ShutdownSend() = 0;
  virtual void Close() = 0;
};

class SocketFactory {
 public:
  virtual ~SocketFactory() = default;
  // Null when no socket object can be made.
  virtual std::unique_ptr<Socket> Make() = 0;
};

// The platform's socket (POSIX or Winsock). With loopbackOnly, Connect refuses any
// address outside 127.0.0.0/8: test builds must never reach a real router.
std::unique_ptr<SocketFactory> MakePlatformSocketFactory(bool loopbackOnly = false);

// Socket-layer start-up (WSAStartup on Windows; always true elsewhere).
bool InitialiseSocketLayer();

}  // namespace tarnwick
