// apply --json against the in-process simulator: each page it works carries the differences it
// acted on, the same as diff --json reports, so that a caller needs one reading, not two.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/SettingsCommands.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using json = nlohmann::ordered_json;

// A DHCP range and one SNMP community more than the pppoe set-up has.
const char kFile[] = R"js({"format": "tarnwick-settings", "version": 1,
  "dhcp": {"DhcpEnabled": 1, "NetworkId": "192.168.1.0", "SubnetMask": "255.255.255.0",
           "RangeStart": "192.168.1.100", "RangeEnd": "192.168.1.199"},
  "snmp": {"CommunityList": [
    {"AccessRight": "Write", "Community": "(log-in password)", "IpAddress": ""},
    {"AccessRight": "Read", "Community": "public", "IpAddress": ""},
    {"AccessRight": "Read", "Community": "ops", "IpAddress": "10.0.0.5"}]}})js";

struct SettingsCommandsSim : ::testing::Test {
  void SetUp() override {
    routersim::Options options;
    options.preset = "pppoe";
    world.Start(&options);
    std::string name = ::testing::TempDir() + "tarnwick-apply-json-XXXXXX";
    ::close(::mkstemp(name.data()));
    std::ofstream(path = name) << kFile;
  }
  void TearDown() override { std::remove(path.c_str()); }

  json Run(bool apply, bool dryRun, int expectedStatus) {
    const ConsoleTarget target{world.Address(), world.Password(), std::nullopt};
    const SettingsRequest request{path, true, true, dryRun, false};
    testing::RecordingUi ui;
    std::string out;
    const int status = apply ? RunApply(target, request, world.Sockets(), world.clock, ui, out)
                             : RunDiff(target, request, world.Sockets(), world.clock, ui, out);
    EXPECT_EQ(status, expectedStatus) << out;
    return json::parse(out);
  }

  int Saves() {
    const std::vector<std::string> lines = world.Commands();
    return int(std::count(lines.begin(), lines.end(), "config save\r\n"));
  }

  testing::SimulatorWorld world;
  std::string path;
};

TEST_F(SettingsCommandsSim, ApplyReportsTheDifferencesDiffShowsAndNoneOnceTheyAreGone) {
  const json diff = Run(false, false, kDiffDiffers);
  ASSERT_EQ(diff["pages"].size(), 2u);
  for (bool dryRun : {true, false}) {
    SCOPED_TRACE(dryRun ? "dry run" : "apply");
    const json report = Run(true, dryRun, kConsoleDone);
    EXPECT_EQ(report["changed"], true);
    // What a real apply changed is saved, so that it outlives the router's restart.
    EXPECT_EQ(report["saved"], !dryRun);
    EXPECT_EQ(Saves(), dryRun ? 0 : 1);
    ASSERT_EQ(report["pages"].size(), 2u);
    for (const json& page : report["pages"]) {
      const json& expected = diff["pages"][page["page"].get<std::string>()];
      EXPECT_EQ(page["status"], "applied");
      for (const char* part : {"values", "added", "removed"})
        EXPECT_EQ(page[part], expected[part]) << page["page"] << " " << part;
    }
  }
  const json again = Run(true, false, kConsoleDone);
  EXPECT_EQ(again["changed"], false);
  EXPECT_EQ(Saves(), 1);
  for (const json& page : again["pages"]) {
    EXPECT_EQ(page["status"], "unchanged");
    for (const char* part : {"values", "added", "removed"}) EXPECT_EQ(page[part], json::array());
  }
}

}  // namespace
}  // namespace tarnwick
