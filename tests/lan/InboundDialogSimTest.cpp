// The NAT inbound dialog against the simulator: rules added, refused and removed, the rows
// always in the router's numbering.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CINBOUND.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using Lines = std::vector<std::string>;

class InboundRules : public ::testing::Test {
 protected:
  void SetUp() override {
    routersim::Options options;
    options.preset = "pppoe";
    bench.Start(&options);
    for (const char* rule : {"21/tcp 192.168.1.21", "22/tcp 192.168.1.22", "23/udp 192.168.1.23"})
      bench.sim->RunCommand(std::string("nat inbound add ppp_device ") + rule);
    bench.Open(dialog);
    bench.sim->ClearTranscript();
  }
  void Add(int protocol, const std::string& port, bool udp, const std::string& lastOctet) {
    dialog.LineProtocol = protocol;
    bench.view.SetText(IDC_INBOUND_PORT, port);
    bench.view.SetChecked(IDC_INBOUND_TCP, !udp);
    bench.view.SetChecked(IDC_INBOUND_UDP, udp);
    const Lines host = {"192", "168", "1", lastOctet};
    for (int i = 0; i < 4; ++i) bench.view.SetText(dialog.HostIpOctets.ids()[i], host[i]);
    dialog.OnOK();
  }
  void Remove(std::set<int> selected, int button = IDC_INBOUND_REMOVE) {
    bench.sim->ClearTranscript();
    bench.view.SelectRows(IDC_INBOUND_LIST, selected);
    dialog.OnCommand(button);
  }
  std::vector<Lines> Shown() const { return bench.view.Rows(IDC_INBOUND_LIST); }

  testing::SimBench bench;
  CINBOUND dialog{bench.session, 4};
};

TEST_F(InboundRules, AddOnAPppoeLineShowsTheRouterListing) {
  Add(4, "8080", true, "20");
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_EQ(bench.Commands(), (Lines{"nat inbound add ppp_device 8080/udp 192.168.1.20\r\n",
                                     "nat inbound list\r\n"}));
  ASSERT_EQ(Shown().size(), 4u);
  EXPECT_EQ(Shown()[3], (Lines{"ppp_device", "8080/UDP", " 192.168.1.20"}));
  EXPECT_TRUE(bench.session.ConfigChanged);
}

TEST_F(InboundRules, AFailedAddLeavesNoRowSoRemoveStillDeletesTheRouterRuleOfThatNumber) {
  Add(1, "8080", false, "20");  // wan1: not on a PPPoE router
  EXPECT_EQ(bench.ui.Texts(), Lines{"Error in Winsock. Interface does not exist"});
  EXPECT_EQ(Shown().size(), 3u);
  Add(4, "24", false, "24");
  ASSERT_EQ(Shown().size(), 4u);
  Remove({3});
  EXPECT_EQ(bench.Commands(), (Lines{"nat inbound delete 4\r\n", "nat inbound list\r\n"}));
  EXPECT_EQ(bench.sim->RunCommand("nat inbound list").find("24/TCP"), std::string::npos);
  EXPECT_EQ(Shown().size(), 3u);
}

TEST_F(InboundRules, RemoveTakesTheFirstSelectedRowAndRemoveAllFlushesARowedList) {
  Remove({1, 2});
  EXPECT_EQ(bench.Commands().front(), "nat inbound delete 2\r\n");
  EXPECT_EQ(Shown(), (std::vector<Lines>{{"ppp_device", "21/TCP", " 192.168.1.21"},
                                         {"ppp_device", "23/UDP", " 192.168.1.23"}}));
  Remove({});
  EXPECT_TRUE(bench.Commands().empty()) << "nothing selected, nothing sent";
  Remove({}, IDC_INBOUND_REMOVE_ALL);
  EXPECT_EQ(bench.Commands(), (Lines{"nat inbound flush\r\n", "nat inbound list\r\n"}));
  EXPECT_TRUE(Shown().empty());
  Remove({}, IDC_INBOUND_REMOVE_ALL);
  EXPECT_TRUE(bench.Commands().empty()) << "an empty list sends nothing";
}

}  // namespace
}  // namespace tarnwick
