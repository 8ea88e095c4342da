#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "channel/Clock.h"

namespace tarnwick::routersim {

// Faults a test can switch on; all off by default. Lines are counted over the whole run,
// every session's password line included. Change them before the sessions they concern.
struct FaultOptions {
  int silenceAfterLines = -1;       // after N received lines, never answer again (-1 off)
  int chunkSize = 0;                // send replies in pieces of N bytes (0 off)
  int dropMidReplyAfterLines = -1;  // after N lines, cut the next reply in half and close (once)
  bool echoWithoutLineEnd = false;  // echo "cmd" instead of "cmd\r\n"
  bool optionBytesBeforeBanner = false;  // telnet IAC negotiation bytes before the banner
  bool zeroByteInReply = false;          // a NUL byte in the middle of each command's output
  std::size_t padReplyTo = 0;            // pad each command's output with filler lines to N bytes
};

struct Options {
  std::string listenAddress = "127.0.0.1";  // loopback only; others are refused
  std::uint16_t port = 2323;                // 0: any free port
  std::string password = "admin";
  std::string stateFile;  // saved configuration; empty: kept in memory
  std::string firmwareVersion = "3.12.0";
  std::string transcriptFile;  // every received line with its time
  // After "restart" new sessions are held silent this long (counted from the arrival of
  // the line), then greeted; the sessions open at the restart are dropped.
  int restartDownMs = 4000;
  // Line idle this long after " bsp up": longer than one 3 s monitoring period, as on a
  // real line, so that the refresh after a retrain sees it down.
  int retrainMs = 8000;
  FaultOptions faults;
};

struct TranscriptLine {
  Millis time;       // on the simulator's clock
  std::string line;  // as received, line end included
};

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
