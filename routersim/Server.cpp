// Sockets, accept and the poll loop of the simulator's telnet service.
#include "routersim/Server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace tarnwick::routersim {

bool IsLoopbackAddress(const std::string& address, std::string* dotted) {
  std::string a = address == "localhost" ? "127.0.0.1" : address;
  in_addr parsed{};
  if (inet_pton(AF_INET, a.c_str(), &parsed) != 1) return false;
  if ((ntohl(parsed.s_addr) >> 24) != 127) return false;
  if (dotted) *dotted = a;
  return true;
}

Server::Server(Console& console, std::mutex& mu) : console_(console), mu_(mu) {}

Server::~Server() { Stop(); }

int Server::Listen(const std::string& address, std::uint16_t port, std::string* error) {
  auto fail = [&](int fd, const std::string& text) {
    if (error) *error = text;
    if (fd >= 0) close(fd);
    return -1;
  };
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return fail(fd, std::string("socket: ") + strerror(errno));
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
  sa.sin_port = htons(port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
    return fail(
        fd, "cannot listen on " + address + ":" + std::to_string(port) + ": " + strerror(errno));
  if (listen(fd, 16) != 0) return fail(fd, std::string("listen: ") + strerror(errno));
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return fd;
}

bool Server::Start(const std::string& address, std::uint16_t port, std::string* error) {
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    CloseAll();
    return false;
  };
  std::string dotted;
  if (!IsLoopbackAddress(address, &dotted))
    return fail("refusing to listen on " + address +
                ": only loopback addresses (127.0.0.0/8) are allowed");
  if (pipe(wake_) != 0) return fail(std::string("pipe: ") + strerror(errno));
  for (int fd : wake_) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  std::string text;
  listenFd_ = Listen(dotted, port, &text);
  if (listenFd_ < 0) return fail(text);
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len);
  port_ = ntohs(sa.sin_port);
  {
    std::lock_guard<std::mutex> lock(mu_);
    host_ = dotted;
    lanSeen_ = console_.router().LanAddress();
  }
  stopping_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void Server::FollowLan() {
  std::string lan = console_.router().LanAddress();
  if (lan == lanSeen_) return;
  lanSeen_ = lan;
  if (lan.empty() || lan == host_) return;
  std::string where = host_ + ":" + std::to_string(port_);
  if (!IsLoopbackAddress(lan)) {
    console_.Notice("LAN address " + lan + " is outside loopback; still listening on " + where);
    return;
  }
  std::string error;
  int fd = Listen(lan, port_, &error);
  if (fd < 0) {
    console_.Notice(error + "; still listening on " + where);
    return;
  }
  close(listenFd_);
  listenFd_ = fd;
  host_ = lan;
  console_.Notice("LAN address changed: listening on " + lan + ":" + std::to_string(port_));
}

void Server::Stop() {
  stopping_ = true;
  Wake();
  if (thread_.joinable()) thread_.join();
  CloseAll();
}

void Server::Wake() {
  if (wake_[1] >= 0) {
    char b = 1;
    [[maybe_unused]] auto n = write(wake_[1], &b, 1);
  }
}

void Server::Accept() {
  while (true) {
    int fd = accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    connections_.push_back({fd, std::make_unique<Session>(console_, console_.Booting())});
  }
}

// Returns false when the connection failed.
bool Server::Flush(Connection& c) {
  FaultInjector& faults = console_.faults();
  while (!c.session->Output().empty()) {
    const std::string_view out = c.session->Output();
    ssize_t n = send(c.fd, out.data(), faults.PieceSize(out.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    c.session->Sent(static_cast<std::size_t>(n));
    // One piece per turn of the loop, so that the pieces arrive apart.
    if (faults.Paced()) return true;
  }
  return true;
}

void Server::Serve() {
  std::vector<pollfd> fds;
  while (!stopping_.load()) {
    bool pacing = false;
    fds.clear();
    fds.push_back({wake_[0], POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    {
      std::lock_guard<std::mutex> lock(mu_);
      for (const Connection& c : connections_) {
        short ev = c.session->Ending() ? 0 : POLLIN;
        bool pending = !c.session->Output().empty();
        if (pending) ev |= POLLOUT;
        if (pending && console_.faults().Paced()) pacing = true;
        fds.push_back({c.fd, ev, 0});
      }
    }
    // Short turns: the clock may be virtual and jump, and held sessions must notice.
    int n = poll(fds.data(), fds.size(), pacing ? 1 : 10);

    if (n < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (read(wake_[0], drain, sizeof drain) > 0) {
      }
    }
    if (pacing) std::this_thread::sleep_for(std::chrono::microseconds(500));

    std::lock_guard<std::mutex> lock(mu_);
    if (n == 0)
      console_.Idle();
    else
      console_.LinesArriving();
    // Read before accepting: a client that sent "restart" or "batch execute" and then
    // connected again must find its new session after the old one was dropped.
    for (std::size_t i = 0; i < connections_.size() && i + 2 < fds.size(); ++i) {
      Connection& c = connections_[i];
      if (c.fd != fds[i + 2].fd) continue;
      if (!(fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) || c.session->Ending()) {
        c.session->InputIdle();
        continue;
      }
      char buf[4096];
      ssize_t got = recv(c.fd, buf, sizeof buf, 0);
      if (got > 0)
        c.session->Receive(std::string_view(buf, static_cast<std::size_t>(got)));
      else if (got == 0 || (errno != EINTR && errno != EAGAIN))
        c.session->Lost();
    }
    FollowLan();
    for (Connection& c : connections_) {
      c.session->Release();
      if (!c.session->Output().empty() && !Flush(c)) c.session->Lost();
    }
    for (auto it = connections_.begin(); it != connections_.end();) {
      if (it->session->Finished()) {
        shutdown(it->fd, SHUT_RDWR);
        close(it->fd);
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
    if (fds[1].revents & POLLIN) Accept();
    console_.GreetWhenBooted();
  }
}

void Server::CloseAll() {
  std::lock_guard<std::mutex> lock(mu_);
  for (Connection& c : connections_) close(c.fd);
  connections_.clear();
  if (listenFd_ >= 0) close(listenFd_);
  listenFd_ = -1;
  for (int& fd : wake_) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

}  // namespace tarnwick::routersim
