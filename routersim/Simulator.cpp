// The simulator: a console (the router and its sessions) served on loopback by a server.
#include "routersim/Simulator.h"

#include <condition_variable>
#include <mutex>

#include "routersim/Console.h"
#include "routersim/Server.h"

namespace tarnwick::routersim {

struct Simulator::Impl {
  Impl(Options o, Clock& clock) : opts(std::move(o)), console(opts, clock), server(console, mu) {
    console.SetWake([this] { server.Wake(); });
  }

  Options opts;
  mutable std::mutex mu;  // the console and everything it holds
  Console console;
  Server server;
  bool running = false;
  std::mutex stopMu;
  std::condition_variable stopped;
};

Simulator::Simulator(Options options, Clock& clock)
    : impl_(std::make_unique<Impl>(std::move(options), clock)) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
  Impl& s = *impl_;
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    return false;
  };
  if (s.running) return fail("already running");
  if (!IsLoopbackAddress(s.opts.listenAddress))
    return fail("refusing to listen on " + s.opts.listenAddress +
                ": only loopback addresses (127.0.0.0/8) are allowed");
  // A saved configuration may have given the LAN another loopback address: it is reached
  // there, as a real router is after a reboot.
  std::string address = s.opts.listenAddress;
  {
    std::lock_guard<std::mutex> lock(s.mu);
    if (!s.console.Boot(error)) return false;
    std::string lan = s.console.router().LanAddress();
    if (IsLoopbackAddress(lan))
      address = lan;
    else if (!lan.empty())
      s.console.Notice("LAN address " + lan + " is outside loopback; listening on " + address);
  }
  if (!s.server.Start(address, s.opts.port, error)) return false;
  s.running = true;
  return true;
}

void Simulator::Stop() {
  Impl& s = *impl_;
  if (!s.running) return;
  s.server.Stop();
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

std::uint16_t Simulator::Port() const { return impl_->server.Port(); }

std::string Simulator::Address() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  std::string host = impl_->server.Host();
  if (host.empty())
    host = impl_->opts.listenAddress == "localhost" ? "127.0.0.1" : impl_->opts.listenAddress;
  return host + ":" + std::to_string(impl_->server.Port());
}

std::vector<TranscriptLine> Simulator::Transcript() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return impl_->console.transcript();
}

std::vector<std::string> Simulator::TranscriptLines() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  std::vector<std::string> lines;
  for (const auto& t : impl_->console.transcript()) lines.push_back(t.line);
  return lines;
}

void Simulator::ClearTranscript() {
  std::lock_guard<std::mutex> lock(impl_->mu);
  impl_->console.ClearTranscript();
}

std::string Simulator::RunCommand(const std::string& line) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return impl_->console.RunCommand(line);
}

Options& Simulator::options() { return impl_->opts; }

}  // namespace tarnwick::routersim
