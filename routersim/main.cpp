// tarnwick-routersim: a router to run Tarnwick against when none is at hand.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "routersim/Presets.h"
#include "routersim/Simulator.h"

using tarnwick::routersim::Options;

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

const char kUsage[] =
    "usage: tarnwick-routersim [options]\n"
    "A simulated ADSL router with a telnet command line, for loopback use only.\n"
    "\n"
    "  --listen ADDR            address to listen on (127.0.0.0/8 only; default 127.0.0.1);\n"
    "                           the router's LAN address, which the listener then follows\n"
    "                           to other loopback addresses (a saved one included)\n"
    "  --port N                 TCP port (default 2323; 23 needs privileges; 0: any free)\n"
    "  --password TEXT          log-in password (default admin)\n"
    "  --state-file FILE        saved configuration, written by \"config save\"\n"
    "  --firmware VERSION       firmware version to report (default 3.12.0)\n"
    "  --transcript FILE        append every received line with its time\n"
    "  --restart-down-ms N      unreachable this long after \"restart\" (default 4000)\n"
    "  --retrain-ms N           line idle this long after \" bsp up\" (default 8000)\n"
    "  --dsl-drift SECONDS      period over which the line's noise margins dip and its\n"
    "                           rates step down and recover (default 600; 0: steady)\n"
    "  --dsl-drop-at SECONDS    drop the line this long after the start and retrain it\n"
    "                           (for --retrain-ms); may be given several times\n"
    "  --preset NAME            start set up in a WAN protocol: bridged, routed, ipoa,\n"
    "                           pppoa, pppoe, transparent, or mixed (several PVCs);\n"
    "                           an existing state file takes precedence\n"
    "  --negotiate              open each connection as a telnet daemon does (offer to\n"
    "                           echo and to suppress go-aheads), so that a telnet client\n"
    "                           sends each key and hides the password; otherwise telnet\n"
    "                           is spoken only to clients that speak it first\n"
    "  --cooked-terminal MS     answer as a line-buffered CLI on a cooked terminal: each\n"
    "                           line is echoed as it arrives, its output and prompt\n"
    "                           follow MS later (the CLI takes one line at a time)\n"
    "\n"
    "Faults (lines are counted over the whole run, passwords included):\n"
    "  --silence-after N        answer nothing once N lines were received\n"
    "  --chunk N                send replies in pieces of N bytes\n"
    "  --drop-mid-reply N       once N lines were received, cut the next reply in half\n"
    "                           and close the connection (once)\n"
    "  --echo-without-line-end  echo commands without their \"\\r\\n\"\n"
    "  --option-bytes           send telnet option negotiation before the banner\n"
    "  --zero-byte              put a NUL byte in the middle of every command's output\n"
    "  --pad-reply N            pad every command's output with filler to N bytes\n"
    "  --help                   show this text\n";

bool ToInt(const char* text, long min, long max, long* out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tarnwick-routersim: %s needs %s\n", arg.c_str(), what);
        std::exit(2);
      }
      return argv[++i];
    };
    auto number = [&](long min, long max) {
      const char* text = value("a number");
      long v = 0;
      if (!ToInt(text, min, max, &v)) {
        std::fprintf(stderr, "tarnwick-routersim: %s: bad number %s\n", arg.c_str(), text);
        std::exit(2);
      }
      return v;
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--listen") {
      o.listenAddress = value("an address");
    } else if (arg == "--port") {
      o.port = static_cast<std::uint16_t>(number(0, 65535));
    } else if (arg == "--password") {
      o.password = value("a password");
    } else if (arg == "--state-file") {
      o.stateFile = value("a file");
    } else if (arg == "--firmware") {
      o.firmwareVersion = value("a version");
    } else if (arg == "--transcript") {
      o.transcriptFile = value("a file");
    } else if (arg == "--restart-down-ms") {
      o.restartDownMs = static_cast<int>(number(0, 600000));
    } else if (arg == "--retrain-ms") {
      o.retrainMs = static_cast<int>(number(0, 600000));
    } else if (arg == "--dsl-drift") {
      o.dslDriftPeriodMs = number(0, 7L * 24 * 3600) * 1000;
    } else if (arg == "--dsl-drop-at") {
      o.dslDropsAtMs.push_back(number(0, 365L * 24 * 3600) * 1000);
    } else if (arg == "--preset") {
      o.preset = value("a preset name");
      const auto& names = tarnwick::routersim::PresetNames();
      if (std::find(names.begin(), names.end(), o.preset) == names.end()) {
        std::fprintf(stderr, "tarnwick-routersim: unknown preset %s (try --help)\n",
                     o.preset.c_str());
        return 2;
      }
    } else if (arg == "--negotiate") {
      o.negotiate = true;
    } else if (arg == "--cooked-terminal") {
      o.cookedTerminalMs = number(1, 600000);
    } else if (arg == "--silence-after") {
      o.faults.silenceAfterLines = static_cast<int>(number(0, 1000000));
    } else if (arg == "--chunk") {
      o.faults.chunkSize = static_cast<int>(number(1, 1 << 20));
    } else if (arg == "--drop-mid-reply") {
      o.faults.dropMidReplyAfterLines = static_cast<int>(number(0, 1000000));
    } else if (arg == "--echo-without-line-end") {
      o.faults.echoWithoutLineEnd = true;
    } else if (arg == "--option-bytes") {
      o.faults.optionBytesBeforeBanner = true;
    } else if (arg == "--zero-byte") {
      o.faults.zeroByteInReply = true;
    } else if (arg == "--pad-reply") {
      o.faults.padReplyTo = static_cast<std::size_t>(number(0, 1L << 30));
    } else {
      std::fprintf(stderr, "tarnwick-routersim: unknown option %s (try --help)\n", arg.c_str());
      return 2;
    }
  }

  o.notice = [](const std::string& text) {
    std::fprintf(stderr, "tarnwick-routersim: %s\n", text.c_str());
  };
  tarnwick::SteadyClock clock;
  tarnwick::routersim::Simulator sim(o, clock);
  std::string error;
  if (!sim.Start(&error)) {
    std::fprintf(stderr, "tarnwick-routersim: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("tarnwick-routersim listening on %s (password %s)\n", sim.Address().c_str(),
              o.password.c_str());
  std::fflush(stdout);
  while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sim.Stop();
  return 0;
}
