// What a simulated router is started with: addresses, timings and the faults to inject.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
  // Loopback only; others are refused. The router's LAN device sits at this address, and
  // the listener follows the LAN device to any other loopback address it is given.
  std::string listenAddress = "127.0.0.1";
  std::uint16_t port = 2323;  // 0: any free port
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
  // The trained line's figures wander over this period: the noise margins dip and the
  // rates step down with them, then recover. 0 keeps them as trained.
  Millis dslDriftPeriodMs = 10 * 60 * 1000;
  // Times from the start at which the line drops, as after a burst of noise, and retrains
  // (for retrainMs). A line that is down or training then is left alone.
  std::vector<Millis> dslDropsAtMs;
  // Starts set up in a WAN protocol instead of as shipped (PresetNames() lists them); it is
  // then the saved configuration too. A state file that exists takes precedence.
  std::string preset;
  // Not 0: the command line is a line-buffered CLI on a cooked terminal, as a telnet daemon
  // that runs the CLI on a terminal of its own serves it. The terminal echoes each line as it
  // arrives; the CLI takes the lines one at a time and prints each one's output and prompt
  // this long after it starts on it.
  Millis cookedTerminalMs = 0;
  // Each connection opens as with a telnet daemon (TelnetServerSide::kOpening) instead of
  // waiting for the client to speak telnet first; the program takes those bytes as text.
  bool negotiate = false;
  // Messages for whoever runs the router, such as a LAN address the listener cannot follow.
  std::function<void(const std::string&)> notice;
  FaultOptions faults;
};

struct TranscriptLine {
  Millis time;       // on the simulator's clock
  std::string line;  // as received, line end included
};

}  // namespace tarnwick::routersim
