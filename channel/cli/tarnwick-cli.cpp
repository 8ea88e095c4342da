// tarnwick-cli [--port N] [--timeout MS] [--log FILE] HOST COMMAND... | show PAGE [--json]
// Logs in to the router, runs each COMMAND and writes each reply to standard output as
// collected; or shows what a page of the program reads. The password comes from
// TARNWICK_PASSWORD, else the first line of standard input, so that it never shows in a
// process list. "tarnwick-cli dsl ..." polls the DSL figures over time instead
// (monitor/DslConsole.h).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/Show.h"
#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "channel/WireLog.h"
#include "monitor/DslConsole.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace tarnwick;

constexpr int kExitOk = 0;
constexpr int kExitCommandFailed = 1;
constexpr int kExitLoginFailed = 2;

const char kProgramName[] = "tarnwick-cli";

// Every channel message becomes one line on standard error.
class ConsoleUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    Line(caption.empty() ? kProgramName : caption, text);
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  void ShowPossibleErrors() override {
    const char* lines[] = {
        "1. Please check that the DSL Router is On .",
        "2. Check that the Ethernet cable is connected properly      between the Network Card "
        "and the DSL Router.",
        "3. Please check that the IP address of network card           belongs to the  same "
        "subnet of the  DSL Router .",
    };
    for (const char* line : lines) Line("Possible Errors", line);
  }
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}

 private:
  static void Line(const std::string& caption, std::string text) {
    // The channel's messages end with the command's own "\r\n"; a terminal line ends here.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
  }
};

int Usage(const char* problem) {
  std::fprintf(stderr,
               "%s: %s\nusage: %s [--port N] [--timeout MS] [--log FILE] HOST COMMAND...\n"
               "       %s [OPTIONS] HOST show line|pvc|routes|dhcp|nat|snmp|dsl|all [--json]\n",
               kProgramName, problem, kProgramName, kProgramName);
  return kExitLoginFailed;
}

bool ParseNumber(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

std::string ReadPassword() {
  if (const char* fromEnvironment = std::getenv("TARNWICK_PASSWORD")) return fromEnvironment;
  std::string line;
  std::getline(std::cin, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "dsl") == 0) {
    ConsoleUi ui;
    return RunDslConsole(argc - 1, argv + 1, ui, ReadPassword);
  }
  long port = 0;
  long timeoutMs = 5000;
  std::string logPath;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    std::string option = argv[i];
    if (option == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) return Usage("missing value");
    if (option == "--port") {
      if (!ParseNumber(argv[++i], 1, 65535, port)) return Usage("bad port");
    } else if (option == "--timeout") {
      if (!ParseNumber(argv[++i], 0, 24L * 3600 * 1000, timeoutMs)) return Usage("bad timeout");
    } else if (option == "--log") {
      logPath = argv[++i];
    } else {
      return Usage("unknown option");
    }
  }
  if (argc - i < 2) return Usage("HOST and at least one COMMAND are needed");
  std::string host = argv[i++];
  std::vector<std::string> commands(argv + i, argv + argc);
  ShowRequest show;
  const bool showing = commands.front() == "show";
  if (showing) {
    if (auto problem = ParseShowWords(commands, show)) return Usage(problem->c_str());
  }

#ifdef _WIN32
  // Replies go out byte for byte: no line-end translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif

  ConsoleUi ui;
  if (!InitialiseSocketLayer()) {
    ui.Message(nullptr, "Unable to create a winsock connection\n", "Error", Buttons::Ok);
    return kExitLoginFailed;
  }
  SteadyClock clock;
  auto platformSockets = MakePlatformSocketFactory();
  std::unique_ptr<LogFile> log;
  if (!logPath.empty() && !(log = LogFile::Open(logPath, *platformSockets))) {
    std::fprintf(stderr, "%s: cannot open the log file %s\n", kProgramName, logPath.c_str());
    return kExitLoginFailed;
  }
  SocketFactory& sockets = log ? log->sockets() : *platformSockets;
  const std::string address = port ? host + ":" + std::to_string(port) : host;

  if (showing) {
    show.routerAddress = address;
    show.password = ReadPassword();
    show.replyLimit = timeoutMs;
    std::string out;
    const int status = RunShow(show, sockets, clock, ui, out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
  }

  CommandChannel channel(sockets, clock, ui);
  channel.RouterAddress = address;
  channel.RouterPassword = ReadPassword();
  if (!channel.ConnectAndLogin()) return kExitLoginFailed;

  int status = kExitOk;
  for (const std::string& command : commands) {
    std::string reply;
    if (!channel.ExecuteCommand(command + "\r\n", reply, timeoutMs)) {
      status = kExitCommandFailed;
      break;  // what follows may depend on it
    }
    std::fwrite(reply.data(), 1, reply.size(), stdout);
    std::fflush(stdout);
  }
  channel.DropConnection();
  return status;
}
