// The NAT inbound dialog against canned replies: the listing scan and its time-out, and the
// checks that keep a bad rule from being sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CINBOUND.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::array<std::string, 3>>;
using Lines = std::vector<std::string>;

TEST(InboundScan, RowsOfTheListing) {
  const std::string head = "nat inbound list\r\n(NATINBOUNDLIST):\r\n";
  const std::vector<std::pair<std::string, Rows>> cases = {
      {"1: WANIPOA1 80/TCP 192.168.1.10\r\n", {{"wanIPOA1", "80/TCP", " 192.168.1.10"}}},
      {"1: wan1 8080/udp 10.0.0.2\r\n", {{"wan1", "8080/UDP", " 10.0.0.2"}}},
      {"9: WAN1 21/TCP 10.0.0.1\r\n10: PPP_DEVICE 22/TCP 10.0.0.2\r\n"
       "100: WANDEVICE 23/UDP 10.0.0.3 (active)\r\n",
       {{"wan1", "21/TCP", " 10.0.0.1"},
        {"ppp_device", "22/TCP", " 10.0.0.2"},
        {"wandevice", "23/UDP", " 10.0.0.3 "}}},
      {"1: IPOA R1483 53/UDP 10.0.0.4\r\n", {{"r1483", "53/UDP", " 10.0.0.4"}}},
      {"1: ETHERNET 8080 10.0.0.5\r\n", {{"ethernet", "8080 10.0.0.5", "8080 10.0.0.5"}}},
      {"1: WAN2 80/TCP 10.0.0.6\r\n2: WAN1 81/TCP 10.0.0.7\r\n", {}},  // unknown: the list ends
  };
  for (const auto& [listing, rows] : cases) EXPECT_EQ(ScanInboundListing(head + listing), rows);
}

class InboundDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.router.outputs["nat inbound list\r\n"] = "1: WAN1 80/TCP 10.0.0.1\r\n";
    bench.Open(dialog);
  }

  testing::CannedBench bench;
  CINBOUND dialog{bench.session, 4};
};

TEST_F(InboundDialog, OpensOnTheRoutersRulesAndEmptiesThemWhenAListingTimesOut) {
  EXPECT_EQ(bench.view.lists[IDC_INBOUND_LIST].headings,
            (Lines{"Interface", "Port/Proto", "New IP Addr"}));
  EXPECT_EQ(bench.view.lists[IDC_INBOUND_LIST].widths, std::vector<int>(3, 133));
  EXPECT_TRUE(bench.view.IsChecked(IDC_INBOUND_TCP));
  EXPECT_EQ(bench.view.Rows(IDC_INBOUND_LIST),
            (std::vector<Lines>{{"wan1", "80/TCP", " 10.0.0.1"}}));

  bench.router.silent = {"nat inbound list\r\n"};
  dialog.ListInbound();
  EXPECT_TRUE(bench.view.Rows(IDC_INBOUND_LIST).empty());
  EXPECT_EQ(bench.ui.Texts(), Lines{"Timeout in NAT Inbound List"});
  EXPECT_EQ(bench.ui.traces, Lines{"NAT inbound list timeout\n"});
}

TEST_F(InboundDialog, AddRefusesABadRuleBeforeLoggingIn) {
  const std::string noWan =
      "The line has no WAN interface to forward ports from (Transparent Bridge, or no protocol "
      "chosen).";
  const std::vector<std::tuple<int, std::string, std::string, std::string>> cases = {
      {5, "80", "20", noWan},
      {4, "", "20", "Port value is needed."},
      {4, "80a", "20", "Error in Port value."},
      {4, "0", "20", "Error in Port value."},
      {4, "65536", "20", "Error in Port value."},
      {4, "000080", "20", "Error in Port value."},
      {4, "80", "", "Please setIP address in the format xxx xxx xxx xxx."},
      {4, "80", "256", "Error in IP address4."},
  };
  const int logins = bench.router.logins;
  bench.router.received.clear();
  for (const auto& [protocol, port, octet4, message] : cases) {
    dialog.LineProtocol = protocol;
    bench.view.SetText(IDC_INBOUND_PORT, port);
    for (int id : {IDC_INBOUND_HOST1, IDC_INBOUND_HOST2, IDC_INBOUND_HOST3})
      bench.view.SetText(id, "10");
    bench.view.SetText(IDC_INBOUND_HOST4, octet4);
    bench.ui.messages.clear();
    dialog.OnOK();
    EXPECT_EQ(bench.ui.Texts(), Lines{message}) << port << " " << octet4;
  }
  EXPECT_EQ(bench.router.logins, logins);
  EXPECT_TRUE(bench.router.received.empty());
  EXPECT_TRUE(bench.view.endResults.empty()) << "Enter adds; it never closes the dialog";
}

}  // namespace
}  // namespace tarnwick
