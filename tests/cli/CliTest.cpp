// The console client as a user runs it, against the simulator on loopback.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "channel/Clock.h"
#include "routersim/Simulator.h"

namespace tarnwick {
namespace {

using routersim::Options;
using routersim::Simulator;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// shellArguments are pasted into a shell line; the tests pass only plain words.
CliRun RunCli(const std::string& shellArguments, const std::string& stdinText,
              const char* environmentPassword) {
  char directory[] = "/tmp/tarnwick-cli-e2e-XXXXXX";
  if (!mkdtemp(directory)) return {};
  const std::string base = directory;
  { std::ofstream(base + "/in", std::ios::binary) << stdinText; }
  std::string line = environmentPassword
                         ? std::string("TARNWICK_PASSWORD=") + environmentPassword + " "
                         : std::string("unset TARNWICK_PASSWORD; ");
  line += std::string("'") + TARNWICK_CLI_PATH + "' " + shellArguments + " <'" + base + "/in' >'" +
          base + "/out' 2>'" + base + "/err'";
  CliRun run;
  int raw = std::system(line.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = Slurp(base + "/out");
  run.err = Slurp(base + "/err");
  std::system(("rm -rf '" + base + "'").c_str());
  return run;
}

class CliTest : public ::testing::Test {
 protected:
  void StartRouter(Options options = {}) {
    options.port = 0;
    simulator = std::make_unique<Simulator>(options, clock);
    std::string error;
    ASSERT_TRUE(simulator->Start(&error)) << error;
  }
  std::string Port() const { return std::to_string(simulator->Port()); }
  void TearDown() override {
    if (simulator) simulator->Stop();
  }

  SteadyClock clock;
  std::unique_ptr<Simulator> simulator;
};

TEST_F(CliTest, RunsEachCommandAndWritesItsReply) {
  StartRouter();
  CliRun run = RunCli("--port " + Port() + " 127.0.0.1 version 'bogus command'", "", "admin");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // Each reply runs from its echo to the prompt, exactly as the router sent it.
  std::size_t second = run.out.find("bogus command\r\n");
  ASSERT_NE(second, std::string::npos) << run.out;
  EXPECT_EQ(run.out.rfind("version\r\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("Version"), std::string::npos);
  EXPECT_EQ(run.out[second - 1], ' ');  // the first reply ended with its prompt "...> "
  auto lines = simulator->TranscriptLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "home \r\n"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "bogus command\r\n"), lines.end());
}

TEST_F(CliTest, ReadsThePasswordFromStandardInput) {
  Options options;
  options.password = "s3cret";
  StartRouter(options);
  CliRun run = RunCli("--port " + Port() + " 127.0.0.1 version", "s3cret\r\nignored\n", nullptr);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("version\r\n", 0), 0u);
}

TEST_F(CliTest, TimedOutCommandExitsWithOne) {
  Options options;
  options.faults.echoWithoutLineEnd = true;
  StartRouter(options);
  CliRun run = RunCli("--port " + Port() + " --timeout 300 127.0.0.1 version", "", "admin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Error: version\n");  // the command is the message
}

TEST_F(CliTest, UnreachableRouterShowsThePossibleErrorsAndExitsWithTwo) {
  StartRouter();
  std::string port = Port();
  simulator->Stop();
  simulator.reset();
  CliRun run = RunCli("--port " + port + " 127.0.0.1 version", "", "admin");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "Possible Errors: 1. Please check that the DSL Router is On .\n"
            "Possible Errors: 2. Check that the Ethernet cable is connected properly      "
            "between the Network Card and the DSL Router.\n"
            "Possible Errors: 3. Please check that the IP address of network card           "
            "belongs to the  same subnet of the  DSL Router .\n");
}

TEST_F(CliTest, ShowsAPageAndLogsTheSessionWithoutThePassword) {
  StartRouter();
  const std::string log = "/tmp/tarnwick-cli-e2e-" + Port() + ".log";
  std::remove(log.c_str());
  CliRun run =
      RunCli("--port " + Port() + " --log " + log + " 127.0.0.1 show snmp --json", "", "admin");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find(R"("Community": "********")"), std::string::npos) << run.out;

  const std::string text = Slurp(log);
  std::remove(log.c_str());
  EXPECT_EQ(text.find("admin"), std::string::npos) << text;
  EXPECT_NE(text.find("Z > ********\n"), std::string::npos) << text;
  std::istringstream lines(text);
  const std::regex shape(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z [<>*]( [ -~]*)?)");
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(std::regex_match(line, shape)) << line;
}

TEST_F(CliTest, RefusesAnUnknownPage) {
  CliRun run = RunCli("127.0.0.1 show everything", "", "admin");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("show needs a page"), std::string::npos) << run.err;
}

TEST_F(CliTest, RefusesToRunWithoutACommand) {
  CliRun run = RunCli("127.0.0.1", "", "admin");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("usage:"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
