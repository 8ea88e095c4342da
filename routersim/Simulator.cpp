#include "routersim/Simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

namespace {

constexpr int kMaxLoginFailures = 3;
constexpr std::size_t kMaxLine = 64 * 1024;
constexpr const char kPrompt[] = "router> ";
constexpr const char kPasswordRequest[] = "Login password: ";
// Telnet WILL ECHO, WILL SUPPRESS-GO-AHEAD, DO TERMINAL-TYPE: what a real telnet service
// opens with.
constexpr const char kOptionBytes[] = "\xff\xfb\x01\xff\xfb\x03\xff\xfd\x18";

std::string Escape(const std::string& line) {
  std::string out;
  for (unsigned char ch : line) {
    if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\\') {
      out += "\\\\";
    } else if (ch < 0x20 || ch >= 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", ch);
      out += buf;
    } else {
      out += static_cast<char>(ch);
    }
  }
  return out;
}

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// Filler that matches none of the keys the client scans for.
void PadTo(std::string& output, std::size_t size) {
  while (output.size() < size) {
    std::size_t left = size - output.size();
    if (left == 1) {
      output += "\n";
    } else {
      std::size_t dots = std::min<std::size_t>(left - 2, 70);
      output += std::string(dots, '.') + "\r\n";
    }
  }
}

bool ParseLoopback(const std::string& address, in_addr* out) {
  std::string a = address == "localhost" ? "127.0.0.1" : address;
  if (inet_pton(AF_INET, a.c_str(), out) != 1) return false;
  return (ntohl(out->s_addr) >> 24) == 127;
}

}  // namespace

struct Simulator::Impl final : Services {
  enum class Phase { Held, Login, Command };
  struct Conn {
    int fd = -1;
    Phase phase = Phase::Login;
    std::string in;
    std::string out;
    int failures = 0;
    bool closing = false;  // no more reading; closed once out is flushed
  };

  Impl(Options o, Clock& c) : opts(std::move(o)), clock(c) { RegisterAllCommands(table); }

  Options opts;
  Clock& clock;
  CommandTable table;

