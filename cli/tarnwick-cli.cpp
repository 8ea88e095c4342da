// tarnwick-cli [OPTIONS] HOST COMMAND...: logs in to the router and runs router lines, shows
// what a page of the program reads, or polls the DSL figures over time (cli/Grammar.h). The
// password comes from TARNWICK_PASSWORD, else the first line of standard input, so that it
// never shows in a process list.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "channel/Version.h"
#include "channel/WireLog.h"
#include "cli/ConsoleSession.h"
#include "cli/DslConsole.h"
#include "cli/Grammar.h"
#include "cli/SettingsCommands.h"
#include "cli/Show.h"
#include "ui/Router.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace tarnwick;

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

int Usage(const std::string& problem) {
  std::fprintf(stderr, "%s: %s\n%s", kProgramName, problem.c_str(), UsageText().c_str());
  return kConsoleLoginFailed;
}

std::string ReadPassword() {
  if (const char* fromEnvironment = std::getenv("TARNWICK_PASSWORD")) return fromEnvironment;
  std::string line;
  std::getline(std::cin, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Runs each line and writes its reply as collected; stops at the first that failed, since what
// follows may depend on it.
int RunLines(const Invocation& invocation, const ConsoleTarget& target, SocketFactory& sockets,
             Clock& clock, Ui& ui) {
  CommandChannel channel(sockets, clock, ui);
  channel.RouterAddress = target.address;
  channel.RouterPassword = target.password;
  channel.pace = target.pace;
  Router router(channel);
  if (!router.Login()) return kConsoleLoginFailed;
  int status = kConsoleDone;
  for (const std::string& line : invocation.lines) {
    std::string reply;
    if (!router.Ask(line + "\r\n", reply, invocation.timeoutMs)) {
      status = kConsoleCommandFailed;
      break;
    }
    std::fwrite(reply.data(), 1, reply.size(), stdout);
    std::fflush(stdout);
  }
  router.Drop();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* problem = std::get_if<std::string>(&parsed)) return Usage(*problem);
  const Invocation& invocation = std::get<Invocation>(parsed);
  if (invocation.command == Invocation::Command::Help) {
    std::fputs(UsageText().c_str(), stdout);
    return kConsoleDone;
  }
  if (invocation.command == Invocation::Command::Version) {
    std::printf("%s %s\n%s\n", kProgramName, TARNWICK_VERSION, TARNWICK_COPYRIGHT);
    return kConsoleDone;
  }

#ifdef _WIN32
  // Replies go out byte for byte: no line-end translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif

  ConsoleUi ui;
  if (!InitialiseSocketLayer()) {
    ui.Message(nullptr, "Unable to create a winsock connection\n", "Error", Buttons::Ok);
    return kConsoleLoginFailed;
  }
  SteadyClock clock;
  auto platformSockets = MakePlatformSocketFactory();
  std::unique_ptr<LogFile> log;
  if (!invocation.logPath.empty() && !(log = LogFile::Open(invocation.logPath, *platformSockets))) {
    std::fprintf(stderr, "%s: cannot open the log file %s\n", kProgramName,
                 invocation.logPath.c_str());
    return kConsoleLoginFailed;
  }
  SocketFactory& sockets = log ? log->sockets() : *platformSockets;
  ConsoleTarget target{invocation.Address(), ReadPassword(), invocation.timeoutMs, invocation.pace};

  switch (invocation.command) {
    case Invocation::Command::Show: {
      std::string out;
      const int status = RunShow(target, invocation.page, invocation.json, sockets, clock, ui, out);
      std::fwrite(out.data(), 1, out.size(), stdout);
      return status;
    }
    case Invocation::Command::Dsl:
      return RunDsl(target, invocation.host, invocation.dsl, sockets, clock, ui);
    case Invocation::Command::Save:
    case Invocation::Command::Diff:
    case Invocation::Command::Apply: {
      const SettingsRequest request{invocation.file, invocation.secrets, invocation.json,
                                    invocation.dryRun, invocation.yes};
      std::string out;
      const int status = invocation.command == Invocation::Command::Save
                             ? RunSave(target, request, sockets, clock, ui)
                         : invocation.command == Invocation::Command::Diff
                             ? RunDiff(target, request, sockets, clock, ui, out)
                             : RunApply(target, request, sockets, clock, ui, out);
      std::fwrite(out.data(), 1, out.size(), stdout);
      return status;
    }
    default:
      return RunLines(invocation, target, sockets, clock, ui);
  }
}
