// The platform's TCP socket (POSIX or Winsock), and the loopback-only factory for tests.
#include <algorithm>
#include <climits>
#include <cstring>

#include "channel/Socket.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace tarnwick {
namespace {

#ifdef _WIN32
using Handle = SOCKET;
const Handle kNoHandle = INVALID_SOCKET;
void CloseSocketHandle(Handle h) { closesocket(h); }
#else
using Handle = int;
const Handle kNoHandle = -1;
void CloseSocketHandle(Handle h) { ::close(h); }
#endif

bool IsLoopback(const sockaddr_in& address) {
  return (ntohl(address.sin_addr.s_addr) >> 24) == 127;
}

int ClampWait(Millis waitMs) { return static_cast<int>(std::clamp<Millis>(waitMs, 0, INT_MAX)); }

// Both platforms share one shape; only the system calls differ.
class PlatformSocket final : public Socket {
 public:
  explicit PlatformSocket(bool loopbackOnly) : loopbackOnly_(loopbackOnly) {}
  ~PlatformSocket() override { Close(); }

  bool Create() override {
    Close();
    handle_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle_ == kNoHandle) return false;
    // Command lines are small and each waits for its echo: no Nagle delay.
    int on = 1;
    ::setsockopt(handle_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
#if defined(SO_NOSIGPIPE)
    ::setsockopt(handle_, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return true;
  }

  bool Connect(const std::string& host, std::uint16_t port) override {
    if (handle_ == kNoHandle) return false;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;

    bool connected = false;
    bool dialled = false;
    for (addrinfo* a = found; a && !connected; a = a->ai_next) {
      if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) continue;
      sockaddr_in target;
      std::memcpy(&target, a->ai_addr, sizeof target);
      // Checked before dialling: a test build must not even send a SYN elsewhere.
      if (loopbackOnly_ && !IsLoopback(target)) continue;
      target.sin_port = htons(port);
      // A failed connect leaves the socket unusable; take a fresh one for the next try.
      if (dialled && !Create()) break;
      dialled = true;
      connected =
          ::connect(handle_, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    }
    ::freeaddrinfo(found);
    return connected;
  }

  int Send(const char* data, int length) override {
    if (handle_ == kNoHandle || length <= 0) return length == 0 ? 0 : -1;
    int sent = 0;
    while (sent < length) {
#ifdef _WIN32
      int n = ::send(handle_, data + sent, length - sent, 0);
      if (n == SOCKET_ERROR) return -1;
#else
      int flags = 0;
#ifdef MSG_NOSIGNAL
      flags = MSG_NOSIGNAL;
#endif
      ssize_t n = ::send(handle_, data + sent, static_cast<std::size_t>(length - sent), flags);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
#endif
      if (n == 0) break;
      sent += static_cast<int>(n);
    }
    return sent;
  }

  int Receive(char* buffer, int capacity, Millis waitMs) override {
    if (handle_ == kNoHandle || capacity <= 0) return -1;
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handle_, &readable);
    int wait = ClampWait(waitMs);
    timeval limit;
    limit.tv_sec = wait / 1000;
    limit.tv_usec = (wait % 1000) * 1000;
    int ready = ::select(0, &readable, nullptr, nullptr, &limit);
    if (ready == 0) return kTimedOut;
    if (ready == SOCKET_ERROR) return -1;
    int n = ::recv(handle_, buffer, capacity, 0);
    return n == SOCKET_ERROR ? -1 : n;
#else
    pollfd entry;
    entry.fd = handle_;
    entry.events = POLLIN;
    entry.revents = 0;
    int ready = ::poll(&entry, 1, ClampWait(waitMs));
    if (ready == 0) return kTimedOut;
    if (ready < 0) return errno == EINTR ? kTimedOut : -1;
    for (;;) {
      ssize_t n = ::recv(handle_, buffer, static_cast<std::size_t>(capacity), 0);
      if (n < 0 && errno == EINTR) continue;
      return n < 0 ? -1 : static_cast<int>(n);
    }
#endif
  }

  void ShutdownSend() override {
    if (handle_ == kNoHandle) return;
#ifdef _WIN32
    ::shutdown(handle_, SD_SEND);
#else
    ::shutdown(handle_, SHUT_WR);
#endif
  }

  void Close() override {
    if (handle_ == kNoHandle) return;
    CloseSocketHandle(handle_);
    handle_ = kNoHandle;
  }

 private:
  bool loopbackOnly_;
  Handle handle_ = kNoHandle;
};

class PlatformSocketFactory final : public SocketFactory {
 public:
  explicit PlatformSocketFactory(bool loopbackOnly) : loopbackOnly_(loopbackOnly) {}
  std::unique_ptr<Socket> Make() override {
    return std::make_unique<PlatformSocket>(loopbackOnly_);
  }

 private:
  bool loopbackOnly_;
};

}  // namespace

std::unique_ptr<SocketFactory> MakePlatformSocketFactory(bool loopbackOnly) {
  return std::make_unique<PlatformSocketFactory>(loopbackOnly);
}

bool InitialiseSocketLayer() {
#ifdef _WIN32
  WSADATA data;
  return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
#else
  return true;
#endif
}

}  // namespace tarnwick
