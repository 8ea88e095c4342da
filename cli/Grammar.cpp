// The console's one grammar, and the older order of its dsl command.
#include "cli/Grammar.h"

#include <algorithm>
#include <cstdlib>

#include "app/PageReading.h"

namespace tarnwick {
namespace {

constexpr long kMaxTimeoutMs = 24L * 3600 * 1000;

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0' && value >= low && value <= high;
}

// Reads the option at words[i] (and its value) when it is one of the program's own; false
// when it is not. problem is set for a bad or missing value.
bool ProgramOption(const std::vector<std::string>& words, std::size_t& i, Invocation& out,
                   std::string& problem) {
  const std::string& option = words[i];
  if (option != "--port" && option != "--timeout" && option != "--log" && option != "--pace")
    return false;
  if (i + 1 >= words.size()) {
    problem = "missing value";
    return true;
  }
  const std::string& value = words[++i];
  long number = 0;
  if (option == "--port") {
    if (!ParseNumber(value, 1, 65535, out.port)) problem = "bad port";
  } else if (option == "--timeout") {
    if (ParseNumber(value, 0, kMaxTimeoutMs, number))
      out.timeoutMs = number;
    else
      problem = "bad timeout";
  } else if (option == "--pace") {
    if (value == "program")
      out.pace = Pace::Program;
    else if (value == "fast")
      out.pace = Pace::Fast;
    else
      problem = "bad pace (program or fast)";
  } else {
    out.logPath = value;
  }
  return true;
}

// The dsl command's own options; with takeHost, the older order's options and host as well.
std::string ParseDsl(const std::vector<std::string>& words, std::size_t from, bool takeHost,
                     Invocation& out) {
  out.command = Invocation::Command::Dsl;
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::string& option = words[i];
    if (option.rfind("--", 0) != 0) {
      if (!takeHost) return "dsl takes no further words: " + option;
      if (!out.host.empty()) return "one HOST only";
      out.host = option;
      continue;
    }
    std::string problem;
    if (takeHost && ProgramOption(words, i, out, problem)) {
      if (!problem.empty()) return problem;
      continue;
    }
    if (i + 1 >= words.size()) return "missing value";
    const std::string& value = words[++i];
    if (option == "--every") {
      if (!ParseNumber(value, 1, 24L * 3600, out.dsl.everySeconds)) return "bad --every";
    } else if (option == "--count") {
      if (!ParseNumber(value, 1, 1L << 30, out.dsl.count)) return "bad --count";
    } else if (option == "--csv") {
      out.dsl.csvPath = value;
    } else if (option == "--svg") {
      out.dsl.svgPath = value;
    } else {
      return "unknown option " + option;
    }
  }
  if (out.dsl.everySeconds == 0) return "--every SECONDS is needed";
  if (out.dsl.csvPath.empty()) return "--csv FILE is needed";
  if (out.host.empty()) return "HOST is needed";
  return {};
}

std::string ParseShow(const std::vector<std::string>& words, std::size_t from, Invocation& out) {
  out.command = Invocation::Command::Show;
  for (std::size_t i = from; i < words.size(); ++i) {
    if (words[i] == "--json")
      out.json = true;
    else if (out.page.empty())
      out.page = words[i];
    else
      return "show takes one page";
  }
  const std::vector<std::string> names = ShowPageNames();
  for (const std::string& name : names)
    if (out.page == name) return {};
  if (out.page == "all") return {};
  std::string known;
  for (const std::string& name : names) known += name + ", ";
  return "show needs a page: " + known.substr(0, known.size() - 2) + " or all";
}

