// The console's one grammar, its older dsl order, and what it refuses.
#include "cli/Grammar.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "app/PageReading.h"

namespace tarnwick {
namespace {

// An invocation as one line: what differs between the cases at a glance.
std::string Summary(const Invocation& in) {
  static const char* kCommands[] = {"lines", "show",  "dsl",  "save",
                                    "diff",  "apply", "help", "version"};
  std::string out = std::string(kCommands[static_cast<int>(in.command)]) + " " + in.Address() +
                    " timeout=" + std::to_string(in.timeoutMs) + " log=" + in.logPath;
  for (const std::string& line : in.lines) out += " [" + line + "]";
  if (in.command == Invocation::Command::Show) out += " " + in.page + (in.json ? " json" : "");
  if (!in.file.empty())
    out += " " + in.file + (in.secrets ? "" : " no-secrets") + (in.json ? " json" : "") +
           (in.dryRun ? " dry-run" : "") + (in.yes ? " yes" : "");
  if (in.command == Invocation::Command::Dsl)
    out += " every=" + std::to_string(in.dsl.everySeconds) +
           " count=" + std::to_string(in.dsl.count) + " csv=" + in.dsl.csvPath +
           " svg=" + in.dsl.svgPath;
  if (in.pace == Pace::Fast) out += " fast";
  return out;
}

TEST(Grammar, TakesOptionsHostAndCommandInOneOrderAndTheOlderDslOrder) {
  std::string pages;  // every registered page, as the refusal names them
  for (const std::string& name : ShowPageNames()) pages += (pages.empty() ? "" : ", ") + name;
  struct Case {
    std::vector<std::string> words;
    std::string expected;  // the summary, or the problem
  };
  const Case cases[] = {
      {{"--port", "2323", "10.0.0.1", "ip route", "version"},
       "lines 10.0.0.1:2323 timeout=5000 log= [ip route] [version]"},
      {{"--timeout", "900", "--log", "r.log", "h", "show", "dsl", "--json"},
       "show h timeout=900 log=r.log dsl json"},
      {{"h", "show", "--json", "all"}, "show h timeout=5000 log= all json"},
      {{"--port", "2", "h", "dsl", "--every", "60", "--csv", "a.csv"},
       "dsl h:2 timeout=5000 log= every=60 count=0 csv=a.csv svg="},
      // The older order: the dsl options and the host mixed.
      {{"dsl", "--port", "2", "--every", "1", "--count", "3", "--csv", "a.csv", "h", "--svg",
        "b.svg"},
       "dsl h:2 timeout=5000 log= every=1 count=3 csv=a.csv svg=b.svg"},
      {{"--", "--odd-host", "version"}, "lines --odd-host timeout=5000 log= [version]"},
      {{"h", "save", "a.json", "--no-secrets"}, "save h timeout=5000 log= a.json no-secrets"},
      {{"--pace", "fast", "h", "apply", "a.json"}, "apply h timeout=5000 log= a.json fast"},
      {{"dsl", "--every", "1", "--pace", "fast", "--csv", "a.csv", "h"},
       "dsl h timeout=5000 log= every=1 count=0 csv=a.csv svg= fast"},
      {{"--pace", "slow", "h", "version"}, "bad pace (program or fast)"},
      {{"h", "apply", "--yes", "a.json", "--dry-run"},
       "apply h timeout=5000 log= a.json dry-run yes"},
      {{"h", "diff", "a.json", "--yes"}, "diff does not take --yes"},
      {{"h", "apply"}, "apply needs a FILE"},
      {{"--help", "h"}, "help  timeout=5000 log="},
      {{"--version"}, "version  timeout=5000 log="},
      {{"h"}, "HOST and at least one COMMAND are needed"},
      {{"--port", "0", "h", "version"}, "bad port"},
      {{"--timeout"}, "missing value"},
      {{"--bogus", "h", "version"}, "unknown option --bogus"},
      {{"h", "show", "everything"}, "show needs a page: " + pages + " or all"},
      {{"h", "show", "line", "dsl"}, "show takes one page"},
      {{"h", "dsl", "--csv", "a.csv"}, "--every SECONDS is needed"},
      {{"h", "dsl", "--every", "1", "--csv", "a.csv", "other"},
       "dsl takes no further words: other"},
      {{"dsl", "--every", "1", "--csv", "a.csv"}, "HOST is needed"},
      {{"dsl", "--every", "1", "--csv", "a.csv", "h", "g"}, "one HOST only"},
      {{"dsl", "--every", "0", "--csv", "a.csv", "h"}, "bad --every"},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseCommandLine(c.words);
    const std::string got = std::holds_alternative<Invocation>(parsed)
                                ? Summary(std::get<Invocation>(parsed))
                                : std::get<std::string>(parsed);
    EXPECT_EQ(got, c.expected) << c.words.front();
  }
}

}  // namespace
}  // namespace tarnwick
