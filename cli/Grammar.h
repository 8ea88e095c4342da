// The console's command line: tarnwick-cli [OPTIONS] HOST COMMAND...
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "channel/Clock.h"

namespace tarnwick {

struct DslOptions {
  long everySeconds = 0;
  long count = 0;  // 0: until stopped
  std::string csvPath;
  std::string svgPath;
};

struct Invocation {
  enum class Command { Lines, Show, Dsl, Save, Diff, Apply, Help, Version };
  Command command = Command::Lines;
  std::string host;
  long port = 0;  // 0: the telnet port
  Millis timeoutMs = 5000;
  std::string logPath;
  Pace pace = Pace::Program;
  std::vector<std::string> lines;  // Lines: router command lines
  std::string page;                // Show: a page's name or "all"
  bool json = false;
  DslOptions dsl;
  std::string file;  // Save, Diff, Apply: the settings file
  bool secrets = true;
  bool dryRun = false;
  bool yes = false;

  // host[:port] as the channel takes it.
  std::string Address() const;
};

// The words after the program's name: an invocation, or what is wrong with them. COMMAND is
// router lines, "show PAGE [--json]", "dsl [DSL OPTIONS]", "save FILE [--no-secrets]",
// "diff FILE [--json]" or "apply FILE [--dry-run] [--yes] [--json]"; "dsl [OPTIONS] HOST"
// (the dsl options and the host in any order) is taken too.
std::variant<Invocation, std::string> ParseCommandLine(const std::vector<std::string>& words);

// What --help prints.
std::string UsageText();

}  // namespace tarnwick