  mutable std::mutex mu;  // everything below
  Router router;
  std::vector<TranscriptLine> transcript;
  std::ofstream transcriptFile;
  std::vector<Conn> conns;
  Conn* current = nullptr;  // the connection whose line is being run
  bool replaying = false;
  Millis startTime = 0;
  // When the lines being handled arrived. A client on a virtual clock may send a line and
  // at once skip a long pause (as after "restart"), so the clock read when the line is
  // handled can be far later than its sending. Time stamps therefore follow real time
  // from the last quiet moment on; skips are taken in only while nothing arrives.
  Millis arrival = 0;
  Millis quietClock = 0;
  std::chrono::steady_clock::time_point quietReal = std::chrono::steady_clock::now();
  void Quiet() {
    quietClock = clock.Now();
    quietReal = std::chrono::steady_clock::now();
    arrival = std::max(arrival, quietClock);
  }
  void StampArrival() {
    Millis real = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - quietReal)
                      .count();
    arrival = std::max(arrival, std::min(clock.Now(), quietClock + real));
  }
  Millis downUntil = 0;  // new sessions are held until then
  std::int64_t linesReceived = 0;
  bool dropMidDone = false;

  int listenFd = -1;
  int wake[2] = {-1, -1};
  std::uint16_t port = 0;
  std::thread thread;
  std::atomic<bool> stopping{false};
  bool running = false;
  std::mutex stopMu;
  std::condition_variable stopped;

  // --- Services (called with mu held) ---
  const Options& options() const override { return opts; }

  bool SaveConfiguration(std::string* error) override {
    router.savedConfig = table.WriteConfig(router);
    if (opts.stateFile.empty()) return true;
    std::string tmp = opts.stateFile + ".tmp";
    {
      std::ofstream f(tmp, std::ios::trunc);
      for (const auto& line : router.savedConfig) f << line << "\n";
      f.flush();
      if (!f) {
        if (error) *error = "cannot write " + opts.stateFile;
        return false;
      }
    }
    // Replace in one step so that a crash never leaves half a configuration.
    if (std::rename(tmp.c_str(), opts.stateFile.c_str()) != 0) {
      if (error) *error = std::string("cannot replace ") + opts.stateFile + ": " + strerror(errno);
      std::remove(tmp.c_str());
      return false;
    }
    return true;
  }

  void Restart() override {
    if (replaying) return;
    Millis now = arrival;
    DropAllConnections();
    downUntil = now + opts.restartDownMs;
    std::vector<std::string> saved = router.savedConfig;  // LoadSaved replaces router
    LoadSaved(saved, now);
    router.dsl.Retrain(now, opts.restartDownMs + opts.retrainMs);
  }

  void CloseConnection() override {
    if (current) current->closing = true;
  }

  void DropAllConnections() override {
    if (replaying) return;
    for (Conn& c : conns) c.closing = true;
    Wake();
  }

  std::string Run(const std::string& line) override {
    return table.Dispatch(router, *this, clock.Now(), arrival, line);
  }

  // --- state ---
  void LoadSaved(const std::vector<std::string>& saved, Millis now) {
    router = FactoryRouter(opts.password, opts.firmwareVersion, now);
    replaying = true;
    for (const auto& line : saved) table.Dispatch(router, *this, now, now, line);
    replaying = false;
    router.batchQueue.clear();
    router.savedConfig = saved;
  }

  void Record(const std::string& line) {
    Millis now = clock.Now();
    transcript.push_back({now, line});
    if (transcriptFile.is_open()) {
      transcriptFile << (now - startTime) << " ms\t" << Escape(line) << "\n";
      transcriptFile.flush();
    }
  }

  void Wake() {
    if (wake[1] >= 0) {
      char b = 1;
      [[maybe_unused]] auto n = write(wake[1], &b, 1);
    }
  }

  std::string Banner() const {
    std::string version = opts.firmwareVersion;
    std::replace(version.begin(), version.end(), '>', ' ');
    std::string text;
    if (opts.faults.optionBytesBeforeBanner) text += kOptionBytes;
    text += "\r\n\r\nADSL Router, firmware " + version + "\r\n\r\n";
    text += kPasswordRequest;
    return text;
  }

  void Greet(Conn& c) {
    c.phase = Phase::Login;
    if (!Silenced()) c.out += Banner();
  }

  bool Silenced() const {
    return opts.faults.silenceAfterLines >= 0 && linesReceived > opts.faults.silenceAfterLines;
  }

  void HandleLine(Conn& c, const std::string& line) {
    Record(line);
    ++linesReceived;
    if (Silenced()) return;
    if (c.phase == Phase::Held) return;  // still booting: typed-ahead text is lost
    if (c.phase == Phase::Login) {
      if (WithoutLineEnd(line) == router.password) {
        c.phase = Phase::Command;
        c.out += std::string("\r\n\r\n") + kPrompt;
      } else if (++c.failures >= kMaxLoginFailures) {
        c.out += "\r\nLogin incorrect\r\nToo many failures, goodbye\r\n";
        c.closing = true;
      } else {
        c.out += std::string("\r\nLogin incorrect\r\n\r\n") + kPasswordRequest;
      }
      return;
    }

    current = &c;
    std::string output = table.Dispatch(router, *this, clock.Now(), arrival, line);
    current = nullptr;

    const FaultOptions& f = opts.faults;
    if (f.padReplyTo > 0) PadTo(output, f.padReplyTo);
    if (f.zeroByteInReply) output.insert(output.size() / 2, 1, '\0');
    std::string reply = f.echoWithoutLineEnd ? WithoutLineEnd(line) : line;
    reply += output;
    // A session that ends with this command gets no prompt.
    if (!c.closing) reply += kPrompt;
    if (f.dropMidReplyAfterLines >= 0 && !dropMidDone && linesReceived > f.dropMidReplyAfterLines) {
      dropMidDone = true;
      reply.resize(reply.size() / 2);
      c.closing = true;
    }
    c.out += reply;
  }

  void ReadFrom(Conn& c) {
    char buf[4096];
    ssize_t n = recv(c.fd, buf, sizeof buf, 0);
    if (n <= 0) {
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
      c.closing = true;
      c.out.clear();
      return;
    }
    c.in.append(buf, static_cast<std::size_t>(n));
    // A line end that never comes must not grow the buffer without bound.
    if (c.in.size() > kMaxLine && c.in.find('\n') == std::string::npos) {
      c.out = "\r\nError: line too long\r\n";
      c.in.clear();
      c.closing = true;
      return;
    }
    std::size_t nl;
    while (!c.closing && (nl = c.in.find('\n')) != std::string::npos) {
      std::string line = c.in.substr(0, nl + 1);
      c.in.erase(0, nl + 1);
      HandleLine(c, line);
    }
  }

  // Returns false when the connection failed.
  bool Flush(Conn& c) {
    while (!c.out.empty()) {
      std::size_t size = c.out.size();
      if (opts.faults.chunkSize > 0)
        size = std::min(size, static_cast<std::size_t>(opts.faults.chunkSize));
      ssize_t n = send(c.fd, c.out.data(), size, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
        return false;
      }
      c.out.erase(0, static_cast<std::size_t>(n));
      // One piece per turn of the loop, so that the pieces arrive apart.
      if (opts.faults.chunkSize > 0) return true;
    }
    return true;
  }

  void Accept() {
    while (true) {
      int fd = accept(listenFd, nullptr, nullptr);
      if (fd < 0) return;
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      Conn c;
      c.fd = fd;
      conns.push_back(std::move(c));
      if (clock.Now() < downUntil)
        conns.back().phase = Phase::Held;
      else
        Greet(conns.back());
    }
  }

  void Serve() {
    std::vector<pollfd> fds;
    while (!stopping.load()) {
      bool pacing = false;
      fds.clear();
      fds.push_back({wake[0], POLLIN, 0});
      fds.push_back({listenFd, POLLIN, 0});
      {
        std::lock_guard<std::mutex> lock(mu);
        for (const Conn& c : conns) {
          short ev = c.closing ? 0 : POLLIN;
          if (!c.out.empty()) ev |= POLLOUT;
          if (!c.out.empty() && opts.faults.chunkSize > 0) pacing = true;
          fds.push_back({c.fd, ev, 0});
        }
      }
      // Short turns: the clock may be virtual and jump, and held sessions must notice.
      int n = poll(fds.data(), fds.size(), pacing ? 1 : 10);

      if (n < 0 && errno != EINTR) break;
      if (fds[0].revents & POLLIN) {
        char drain[64];
        while (read(wake[0], drain, sizeof drain) > 0) {
        }
      }
      if (pacing) std::this_thread::sleep_for(std::chrono::microseconds(500));

      std::lock_guard<std::mutex> lock(mu);
      if (n == 0)
        Quiet();
      else
        StampArrival();
      // Read before accepting: a client that sent "restart" or "batch execute" and then
      // connected again must find its new session after the old one was dropped.
      for (std::size_t i = 0; i < conns.size() && i + 2 < fds.size(); ++i) {
        if (conns[i].fd != fds[i + 2].fd) continue;
        if (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) {
          if (!conns[i].closing) ReadFrom(conns[i]);
        }
      }
      for (Conn& c : conns) {
        if (!c.out.empty() && !Flush(c)) {
          c.out.clear();
          c.closing = true;
        }
      }
      for (auto it = conns.begin(); it != conns.end();) {
        if (it->closing && it->out.empty()) {
          shutdown(it->fd, SHUT_RDWR);
          close(it->fd);
          it = conns.erase(it);
        } else {
          ++it;
        }
      }
      if (fds[1].revents & POLLIN) Accept();
      if (clock.Now() >= downUntil) {
        for (Conn& c : conns)
          if (c.phase == Phase::Held) Greet(c);
      }
    }
  }

  void CloseAll() {
    std::lock_guard<std::mutex> lock(mu);
    for (Conn& c : conns) close(c.fd);
    conns.clear();
    if (listenFd >= 0) close(listenFd);
    listenFd = -1;
    for (int& fd : wake) {
      if (fd >= 0) close(fd);
      fd = -1;
    }
  }
};

