// Settings files against the in-process simulator: the round trip over its set-ups, the files
// refused before anything is sent, and a dry run's lines against the apply's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SettingsApply.h"
#include "app/SettingsFile.h"
#include "support/Golden.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

// A router the pages work on: the simulator in a set-up, a session logged in to it whose
// questions are answered Yes.
struct Router {
  explicit Router(const char* preset, const std::vector<std::string>& commands = {}) {
    routersim::Options options = testing::SimulatorWorld::Defaults();
    options.preset = preset;
    world.Start(&options);
    session.channel.RouterAddress = world.Address();
    session.channel.RouterPassword = world.Password();
    noted.answerQuestions = Answer::Yes;
    EXPECT_TRUE(session.router.Login());
    for (const std::string& command : commands) session.router.Ask(command + "\r\n", 5000);
  }
  SettingsFile Read() { return ReadSettings(session, "2026-01-01T00:00:00Z"); }
  ApplyReport Apply(const SettingsFile& file, bool dryRun = false) {
    return ApplySettings(session, noted, file, dryRun);
  }
  // What the router received since the mark, the log-ins and readings left out.
  std::vector<std::string> WritesSince(std::size_t mark) {
    std::vector<std::string> out;
    const std::vector<std::string> lines = world.Commands();
    for (std::size_t i = mark; i < lines.size(); ++i)
      if (!IsReading(lines[i])) out.push_back(lines[i]);
    return out;
  }
  static bool IsReading(const std::string& line) {
    for (const char* reading :
         {"ip route\r\n", "ip nat\r\n", "bridge device\r\n", "ip device\r\n", "ip subnet\r\n",
          "flashfs cat initppp\r\n", "ip ipatm pvc\r\n", "version\r\n", "ppp config\r\n",
          "dhcpserver config\r\n", "dnsrelay status\r\n", "nat inbound list\r\n",
          "snmp access list\r\n", "bsp channel\r\n", "bsp mode\r\n", "bsp line\r\n",
          "bun list channels\r\n"})
      if (line == reading) return true;
    return false;
  }

  testing::SimulatorWorld world;
  testing::RecordingUi ui;
  NotingUi noted{ui};
  testing::MemorySettings settings;
  Session session{world.Sockets(), world.clock, noted, settings};
};

const std::vector<std::string> kExtras = {
    "nat inbound add ppp_device 8080/tcp 192.168.1.10",
    "nat inbound add ppp_device 53/udp 192.168.1.11",
    "ip route add office 10.1.2.0 192.168.1.254 ff:ff:ff:0 1 0",
    "ip snmp access read pub2 10.0.0.5",
    "ip snmp access write ops",
    "dhcpserver config flush",
    "dhcpserver config add allow unknown-clients;",
    "dhcpserver config add subnet 127.0.0.0 netmask 255.255.255.0",
    "dhcpserver config add {",
    "dhcpserver config add range 127.0.0.100 127.0.0.199;",
    "dhcpserver config add option subnet-mask 255.255.255.0;",
    "dhcpserver config add option domain-name-servers 192.0.2.53,192.0.2.54;",
    "dhcpserver config add max-lease-time 86400;",
    "dhcpserver config add }",
    "dhcpserver config confirm",
    "bsp gdmt",
};

// Save A, bring another router to A, save B: B is A; bringing it to A again sends nothing.
TEST(SettingsFile, ARouterBroughtToAFileReadsBackAsTheFileAndAgainSendsNothing) {
  struct Case {
    const char* from;
    bool extras;
    const char* to;
  };
  const Case cases[] = {
      {"bridged", false, "pppoe"},    {"routed", false, "mixed"},
      {"ipoa", false, "transparent"}, {"pppoa", false, "routed"},
      {"pppoe", true, "mixed"},       {"transparent", false, "bridged"},
      {"mixed", false, "pppoe"},      {"mixed", true, "transparent"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + (c.extras ? " with extras" : "") + " onto " + c.to);
    SettingsFile a = Router(c.from, c.extras ? kExtras : std::vector<std::string>{}).Read();
    Router target(c.to);
    const ApplyReport first = target.Apply(a);
    EXPECT_FALSE(first.Stopped());
    EXPECT_TRUE(first.Changed());
    EXPECT_EQ(SettingsJson(target.Read(), true), SettingsJson(a, true));
    const std::size_t mark = target.world.Commands().size();
    const ApplyReport again = target.Apply(a);
    EXPECT_FALSE(again.Changed());
    EXPECT_EQ(target.WritesSince(mark), std::vector<std::string>{});
  }
}

