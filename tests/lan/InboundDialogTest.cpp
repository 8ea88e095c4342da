// The NAT inbound dialog against canned replies: the listing scan and its collection, and the
// checks that keep a bad rule from being sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CINBOUND.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::array<std::string, 3>>;
using testing::CannedBench;

TEST(InboundScan, RowsOfTheListing) {
  struct Case {
    const char* name;
    std::string listing;
    Rows rows;
  };
  const std::string head = "nat inbound list\r\n(NATINBOUNDLIST):\r\n";
  const std::vector<Case> cases = {
      {"the longest interface name wins",
       head + "1: WANIPOA1 80/TCP 192.168.1.10\r\n",
       {{"wanIPOA1", "80/TCP", " 192.168.1.10"}}},
      {"upper-cased", head + "1: wan1 8080/udp 10.0.0.2\r\n", {{"wan1", "8080/UDP", " 10.0.0.2"}}},
      {"rule numbers of one to three digits",
       head + "9: WAN1 21/TCP 10.0.0.1\r\n10: PPP_DEVICE 22/TCP 10.0.0.2\r\n"
              "100: WANDEVICE 23/UDP 10.0.0.3 (active)\r\n",
       {{"wan1", "21/TCP", " 10.0.0.1"},
        {"ppp_device", "22/TCP", " 10.0.0.2"},
        {"wandevice", "23/UDP", " 10.0.0.3 "}}},
      {"R1483 after IPOA wins and cuts the line",
       head + "1: IPOA R1483 53/UDP 10.0.0.4\r\n",
       {{"r1483", "53/UDP", " 10.0.0.4"}}},
      {"no protocol: the rest is both port and address",
       head + "1: ETHERNET 8080 10.0.0.5\r\n",
       {{"ethernet", "8080 10.0.0.5", "8080 10.0.0.5"}}},
      {"an unknown interface ends the list",
       head + "1: WAN2 80/TCP 10.0.0.6\r\n2: WAN1 81/TCP 10.0.0.7\r\n",
       {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ScanInboundListing(c.listing), c.rows) << c.name;
}

class InboundDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Attach(dialog);
  }
  std::vector<std::vector<std::string>> Shown() const { return bench.view.Rows(IDC_INBOUND_LIST); }

  CannedBench bench;
  CINBOUND dialog{bench.session, 4};
};

TEST_F(InboundDialog, OpeningListsTheRulesWithTcpChosen) {
  bench.router.outputs["nat inbound list\r\n"] = "(NATINBOUNDLIST):\r\n1: WAN1 80/TCP 10.0.0.1\r\n";
  dialog.OnInitDialog();
  EXPECT_EQ(bench.view.lists[IDC_INBOUND_LIST].headings,
            (std::vector<std::string>{"Interface", "Port/Proto", "New IP Addr"}));
  EXPECT_EQ(bench.view.lists[IDC_INBOUND_LIST].widths, std::vector<int>(3, 133));
  EXPECT_TRUE(bench.view.IsChecked(IDC_INBOUND_TCP));
  EXPECT_EQ(Shown(), (std::vector<std::vector<std::string>>{{"wan1", "80/TCP", " 10.0.0.1"}}));
  EXPECT_TRUE(bench.ui.messages.empty());
}

TEST_F(InboundDialog, ListingTimeOutLeavesTheListEmpty) {
  bench.router.outputs["nat inbound list\r\n"] = "1: WAN1 80/TCP 10.0.0.1\r\n";
  dialog.ListInbound();
  bench.router.silent = {"nat inbound list\r\n"};
  dialog.ListInbound();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Timeout in NAT Inbound List"});
  EXPECT_EQ(bench.ui.messages[0].caption, "Error");
  EXPECT_EQ(bench.ui.traces, std::vector<std::string>{"NAT inbound list timeout\n"});
}

TEST_F(InboundDialog, AddRefusesABadRuleBeforeLoggingIn) {
  struct Case {
    const char* name;
    int protocol;
    std::string port;
    std::array<std::string, 4> host;
    std::string message;
  };
  const std::array<std::string, 4> host = {"192", "168", "1", "20"};
  const std::string noWan =
      "The line has no WAN interface to forward ports from (Transparent Bridge, or no protocol "
      "chosen).";
  const std::vector<Case> cases = {
      {"Transparent Bridge", 5, "80", host, noWan},
      {"no protocol", -1, "80", host, noWan},
      {"no port", 4, "", host, "Port value is needed."},
      {"letters", 4, "80a", host, "Error in Port value."},
      {"port 0", 4, "0", host, "Error in Port value."},
      {"past 65535", 4, "65536", host, "Error in Port value."},
      {"six digits", 4, "000080", host, "Error in Port value."},
      {"an empty host box",
       4,
       "80",
       {"192", "", "1", "20"},
       "Please setIP address in the format xxx xxx xxx xxx."},
      {"a bad host octet", 4, "80", {"192", "168", "256", "20"}, "Error in IP address3."},
  };
  for (const Case& c : cases) {
    CINBOUND add(bench.session, c.protocol);
    bench.Attach(add);
    bench.view.SetText(IDC_INBOUND_PORT, c.port);
    for (int i = 0; i < 4; ++i) bench.view.SetText(add.HostIpOctets.ids()[i], c.host[i]);
    bench.ui.messages.clear();
    const int logins = bench.router.logins;
    add.OnOK();
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Error") << c.name;
    EXPECT_EQ(bench.router.logins, logins) << c.name;
    EXPECT_TRUE(bench.view.endResults.empty()) << c.name;
  }
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_FALSE(bench.session.ConfigChanged);
}

}  // namespace
}  // namespace tarnwick