Simulator::Simulator(Options options, Clock& clock)
    : impl_(std::make_unique<Impl>(std::move(options), clock)) {
  Impl& s = *impl_;
  s.startTime = clock.Now();
  s.Quiet();
  s.router = FactoryRouter(s.opts.password, s.opts.firmwareVersion, s.startTime);
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
  Impl& s = *impl_;
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    s.CloseAll();
    return false;
  };
  if (s.running) return fail("already running");
  in_addr addr{};
  if (!ParseLoopback(s.opts.listenAddress, &addr))
    return fail("refusing to listen on " + s.opts.listenAddress +
                ": only loopback addresses (127.0.0.0/8) are allowed");

  {
    std::lock_guard<std::mutex> lock(s.mu);
    Millis now = s.clock.Now();
    s.startTime = now;
    if (!s.opts.stateFile.empty()) {
      std::ifstream f(s.opts.stateFile);
      if (f) {
        std::vector<std::string> saved;
        std::string line;
        while (std::getline(f, line)) {
          line = WithoutLineEnd(line);
          if (!TrimBlanks(line).empty()) saved.push_back(line);
        }
        s.LoadSaved(saved, now);
      }
    }
    if (!s.opts.transcriptFile.empty()) {
      s.transcriptFile.open(s.opts.transcriptFile, std::ios::app);
      if (!s.transcriptFile) return fail("cannot open transcript file " + s.opts.transcriptFile);
    }
  }

  if (pipe(s.wake) != 0) return fail(std::string("pipe: ") + strerror(errno));
  for (int fd : s.wake) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  s.listenFd = socket(AF_INET, SOCK_STREAM, 0);
  if (s.listenFd < 0) return fail(std::string("socket: ") + strerror(errno));
  int one = 1;
  setsockopt(s.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr = addr;
  sa.sin_port = htons(s.opts.port);
  if (bind(s.listenFd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
    return fail("cannot listen on " + s.opts.listenAddress + ":" + std::to_string(s.opts.port) +
                ": " + strerror(errno));
  if (listen(s.listenFd, 16) != 0) return fail(std::string("listen: ") + strerror(errno));
  socklen_t len = sizeof sa;
  getsockname(s.listenFd, reinterpret_cast<sockaddr*>(&sa), &len);
  s.port = ntohs(sa.sin_port);
  fcntl(s.listenFd, F_SETFL, fcntl(s.listenFd, F_GETFL) | O_NONBLOCK);

  s.stopping = false;
  s.running = true;
  s.thread = std::thread([&s] { s.Serve(); });
  return true;
}

void Simulator::Stop() {
  Impl& s = *impl_;
  if (!s.running) return;
  s.stopping = true;
  s.Wake();
  if (s.thread.joinable()) s.thread.join();
  s.CloseAll();
  {
    std::lock_guard<std::mutex> lock(s.stopMu);
    s.running = false;
  }
  s.stopped.notify_all();
}

void Simulator::Wait() {
  Impl& s = *impl_;
  std::unique_lock<std::mutex> lock(s.stopMu);
  s.stopped.wait(lock, [&s] { return !s.running; });
}

std::uint16_t Simulator::Port() const { return impl_->port; }

std::string Simulator::Address() const {
  std::string host =
      impl_->opts.listenAddress == "localhost" ? "127.0.0.1" : impl_->opts.listenAddress;
  return host + ":" + std::to_string(impl_->port);
}

std::vector<TranscriptLine> Simulator::Transcript() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return impl_->transcript;
}

std::vector<std::string> Simulator::TranscriptLines() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  std::vector<std::string> lines;
  for (const auto& t : impl_->transcript) lines.push_back(t.line);
  return lines;
}

void Simulator::ClearTranscript() {
  std::lock_guard<std::mutex> lock(impl_->mu);
  impl_->transcript.clear();
}

std::string Simulator::RunCommand(const std::string& line) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  impl_->Quiet();
  return impl_->Run(line);
}

Options& Simulator::options() { return impl_->opts; }

}  // namespace tarnwick::routersim