// save, diff and apply: a file, then the flags each takes.
std::string ParseSettingsCommand(const std::vector<std::string>& words, std::size_t from,
                                 Invocation& out) {
  const std::string& command = words[from - 1];
  out.command = command == "save"   ? Invocation::Command::Save
                : command == "diff" ? Invocation::Command::Diff
                                    : Invocation::Command::Apply;
  const std::vector<std::string> flags =
      out.command == Invocation::Command::Save ? std::vector<std::string>{"--no-secrets"}
      : out.command == Invocation::Command::Diff
          ? std::vector<std::string>{"--json"}
          : std::vector<std::string>{"--dry-run", "--yes", "--json"};
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.rfind("--", 0) != 0) {
      if (!out.file.empty()) return command + " takes one FILE";
      out.file = word;
    } else if (std::find(flags.begin(), flags.end(), word) == flags.end()) {
      return command + " does not take " + word;
    }
    out.secrets = out.secrets && word != "--no-secrets";
    out.json = out.json || word == "--json";
    out.dryRun = out.dryRun || word == "--dry-run";
    out.yes = out.yes || word == "--yes";
  }
  if (out.file.empty()) return command + " needs a FILE";
  return {};
}

}  // namespace

std::string Invocation::Address() const { return port ? host + ":" + std::to_string(port) : host; }

std::variant<Invocation, std::string> ParseCommandLine(const std::vector<std::string>& words) {
  Invocation out;
  if (!words.empty() && words[0] == "dsl") {
    const std::string problem = ParseDsl(words, 1, true, out);
    if (!problem.empty()) return problem;
    return out;
  }
  std::size_t i = 0;
  for (; i < words.size() && words[i].rfind("--", 0) == 0; ++i) {
    if (words[i] == "--") {
      ++i;
      break;
    }
    if (words[i] == "--help" || words[i] == "--version") {
      Invocation asked;
      asked.command =
          words[i] == "--help" ? Invocation::Command::Help : Invocation::Command::Version;
      return asked;
    }
    std::string problem;
    if (!ProgramOption(words, i, out, problem)) return "unknown option " + words[i];
    if (!problem.empty()) return problem;
  }
  if (words.size() - i < 2) return std::string("HOST and at least one COMMAND are needed");
  out.host = words[i++];
  std::string problem;
  if (words[i] == "show")
    problem = ParseShow(words, i + 1, out);
  else if (words[i] == "dsl")
    problem = ParseDsl(words, i + 1, false, out);
  else if (words[i] == "save" || words[i] == "diff" || words[i] == "apply")
    problem = ParseSettingsCommand(words, i + 1, out);
  else
    out.lines.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
  if (!problem.empty()) return problem;
  return out;
}

std::string UsageText() {
  std::string pages;
  for (const std::string& name : ShowPageNames()) pages += name + "|";
  return "usage: tarnwick-cli [OPTIONS] HOST COMMAND...\n"
         "       tarnwick-cli [OPTIONS] HOST show " +
         pages +
         "all [--json]\n"
         "       tarnwick-cli [OPTIONS] HOST dsl --every SECONDS [--count N] --csv FILE "
         "[--svg FILE]\n"
         "       tarnwick-cli [OPTIONS] HOST save FILE [--no-secrets]\n"
         "       tarnwick-cli [OPTIONS] HOST diff FILE [--json]\n"
         "       tarnwick-cli [OPTIONS] HOST apply FILE [--dry-run] [--yes] [--json]\n"
         "OPTIONS: --port N (default 23), --timeout MS (each reply, default 5000), --log FILE,\n"
         "         --pace program|fast, --help, --version\n"
         "--pace fast: the router's pace instead of the program's: no fixed pause before a\n"
         "reply is read or at log-in, and each line whose answer is not read waits for its\n"
         "echo and prompt (bounded by --timeout); the same lines are sent. Default program.\n"
         "COMMAND: router command lines, each run and its reply written as it came.\n"
         "The password comes from TARNWICK_PASSWORD, else the first line of standard input.\n"
         "Exit status: 0 done, 1 a command failed or timed out (apply: a page refused or asked),\n"
         "2 log-in failed, a wrong command line or a refused file; diff: 0 same, 1 differs,\n"
         "2 could not read.\n";
}

}  // namespace tarnwick
