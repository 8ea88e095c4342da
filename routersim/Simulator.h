// The simulated router as a whole: its state and its telnet service on loopback.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "routersim/Options.h"

namespace tarnwick::routersim {

class Simulator {
 public:
  Simulator(Options options, Clock& clock);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Binds and starts serving on a thread of its own. False with *error set on failure.
  bool Start(std::string* error = nullptr);
  void Stop();
  // Blocks serving until Stop (for the program).
  void Wait();

  std::uint16_t Port() const;
  // "address:port", ready for CommandChannel::RouterAddress.
  std::string Address() const;

  std::vector<TranscriptLine> Transcript() const;
  std::vector<std::string> TranscriptLines() const;
  void ClearTranscript();

  // Runs one command line on the router state as if typed after log-in, without a
  // connection; returns its output (without echo and prompt). For test set-up.
  std::string RunCommand(const std::string& line);

  Options& options();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick::routersim