// Refused before anything is sent: the file itself, or a value its page refuses.
TEST(SettingsFile, RefusedFilesSayWhereAndSendNothing) {
  Router router("pppoe");
  const std::string good = SettingsJson(router.Read(), true);
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    std::string text;
    std::string message;  // the file's fault, or the page's message
  };
  const Case cases[] = {
      {"{\n  \"format\": \"tarnwick-settings\",\n  \"version\": 1,,\n}",
       "not JSON (line 3, column 16): syntax error while parsing object key - unexpected ','; "
       "expected string literal"},
      {with("tarnwick-settings", "other"),
       "not a Tarnwick settings file (no \"format\": \"tarnwick-settings\")"},
      {with("\"version\": 1", "\"version\": 2"),
       "format version 2 is newer than this Tarnwick reads (1)"},
      {with("\"dsl\"", "\"wifi\""), "unknown page \"wifi\""},
      {with("\"Vci\"", "\"Vcx\""), "line: unknown setting \"Vcx\""},
      {with("\"Protocol\": 4", "\"Protocol\": \"4\""), "line.Protocol: a whole number is needed"},
      {with("\"AccessRight\": \"Read\"", "\"Access\": \"Read\""),
       "snmp.CommunityList[1]: \"AccessRight\" is missing"},
      {std::string(kMaxSettingsBytes + 1, ' '),
       "larger than 1 MiB: a settings file is a few kilobytes"},
      {with("\"Vpi\": \"8\"", "\"Vpi\": \"300\""), "Error in VPI."},
      {with("\"Password\": \"s3cret\"", "\"Password\": \"s3 cret\""),
       "The password may hold only printable characters, and no blanks."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const auto parsed = ParseSettings(c.text);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
      EXPECT_EQ(*problem, c.message);
      continue;
    }
    const std::size_t mark = router.world.Commands().size();
    const ApplyReport report = router.Apply(std::get<SettingsFile>(parsed));
    ASSERT_FALSE(report.pages.empty());
    EXPECT_EQ(report.pages.back().status, PageApply::Status::Refused);
    EXPECT_EQ(report.pages.back().message, c.message);
    EXPECT_EQ(router.WritesSince(mark), std::vector<std::string>{});
  }
}

// A dry run sends nothing and shows the very lines the apply then sends.
TEST(SettingsFile, ADryRunShowsTheLinesTheApplySends) {
  SettingsFile wanted = Router("pppoe", kExtras).Read();
  wanted.pages.erase(wanted.pages.begin(), wanted.pages.begin() + 2);  // keep the line as it is
  Router router("pppoe");
  std::size_t mark = router.world.Commands().size();
  const ApplyReport dry = router.Apply(wanted, true);
  EXPECT_EQ(router.WritesSince(mark), std::vector<std::string>{});
  std::vector<std::string> shown;
  for (const PageApply& page : dry.pages)
    shown.insert(shown.end(), page.lines.begin(), page.lines.end());
  EXPECT_GT(shown.size(), 10u);
  mark = router.world.Commands().size();
  router.Apply(wanted);
  EXPECT_EQ(router.WritesSince(mark), shown);
}

// The schema in docs/ is the one the descriptions give (TARNWICK_UPDATE_GOLDEN=1 rewrites it).
TEST(SettingsFile, TheDocumentedSchemaIsTheDescriptionsOwn) {
  testing::ExpectGoldenText(SettingsSchemaJson(), "../../docs/settings.schema.json");
}

}  // namespace
}  // namespace tarnwick
