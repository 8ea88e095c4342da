// tarnwick-cli dsl as a user runs it, against the simulator on loopback.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "channel/Clock.h"
#include "monitor/LinePlot.h"
#include "routersim/Simulator.h"
#include "support/Csv.h"
#include "support/Xml.h"

extern char** environ;

namespace tarnwick {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class DslCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char directory[] = "/tmp/tarnwick-dsl-cli-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    dir = directory;
    routersim::Options options;
    options.port = 0;
    simulator = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    ASSERT_TRUE(simulator->Start(&error)) << error;
  }
  void TearDown() override {
    simulator->Stop();
    std::system(("rm -rf '" + dir + "'").c_str());
  }

  // Starts "tarnwick-cli dsl ARGS... 127.0.0.1" with the password in its environment.
  pid_t Start(const std::vector<std::string>& args) {
    std::vector<std::string> words = {TARNWICK_CLI_PATH, "dsl", "--port",
                                      std::to_string(simulator->Port())};
    words.insert(words.end(), args.begin(), args.end());
    words.push_back("127.0.0.1");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = {"TARNWICK_PASSWORD=admin"};
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (dir + "/err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, TARNWICK_CLI_PATH, &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  static int Status(pid_t pid) {
    int raw = 0;
    if (waitpid(pid, &raw, 0) != pid) return -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::vector<std::vector<std::string>> Rows() const {
    std::vector<std::vector<std::string>> rows;
    EXPECT_TRUE(testing::ParseCsv(Slurp(csv), rows));
    return rows;
  }
  // Points of the downstream noise margin in the plot written.
  std::size_t PlottedSamples() const {
    std::vector<testing::XmlElement> elements;
    std::string error;
    EXPECT_TRUE(testing::ParseXml(Slurp(svg), elements, error)) << error;
    std::size_t points = 0;
    for (const auto& e : elements) {
      auto cls = e.attributes.find("class");
      if (cls == e.attributes.end() || cls->second.find(kDownMarginSeries) == std::string::npos)
        continue;
      if (e.name == "circle") ++points;
      if (e.name == "polyline") {
        std::istringstream in(e.attributes.at("points"));
        for (std::string pair; in >> pair;) ++points;
      }
    }
    return points;
  }

  SteadyClock clock;
  std::unique_ptr<routersim::Simulator> simulator;
  std::string dir;
  std::string csv = "/nonexistent";
  std::string svg = "/nonexistent";
};

// Milliseconds into the day of an ISO 8601 time.
long DayMillis(const std::string& iso) {
  return ((std::stol(iso.substr(11, 2)) * 60 + std::stol(iso.substr(14, 2))) * 60 +
          std::stol(iso.substr(17, 2))) *
             1000 +
         std::stol(iso.substr(20, 3));
}

TEST_F(DslCli, WritesARowPerPollStartToStartAndThePlotAtTheEnd) {
  csv = dir + "/line.csv";
  svg = dir + "/line.svg";
  EXPECT_EQ(Status(Start({"--every", "1", "--count", "3", "--csv", csv, "--svg", svg})), 0)
      << Slurp(dir + "/err");
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0][0], "time");
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 17u);
    EXPECT_EQ(rows[i][1], "Alive");
    if (i > 1) {
      EXPECT_NEAR(DayMillis(rows[i][0]) - DayMillis(rows[i - 1][0]), 1000, 150) << i;
    }
  }
  EXPECT_EQ(PlottedSamples(), 3u);
}

TEST_F(DslCli, CtrlCStillWritesThePlotAndExitsZero) {
  csv = dir + "/line.csv";
  svg = dir + "/line.svg";
  const pid_t pid = Start({"--every", "1", "--csv", csv, "--svg", svg});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (Rows().size() < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(kill(pid, SIGINT), 0);
  EXPECT_EQ(Status(pid), 0) << Slurp(dir + "/err");
  EXPECT_EQ(PlottedSamples(), Rows().size() - 1);
}

TEST_F(DslCli, AnIncompleteCommandLineIsRefused) {
  const std::vector<std::vector<std::string>> cases = {
      {"--csv", dir + "/a.csv"},
      {"--every", "1"},
      {"--every", "0", "--csv", dir + "/a.csv"},
      {"--every", "1", "--csv", dir + "/a.csv", "--bogus", "1"},
  };
  for (const auto& args : cases) EXPECT_EQ(Status(Start(args)), 2) << args[0] << " " << args[1];
  EXPECT_EQ(Slurp(dir + "/a.csv"), "") << "nothing written";
}

}  // namespace
}  // namespace tarnwick
